#include "translation/Flow.h"

#include <algorithm>

#include "platform/Utf8.h"
#include "stage/TextLayout.h"
#include "translation/StoryText.h"

namespace shiori {
namespace {

constexpr int kUnlimitedRows = 1000;

using Lines = std::array<std::optional<FlowText>, ScenarioRecord::kLineCount>;

std::string Utf8(std::u32string_view text) {
  std::string out;
  for (const char32_t c : text) AppendUtf8(out, c);
  return out;
}

std::u32string_view WithoutTrailingSpaces(std::u32string_view text) {
  while (!text.empty() && (text.back() == U' ' || text.back() == U'\t')) text.remove_suffix(1);
  return text;
}

struct Wrapped {
  std::vector<std::string> rows;
  bool cut = false;
};

// One piece of a line (no break inside) wrapped into at most `rows_left` rows, as the stage would wrap it in a
// label that tall: so the box's last row is narrowed up to where the stage narrows it, rather than cut.
void WrapPiece(std::string_view piece, const MessageArea& area, int rows_left, Wrapped& out) {
  const std::u32string text = stage::CodePoints(piece);
  if (WithoutTrailingSpaces(text).empty()) {
    out.rows.emplace_back(piece);
    return;
  }
  const stage::Box box{0, 0, area.width, static_cast<float>(rows_left) * stage::LinePitch(area.pixel_size)};
  const std::vector<stage::TextLine> laid = stage::LayOutText(piece, {area.pixel_size, Alignment::Left}, box);
  for (std::size_t i = 0; i < laid.size(); ++i) {
    const std::u32string_view row = std::u32string_view(text).substr(laid[i].first, laid[i].glyphs.size());
    out.rows.push_back(Utf8(i + 1 < laid.size() ? WithoutTrailingSpaces(row) : row));
  }
  const std::size_t covered = laid.empty() ? 0 : laid.back().first + laid.back().glyphs.size();
  if (covered < WithoutTrailingSpaces(text).size()) {
    out.cut = true;
    const std::u32string_view rest = std::u32string_view(text).substr(laid.back().first);
    out.rows.back() = Utf8(stage::Elided(rest, area.pixel_size, area.width));
  }
}

Wrapped Wrap(std::string_view text, const MessageArea& area, int rows_left) {
  Wrapped out;
  for (;;) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    const int left = rows_left - static_cast<int>(out.rows.size());
    if (left <= 0) {
      out.cut = true;
      return out;
    }
    WrapPiece(text.substr(0, end), area, left, out);
    if (out.cut || end == text.size()) return out;
    text.remove_prefix(end + 1);
  }
}

// The last row shown ends in "…" when a line after it has no room at all.
void MarkCut(FlowedPage& page, const MessageArea& area) {
  for (auto line = page.lines.rbegin(); line != page.lines.rend(); ++line) {
    if (line->rows.empty()) continue;
    std::string& last = line->rows.back();
    if (!last.ends_with("…")) last = Utf8(stage::Elided(stage::CodePoints(last + "…"), area.pixel_size, area.width));
    return;
  }
}

FlowedPage Lay(const Lines& lines, const MessageArea& area, bool blank_rows) {
  FlowedPage page;
  int row = 0;
  for (std::size_t k = 0; k < lines.size(); ++k) {
    if (!lines[k]) continue;
    FlowedLine& line = page.lines[k];
    line.first_row = row;
    const std::string& text = lines[k]->text;
    if (TrimmedText(text).empty()) {
      if (blank_rows && row < area.rows) line.rows = {text};
    } else if (row >= area.rows) {
      if (!page.cut) MarkCut(page, area);
      page.cut = true;
    } else {
      Wrapped wrapped = Wrap(text, area, area.rows - row);
      page.cut = page.cut || wrapped.cut;
      line.rows = std::move(wrapped.rows);
    }
    row += static_cast<int>(line.rows.size());
    std::size_t typed = 0;
    for (const std::string& shown : line.rows) typed += Utf8Length(shown);
    line.steps = std::max(lines[k]->min_steps, typed);
  }
  return page;
}

}  // namespace

std::optional<std::pair<int, std::string>> FlowedLine::Typed(std::size_t typed) const {
  if (rows.empty()) return std::nullopt;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const std::size_t length = Utf8Length(rows[i]);
    if (typed <= length || i + 1 == rows.size()) {
      return std::pair(first_row + static_cast<int>(i), Utf8Prefix(rows[i], typed));
    }
    typed -= length;
  }
  return std::nullopt;
}

FlowedPage FlowLines(const Lines& lines, const MessageArea& area) {
  FlowedPage page = Lay(lines, area, true);
  if (page.cut) page = Lay(lines, area, false);
  return page;
}

std::size_t RowsNeeded(const Lines& lines, const MessageArea& area) {
  MessageArea tall = area;
  tall.rows = kUnlimitedRows;
  std::size_t rows = 0;
  for (const FlowedLine& line : Lay(lines, tall, false).lines) rows += line.rows.size();
  return rows;
}

bool FitsLabel(std::string_view text, float pixel_size, float width, float height) {
  const std::u32string all = stage::CodePoints(text);
  const auto breaks =
      static_cast<std::size_t>(std::count(all.begin(), all.end(), U'\r') + std::count(all.begin(), all.end(), U'\n'));
  std::size_t shown = 0;
  for (const stage::TextLine& line : stage::LayOutText(text, {pixel_size, Alignment::Left}, {0, 0, width, height})) {
    shown += line.glyphs.size();
  }
  return shown + breaks >= all.size();
}

}  // namespace shiori
