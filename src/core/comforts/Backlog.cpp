#include "comforts/Backlog.h"

#include <algorithm>

namespace shiori {

void Backlog::RecordPage(std::int16_t page, bool page_begun, std::vector<std::string> lines) {
  std::erase_if(lines, [](const std::string& line) { return line.find_first_not_of(" 　") == std::string::npos; });
  if (!page_begun && last_is_open_page_ && entries_.back().page == page) {
    entries_.back().lines = std::move(lines);
    return;
  }
  if (lines.empty()) return;
  Push({page, std::move(lines)});
  last_is_open_page_ = true;
}

void Backlog::RecordChoice(std::int16_t page, std::string text) {
  Push({page, {"→ " + std::move(text)}});
  last_is_open_page_ = false;
}

void Backlog::Push(Entry entry) {
  entries_.push_back(std::move(entry));
  while (entries_.size() > kPages) entries_.pop_front();
}

// Pages are set apart by a blank line.
std::vector<std::string> Backlog::AllLines() const {
  std::vector<std::string> all;
  for (const Entry& entry : entries_) {
    if (!all.empty()) all.emplace_back();
    all.insert(all.end(), entry.lines.begin(), entry.lines.end());
  }
  return all;
}

int Backlog::LastTop() const { return std::max(0, static_cast<int>(AllLines().size()) - kVisibleLines); }

void Backlog::ScrollToNewest() { top_ = LastTop(); }

bool Backlog::Scroll(int lines) {
  const int last = LastTop();
  if (lines > 0 && top_ >= last) return false;
  top_ = std::clamp(top_ + lines, 0, last);
  return true;
}

std::vector<std::string> Backlog::VisibleLines() const {
  const std::vector<std::string> all = AllLines();
  const int top = std::min(top_, LastTop());
  const int end = std::min(static_cast<int>(all.size()), top + kVisibleLines);
  return {all.begin() + top, all.begin() + end};
}

double Backlog::Position() const {
  const int last = LastTop();
  return last == 0 ? 1.0 : static_cast<double>(std::min(top_, last)) / last;
}

}  // namespace shiori
