#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace shiori {

// One CG of the gallery: the scenario page whose reading unlocks it, and its picture file.
struct CgStep {
  std::int16_t page;
  const char* picture;
};

// The CGs of routes 1, 2 and 3 (at index 0, 1, 2), in the order the viewer shows them.
[[nodiscard]] const std::array<std::span<const CgStep>, 3>& RouteCgTable();

}  // namespace shiori
