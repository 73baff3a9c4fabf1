#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace shiori::stage {

// Colours with their opacity, 0xAARRGGBB.
using Argb = std::uint32_t;
constexpr Argb Opaque(std::uint32_t rgb) { return 0xFF000000u | (rgb & 0xFFFFFFu); }

// Stage pixels: the 640 x 400 client area, whatever the scale a shell draws it at.
struct Box {
  float x = 0;
  float y = 0;
  float width = 0;
  float height = 0;

  [[nodiscard]] float right() const { return x + width; }
  [[nodiscard]] float bottom() const { return y + height; }
  [[nodiscard]] bool empty() const { return width <= 0 || height <= 0; }
  [[nodiscard]] bool Intersects(const Box& other) const;
  [[nodiscard]] Box Intersected(const Box& other) const;
  [[nodiscard]] Box United(const Box& other) const;  // the smallest box holding both; an empty one adds nothing
  bool operator==(const Box&) const = default;
};

struct Point {
  float x = 0;
  float y = 0;
  bool operator==(const Point&) const = default;
};

// A plain rectangle of colour.
struct Fill {
  Box box;
  Argb colour = 0;
  bool operator==(const Fill&) const = default;
};

// A rectangle shaded from top to bottom through `stops` (offset 0 .. 1, colour), as a linear gradient.
struct VerticalGradient {
  Box box;
  std::vector<std::pair<float, Argb>> stops;
  bool operator==(const VerticalGradient&) const = default;
};

// A filled polygon, antialiased.
struct Polygon {
  std::vector<Point> points;
  Argb colour = 0;
  bool operator==(const Polygon&) const = default;
};

// A rounded rectangle, antialiased: filled with `fill` (none when transparent), then its edge stroked `stroke_width`
// wide in `stroke` (none when the width is 0), the stroke centred on the edge.
struct RoundedBox {
  Box box;
  float radius = 0;
  Argb fill = 0;
  Argb stroke = 0;
  float stroke_width = 0;
  bool operator==(const RoundedBox&) const = default;
};

// A picture of the game (the name the story built, "data/0001.rgd", found whatever its case and decoded by its
// content) drawn at `scale` times its own size (a thumbnail is smaller) with its top-left corner at `at`, scaled
// smoothly with the stage, and clipped to `clip`. A shell that cannot read or decode it fills `clip` with black
// instead.
struct Picture {
  std::string name;
  Point at;
  Box clip;
  float scale = 1;
  bool operator==(const Picture&) const = default;
};

// One glyph of a run: the character it shows and where its origin lies on the run's baseline, in stage pixels.
struct Glyph {
  char32_t code = 0;
  float x = 0;
  bool operator==(const Glyph&) const = default;
};

// A line of text in the stage font (the one font both shells ship): each glyph drawn at its own place, nothing
// shaped or moved by a shell. Drawing rules every shell keeps, so that they agree pixel for pixel:
// - a glyph's origin lies at (glyph.x, baseline), rounded to the nearest whole device pixel;
// - the glyph's shape is narrowed horizontally by `squeeze` (1: as designed) about its origin;
// - `bold`: the glyph is struck a second time max(1, round(scale)) device pixels to the right, the font having no
//   bold face;
// - greyscale antialiasing, light (vertical) hinting or none;
// - nothing of the run is drawn outside `clip`.
struct GlyphRun {
  std::vector<Glyph> glyphs;
  float baseline = 0;
  float pixel_size = 0;  // the em's height in stage pixels
  float squeeze = 1;
  Argb colour = 0;
  bool bold = false;
  Box clip;
  bool operator==(const GlyphRun&) const = default;
};

using Drawing = std::variant<Fill, VerticalGradient, Polygon, RoundedBox, Picture, GlyphRun>;

// One thing to draw, and what it belongs to: the same `owner` from one frame to the next names the same thing (a
// widget's text, a layer's picture, the history's lines), so that what changed can be told apart from what moved.
// `bounds` holds every pixel it may touch, antialiasing and a bold's second stroke included.
struct Item {
  std::uint32_t owner = 0;
  Box bounds;
  Drawing drawing;
  bool operator==(const Item&) const = default;
};

// The whole stage, back to front: drawing every item in order, each clipped to the stage, gives the frame.
struct DisplayList {
  std::vector<Item> items;
  bool operator==(const DisplayList&) const = default;
};

}  // namespace shiori::stage
