#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "scenario/ScenarioRecord.h"

namespace shiori {

// How the player types a text page: where it pauses and which line ends it.
struct PageFlow {
  std::vector<std::size_t> shown_lines;  // the lines typed, in order, up to the end of the page
  std::vector<std::size_t> counts;       // characters shown of each of them
  std::size_t pauses = 0;                // clicks that continue the page before it ends
  std::optional<std::size_t> end_line;   // the line whose code ends the page; none: the reader is stuck
};
[[nodiscard]] PageFlow TextFlow(const ScenarioRecord& record);

// A way out of a page: a click at its end (choice 0) or choice 1 or 2 of a choice page.
struct Move {
  std::size_t to = 0;
  int choice = 0;
  std::size_t clicks = 0;  // clicks on the page before the move: its pauses and the click at its end
};

struct StoryPage {
  ScenarioRecord record;                                           // its header only: the text is in line_bytes
  std::array<std::string, ScenarioRecord::kLineCount> line_bytes;  // as stored, Shift-JIS
  bool empty = true;                                               // all 600 bytes zero
};

// The scenario file as a graph of pages, followed the way the player follows it: page 1 first; a text page that
// ends goes on to `target[0]` at a click, unless the ending test starts an ending when it has finished; a choice
// page offers its first two targets; other pages hold the reader.
//
// The ending test reads the `endingMark` of the record the player holds when the page has finished. A page that
// pauses finishes in a typing run begun by the click on its pause, after which the player holds the page itself.
// A page that does not pause finishes in the run that began it, after which the player has read the record of the
// page that follows (`target[0]`; an empty record when the file does not hold that page).
class Story {
 public:
  explicit Story(std::span<const std::uint8_t> bytes);

  [[nodiscard]] std::size_t page_count() const { return pages_.size(); }
  [[nodiscard]] std::size_t tail_bytes() const { return tail_bytes_; }
  [[nodiscard]] bool Contains(long page) const { return page >= 1 && static_cast<std::size_t>(page) <= pages_.size(); }
  [[nodiscard]] const StoryPage& page(std::size_t number) const { return pages_[number - 1]; }

  // Page `number`, or an empty record when the file does not hold it.
  [[nodiscard]] const ScenarioRecord& RecordAt(long number) const;
  // The record whose `endingMark` the ending test reads when this text page has finished.
  [[nodiscard]] const ScenarioRecord& EndingTestRecord(std::size_t page) const;

  [[nodiscard]] std::vector<Move> Moves(std::size_t page) const;
  // The ending code (`target[0]`) when finishing this page starts an ending.
  [[nodiscard]] std::optional<std::int16_t> EndingOf(std::size_t page) const;
  // Why the reader is stranded on this page, with no way on and no ending; empty when it is not a dead end.
  [[nodiscard]] std::string DeadEnd(std::size_t page) const;

  // Pages reachable from page 1 (index = page number; index 0 unused).
  [[nodiscard]] const std::vector<bool>& reachable() const { return reachable_; }
  // Pages the player marks as read on some path from page 1: those a click opens, and text pages that pause.
  [[nodiscard]] const std::vector<bool>& marked_read() const { return marked_read_; }

 private:
  void Explore();

  std::vector<StoryPage> pages_;
  std::size_t tail_bytes_ = 0;
  std::vector<bool> reachable_;
  std::vector<bool> marked_read_;
};

// Ascending page numbers as "1-3, 7, 9-12" ("none" when there are none).
[[nodiscard]] std::string PageRanges(const std::vector<std::size_t>& pages);

[[nodiscard]] constexpr bool IsEndingCode(long number) { return number > ScenarioRecord::kEndingThreshold; }
[[nodiscard]] constexpr bool IsFullEnding(long code) { return code == ScenarioRecord::kEndingThreshold + 1; }

}  // namespace shiori
