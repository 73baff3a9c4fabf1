#include "Story.h"

#include <algorithm>
#include <deque>

#include "scenario/LineCode.h"

namespace shiori {
PageFlow TextFlow(const ScenarioRecord& record) {
  PageFlow flow;
  std::size_t count = 0;
  for (std::size_t k = 0; k < ScenarioRecord::kLineCount; ++k) {
    const LineCode code = LineCode::Decode(record.lineCode[k]);
    count = code.count.value_or(count);
    flow.shown_lines.push_back(k);
    flow.counts.push_back(count);
    if (code.stop == LineStop::PageEnd) {
      flow.end_line = k;
      return flow;
    }
    if (code.stop == LineStop::Pause) {
      ++flow.pauses;
      count = 0;  // the click starts a new typing run
    }
  }
  return flow;
}

Story::Story(std::span<const std::uint8_t> bytes) {
  const std::size_t count = bytes.size() / ScenarioRecord::kSize;
  tail_bytes_ = bytes.size() % ScenarioRecord::kSize;
  pages_.resize(count);
  for (std::size_t i = 0; i < count; ++i) {
    const auto record = bytes.subspan(i * ScenarioRecord::kSize, ScenarioRecord::kSize);
    StoryPage& page = pages_[i];
    // The header is all the graph needs; the text stays in `line_bytes` as stored, since decoding every line of a
    // few thousand pages to UTF-8 would be most of the work of a build's link check.
    page.record = ScenarioRecord::DecodeHeader(record);
    page.empty = std::all_of(record.begin(), record.end(), [](std::uint8_t b) { return b == 0; });
    for (std::size_t k = 0; k < ScenarioRecord::kLineCount; ++k) {
      const auto line =
          record.subspan(ScenarioRecord::kHeaderSize + k * ScenarioRecord::kLineBytes, ScenarioRecord::kLineBytes);
      page.line_bytes[k].assign(line.begin(), line.end());
    }
  }
  Explore();
}

const ScenarioRecord& Story::RecordAt(long number) const {
  static const ScenarioRecord empty = ScenarioRecord::Empty();
  return Contains(number) ? page(static_cast<std::size_t>(number)).record : empty;
}

const ScenarioRecord& Story::EndingTestRecord(std::size_t number) const {
  const ScenarioRecord& record = page(number).record;
  return TextFlow(record).pauses > 0 ? record : RecordAt(record.target[0]);
}

std::optional<std::int16_t> Story::EndingOf(std::size_t number) const {
  const ScenarioRecord& record = page(number).record;
  if (!record.IsTextPage() || !TextFlow(record).end_line) return std::nullopt;
  if (!IsEndingCode(EndingTestRecord(number).endingMark)) return std::nullopt;
  return record.target[0];
}

std::vector<Move> Story::Moves(std::size_t number) const {
  const ScenarioRecord& record = page(number).record;
  std::vector<Move> moves;
  if (record.IsTextPage()) {
    const PageFlow flow = TextFlow(record);
    if (flow.end_line && !EndingOf(number) && Contains(record.target[0])) {
      moves.push_back({static_cast<std::size_t>(record.target[0]), 0, flow.pauses + 1});
    }
  } else if (record.pageType == ScenarioRecord::kChoicePage) {
    for (int i = 0; i < 2; ++i) {
      if (Contains(record.target[i])) moves.push_back({static_cast<std::size_t>(record.target[i]), i + 1, 0});
    }
  }
  return moves;
}

std::string Story::DeadEnd(std::size_t number) const {
  if (!Moves(number).empty() || EndingOf(number)) return {};
  if (page(number).empty) return "an empty record";
  const ScenarioRecord& record = page(number).record;
  if (record.IsTextPage()) {
    const std::int16_t next = record.target[0];
    if (!TextFlow(record).end_line) return "no line ends the page";
    if (IsEndingCode(next)) return "it leads to ending " + std::to_string(next) + ", but no endingMark starts it";
    return next == 0 ? "its next page is 0" : "its next page " + std::to_string(next) + " is outside the file";
  }
  if (record.pageType == ScenarioRecord::kChoicePage) return "neither choice leads to a page of the file";
  if (record.pageType == ScenarioRecord::kInertPage) return "an inert page: a click cannot leave it";
  return "page type " + std::to_string(record.pageType) + ", which a click cannot leave";
}

void Story::Explore() {
  reachable_.assign(pages_.size() + 1, false);
  marked_read_.assign(pages_.size() + 1, false);
  if (pages_.empty()) return;
  std::deque<std::size_t> queue{1};
  reachable_[1] = true;
  while (!queue.empty()) {
    const std::size_t at = queue.front();
    queue.pop_front();
    const ScenarioRecord& record = page(at).record;
    if (record.IsTextPage() && TextFlow(record).pauses > 0) marked_read_[at] = true;
    for (const Move& move : Moves(at)) {
      if (move.choice == 0) marked_read_[move.to] = true;
      if (!reachable_[move.to]) {
        reachable_[move.to] = true;
        queue.push_back(move.to);
      }
    }
  }
}

std::string PageRanges(const std::vector<std::size_t>& pages) {
  std::string text;
  for (std::size_t i = 0; i < pages.size();) {
    std::size_t j = i;
    while (j + 1 < pages.size() && pages[j + 1] == pages[j] + 1) ++j;
    if (!text.empty()) text += ", ";
    text += std::to_string(pages[i]);
    if (j > i) text += "-" + std::to_string(pages[j]);
    i = j + 1;
  }
  return text.empty() ? "none" : text;
}

}  // namespace shiori
