#pragma once

#include "Paint.h"

namespace shiori::demo {

// The places of the story. Each one can be painted at any moment of the day.
enum class Backdrop {
  kSeaTown,
  kStation,
  kClassroom,
  kBeach,
  kLighthouse,
  kStarryHill,
  kFestival,
  kShrine,
  kRainStreet,
  kRoom,
  kHarbor,
  kFireworks,
  kSeasideTrain,
  kSunflowerHill,
  kLibrary,
  kSeawall,
};

void PaintBackdrop(QPainter& p, Backdrop backdrop, const Lighting& light, Rng& rng);

}  // namespace shiori::demo
