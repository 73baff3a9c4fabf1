#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace shiori {

// One CG of the gallery: reading `page` unlocks the picture (a name in the game folder, "\log\0026.log").
struct CgStep {
  std::int16_t page;
  const char* picture;
};

// The gallery's three routes (route 1 at index 0), each an ordered list of steps in the viewer's showing order.
// Route 1 holds 13 CGs, route 2 13 and route 3 12: 38 in all, pictures "\log\0001.log" to "\log\0038.log".
[[nodiscard]] const std::array<std::span<const CgStep>, 3>& RouteCgTable();

}  // namespace shiori
