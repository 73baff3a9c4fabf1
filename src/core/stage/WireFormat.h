#pragma once

#include <cstdint>
#include <vector>

#include "stage/StageFrames.h"

namespace shiori::stage {

// A frame as 32-bit words, for a shell in another language that reads it straight from memory (the page reads it
// from WebAssembly's memory as a Uint32Array and a Float32Array over the same bytes). Only the items that meet
// the changed boxes are written: the shell clips to those boxes and draws the items in order.
//
//   frame:    kWireVersion, whole (0/1), box count, boxes..., item count, items...
//   box:      x, y, width, height (floats)
//   item:     kind, owner, bounds (box), then by kind:
//     Fill              box, colour
//     VerticalGradient  box, stop count, (offset float, colour)...
//     Polygon           colour, point count, (x, y floats)...
//     RoundedBox        box, radius, fill, stroke, stroke width
//     Picture           at x, at y, clip (box), scale, name length in bytes, the name's UTF-8 bytes padded to 4
//     GlyphRun          baseline, pixel size, squeeze, colour, bold (0/1), clip (box), glyph count,
//                       (code point, x float)...
// Colours are 0xAARRGGBB words; floats are IEEE 754 single precision.
constexpr std::uint32_t kWireVersion = 2;
enum class WireKind : std::uint32_t { Fill = 1, VerticalGradient, Polygon, RoundedBox, Picture, GlyphRun };

[[nodiscard]] std::vector<std::uint32_t> EncodeFrame(const DisplayList& list, const std::vector<Box>& changed,
                                                     bool whole);

}  // namespace shiori::stage
