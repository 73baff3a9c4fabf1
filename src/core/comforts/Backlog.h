#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace shiori {

// The text history of this run: every page's lines as the reader saw them, and the choices taken, oldest first.
// It keeps the newest kPages entries, and is read through a window of kVisibleLines lines that scrolls.
class Backlog {
 public:
  static constexpr std::size_t kPages = 200;
  static constexpr int kVisibleLines = 11;
  // Where the lines in view lie on the stage: the first line's top and the distance between lines.
  static constexpr int kTop = 40;
  static constexpr int kPitch = 30;
  // Stands before the first page of a run of reading that follows another in the history.
  static constexpr const char* kRunHeading = "――――　ここから読みはじめ　――――";

  struct Entry {
    std::int16_t page = 0;
    std::vector<std::string> lines;
    std::uint64_t visit = 0;  // the visit to the page that showed it, to go back to
    bool run_start = false;
  };

  // The lines of `page` as they stand now. A page typed on after a pause replaces its own entry, so that the
  // history holds each page once, with all that was shown of it.
  void RecordPage(std::int16_t page, bool page_begun, std::vector<std::string> lines, std::uint64_t visit = 0);
  // The text of a choice taken on the choice page `page`.
  void RecordChoice(std::int16_t page, std::string text, std::uint64_t visit = 0);
  // A new run of reading begins (a story started or loaded): its first page is marked as such.
  void BeginRun() { run_begins_ = true; }

  [[nodiscard]] const std::deque<Entry>& entries() const { return entries_; }
  [[nodiscard]] bool empty() const { return entries_.empty(); }

  // The view: opening shows the newest lines; scrolling by lines or by screens stops at either end.
  void ScrollToNewest();
  // False when the view already shows the newest line and `lines` asks for newer ones.
  bool Scroll(int lines);
  [[nodiscard]] std::vector<std::string> VisibleLines() const;
  // Where the view lies: 0 with the oldest line at the top, 1 with the newest at the bottom.
  [[nodiscard]] double Position() const;
  // The visit of the page whose line is `row` lines down the view, if a page's line lies there.
  [[nodiscard]] std::optional<std::uint64_t> VisitAt(int row) const;

 private:
  struct Line {
    std::string text;
    const Entry* entry = nullptr;  // none for the blank between pages
  };
  void Push(Entry entry);
  [[nodiscard]] std::vector<Line> AllLines() const;
  [[nodiscard]] int LastTop() const;
  [[nodiscard]] int Top() const;

  std::deque<Entry> entries_;
  bool last_is_open_page_ = false;  // the newest entry is a page still being read
  bool run_begins_ = false;
  int top_ = 0;  // first line in view, counted over AllLines()
};

}  // namespace shiori
