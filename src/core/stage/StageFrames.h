#pragma once

#include <optional>
#include <vector>

#include "stage/DisplayList.h"
#include "stage/StageLayout.h"

namespace shiori::stage {

// What a shell needs to draw one frame: the whole display list, and the parts of the stage that look different
// from the last frame it was given, so that it repaints only those (while a page types, the new glyph's cell).
struct Frame {
  const DisplayList* list = nullptr;
  std::vector<Box> changed;  // empty: nothing to draw
  bool whole = false;        // the whole stage changed (`changed` then holds the stage)
};

// The stages of one shell, frame after frame.
class StageFrames {
 public:
  // Lays the stage out anew and says what changed since the last call; the first call changes everything.
  [[nodiscard]] Frame Next(const Form& form);
  // Forgets the last frame, so that the next one is drawn whole (the shell lost its pixels: a resize, a new
  // game).
  void Invalidate() { shown_.reset(); }
  [[nodiscard]] const DisplayList* shown() const { return shown_ ? &*shown_ : nullptr; }

 private:
  StageLayout layout_;
  std::optional<DisplayList> shown_;
};

// The parts of the stage that differ between two display lists: where an item appeared, vanished or changed, or
// only the cells of the glyphs a run gained when it just grew. The whole stage when the order of things changed.
[[nodiscard]] std::vector<Box> ChangedBoxes(const DisplayList& before, const DisplayList& after);

}  // namespace shiori::stage
