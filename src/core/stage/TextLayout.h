#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "stage/DisplayList.h"
#include "window/Widget.h"

namespace shiori::stage {

// One line of laid-out text: its glyphs (characters the font lacks already replaced), where its baseline lies,
// how far its glyphs are narrowed, and which characters of the text it shows.
struct TextLine {
  std::vector<Glyph> glyphs;
  float baseline = 0;
  float squeeze = 1;
  std::size_t first = 0;  // the index in the text (code points, CR LF counted as one break) of its first glyph
  bool operator==(const TextLine&) const = default;
};

// How a label's text is set: its em in stage pixels, and its alignment inside the box.
struct TextStyle {
  float pixel_size = 12;
  Alignment alignment = Alignment::Left;
  bool operator==(const TextStyle&) const = default;
};

// The pitch of lines of text at `pixel_size`: the layout the stage was made for puts 27-pixel lines 30 pixels
// apart, whatever the font's own line spacing, so that a two-line choice fills its 60 pixels.
[[nodiscard]] float LinePitch(float pixel_size);
// Where the baseline lies below the top of a line.
[[nodiscard]] float BaselineInLine(float pixel_size);

// Lays `text` (UTF-8; CR LF, CR or LF break it) out in `box`: lines at the fixed pitch from the box's top, whole
// lines only. Japanese wraps between any two characters, Latin between words (inside a word only when the word
// alone is wider than the box); closing punctuation never begins a line. A line a little too wide is narrowed
// rather than wrapped: by up to 2 % anywhere (our full-width glyphs are a little wider than those the stage was
// measured with, which would push a lone full stop onto a line of its own), and by up to 12 % on the box's last
// line, where the rest would be wrapped out of sight. Narrowing by up to 4 % takes the space from between the
// glyphs; beyond it the glyphs narrow too.
[[nodiscard]] std::vector<TextLine> LayOutText(std::string_view text, const TextStyle& style, const Box& box);

// `text` on one line, cut short with "…" so that it fits `width` at `pixel_size`; as it is when it fits.
[[nodiscard]] std::u32string Elided(std::u32string_view text, float pixel_size, float width);

// UTF-8 to code points; a broken sequence becomes U+FFFD.
[[nodiscard]] std::u32string CodePoints(std::string_view text);

}  // namespace shiori::stage
