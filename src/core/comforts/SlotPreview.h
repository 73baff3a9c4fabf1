#pragma once

#include <optional>

#include "window/Overlay.h"

namespace shiori {

class Engine;

// What bookmark `slot` holds, for the load menu's preview box; none for an empty slot. Reads the bookmark and its
// page without touching the story's state.
[[nodiscard]] std::optional<SlotPreview> PreviewOfSlot(Engine& engine, int slot);

}  // namespace shiori
