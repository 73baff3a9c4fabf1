#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "scenario/ScenarioRecord.h"

namespace shiori {

// The message area a page's lines flow through: rows of one width, at one size of text.
struct MessageArea {
  float width = 616;  // the narrowest of the twelve message labels
  float pixel_size = 27;
  int rows = static_cast<int>(ScenarioRecord::kLineCount);
};

// One line of the page as the message area shows it: it begins on a row of its own, and wraps between words onto
// the rows after it when it is longer than a row.
struct FlowedLine {
  int first_row = 0;
  std::vector<std::string> rows;  // what each of its rows shows when the line is typed whole
  std::size_t steps = 0;          // character steps the typewriter takes for it

  // The row that the `typed`-th character (from 1) lands on, and that row's text so far; none for a line that
  // takes no row (a blank line left out to make room).
  [[nodiscard]] std::optional<std::pair<int, std::string>> Typed(std::size_t typed) const;
};

// A page's lines laid out over the message area.
struct FlowedPage {
  std::array<FlowedLine, ScenarioRecord::kLineCount> lines;
  // The text did not fit even without blank lines: the last row ends in "…" and the rest is not shown.
  bool cut = false;
};

// What a line of the page shows: its text (translated, or the original), and the character steps it takes at
// least (the original's count, so that an untranslated line keeps its pacing exactly).
struct FlowText {
  std::string text;
  std::size_t min_steps = 0;
};

// Flows the lines a page shows (none for a line never shown) through the area. Each line starts a new row, so
// that the pauses and the end of the page fall where the author put them; a long line wraps between words (a
// translator's "\n" breaks it) and pushes the lines after it down; blank lines keep their row while everything
// fits, and give it up when that makes the page fit; what still does not fit is cut on the last row with "…".
// Rows are measured as the stage lays them out, so a row narrowed a little before wrapping stays one row.
[[nodiscard]] FlowedPage FlowLines(const std::array<std::optional<FlowText>, ScenarioRecord::kLineCount>& lines,
                                   const MessageArea& area);

// How many rows the lines would take in an area as tall as they need, blank lines left out: for telling a
// translator by how much a page is too long.
[[nodiscard]] std::size_t RowsNeeded(const std::array<std::optional<FlowText>, ScenarioRecord::kLineCount>& lines,
                                     const MessageArea& area);

// Whether `text` (CR LF or LF between its lines) shows whole in a label of `width` x `height` at `pixel_size`.
[[nodiscard]] bool FitsLabel(std::string_view text, float pixel_size, float width, float height);

}  // namespace shiori
