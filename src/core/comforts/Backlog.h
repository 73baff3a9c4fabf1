#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace shiori {

// The text history of this run: every page's lines as the reader saw them, and the choices taken, oldest first.
// It keeps the newest kPages entries, and is read through a window of kVisibleLines lines that scrolls.
class Backlog {
 public:
  static constexpr std::size_t kPages = 200;
  static constexpr int kVisibleLines = 11;

  struct Entry {
    std::int16_t page = 0;
    std::vector<std::string> lines;
  };

  // The lines of `page` as they stand now. A page typed on after a pause replaces its own entry, so that the
  // history holds each page once, with all that was shown of it.
  void RecordPage(std::int16_t page, bool page_begun, std::vector<std::string> lines);
  // The text of a choice taken on the choice page `page`.
  void RecordChoice(std::int16_t page, std::string text);

  [[nodiscard]] const std::deque<Entry>& entries() const { return entries_; }
  [[nodiscard]] bool empty() const { return entries_.empty(); }

  // The view: opening shows the newest lines; scrolling by lines or by screens stops at either end.
  void ScrollToNewest();
  // False when the view already shows the newest line and `lines` asks for newer ones.
  bool Scroll(int lines);
  [[nodiscard]] std::vector<std::string> VisibleLines() const;
  // Where the view lies: 0 with the oldest line at the top, 1 with the newest at the bottom.
  [[nodiscard]] double Position() const;

 private:
  void Push(Entry entry);
  [[nodiscard]] std::vector<std::string> AllLines() const;
  [[nodiscard]] int LastTop() const;

  std::deque<Entry> entries_;
  bool last_is_open_page_ = false;  // the newest entry is a page still being read
  int top_ = 0;                     // first line in view, counted over AllLines()
};

}  // namespace shiori
