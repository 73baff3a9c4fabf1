#pragma once

#include <string_view>

namespace shiori::stage {

// The metrics of the stage font, the one Japanese font every shell ships and draws with (IPAex Gothic: Japanese
// glyph forms, the whole of JIS X 0208, half-width katakana, proportional Latin). They are read from the font file
// at build time, so that the core lays text out alone and every shell places each glyph where the core said.
class StageFont {
 public:
  // Where the baseline lies below the top of a line's em box, as a fraction of the em: ideographs fill the box,
  // Latin descenders dip below the baseline into it.
  static constexpr float kEmAscent = 0.86f;

  // Shown in place of a character the font lacks (a private-use character of the game's own, an emoji in a
  // translation): the geta mark, which Japanese systems have always shown for a character they cannot.
  static constexpr char32_t kMissing = U'〓';

  // The character drawn for `code`: itself, or the geta mark when the font lacks it.
  [[nodiscard]] static char32_t Shown(char32_t code);
  // The advance of the glyph drawn for `code`, in ems.
  [[nodiscard]] static float Advance(char32_t code);
  // How far the ink of that glyph may reach past its cell, left and right, in ems.
  [[nodiscard]] static float LeftOverhang(char32_t code);
  [[nodiscard]] static float RightOverhang(char32_t code);
};

// The width of `text` on one line at `pixel_size`, in stage pixels.
[[nodiscard]] float LineWidth(std::u32string_view text, float pixel_size);

}  // namespace shiori::stage
