#include "comforts/Backlog.h"

#include <algorithm>

namespace shiori {

void Backlog::RecordPage(std::int16_t page, bool page_begun, std::vector<std::string> lines, std::uint64_t visit) {
  std::erase_if(lines, [](const std::string& line) { return line.find_first_not_of(" 　") == std::string::npos; });
  if (!page_begun && last_is_open_page_ && entries_.back().page == page) {
    entries_.back().lines = std::move(lines);
    entries_.back().visit = visit;
    return;
  }
  if (lines.empty()) return;
  Push({page, std::move(lines), visit});
  last_is_open_page_ = true;
}

void Backlog::RecordChoice(std::int16_t page, std::string text, std::uint64_t visit) {
  Push({page, {"→ " + std::move(text)}, visit});
  last_is_open_page_ = false;
}

// The first run needs no mark: nothing stands before it.
void Backlog::Push(Entry entry) {
  entry.run_start = run_begins_ && !entries_.empty();
  run_begins_ = false;
  entries_.push_back(std::move(entry));
  while (entries_.size() > kPages) entries_.pop_front();
}

// Pages are set apart by a blank line, runs by their heading.
std::vector<Backlog::Line> Backlog::AllLines() const {
  std::vector<Line> all;
  for (const Entry& entry : entries_) {
    if (!all.empty()) all.push_back({});
    if (entry.run_start) all.push_back({kRunHeading});
    for (const std::string& line : entry.lines) all.push_back({line, &entry});
  }
  return all;
}

int Backlog::LastTop() const { return std::max(0, static_cast<int>(AllLines().size()) - kVisibleLines); }

int Backlog::Top() const { return std::min(top_, LastTop()); }

void Backlog::ScrollToNewest() { top_ = LastTop(); }

bool Backlog::Scroll(int lines) {
  const int last = LastTop();
  if (lines > 0 && top_ >= last) return false;
  top_ = std::clamp(top_ + lines, 0, last);
  return true;
}

std::vector<std::string> Backlog::VisibleLines() const {
  const std::vector<Line> all = AllLines();
  const int end = std::min(static_cast<int>(all.size()), Top() + kVisibleLines);
  std::vector<std::string> shown;
  for (int i = Top(); i < end; ++i) shown.push_back(all[i].text);
  return shown;
}

double Backlog::Position() const {
  const int last = LastTop();
  return last == 0 ? 1.0 : static_cast<double>(Top()) / last;
}

std::optional<std::uint64_t> Backlog::VisitAt(int row) const {
  const std::vector<Line> all = AllLines();
  const int at = Top() + row;
  if (row < 0 || row >= kVisibleLines || at >= static_cast<int>(all.size()) || all[at].entry == nullptr) {
    return std::nullopt;
  }
  return all[at].entry->visit;
}

}  // namespace shiori
