#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>

#include "engine/PlayState.h"

namespace shiori {

class Engine;

// Going back through the pages of this run: each page is remembered as it stood at its last stop (a pause, its
// end, or a choice page up), so that it can be put back exactly: its picture, its text, its music, its choices
// open to be taken again. Only the story on the stage goes back; the read-page record and the bookmarks stay as
// they are until the reader saves.
class GoingBack {
 public:
  // Pages remembered, the page on screen included.
  static constexpr std::size_t kPages = 200;
  // Names one visit to a page: reading a page again after going back is another visit.
  using Visit = std::uint64_t;

  explicit GoingBack(Engine& engine) : engine_(engine) {}

  // From the story: a typing run stopped (`began_page`: it began its page), or a choice page is up.
  void PageStopped(bool began_page);
  void ChoiceShown();
  // The story was left (the title, the load menu): a run of reading ends.
  void Clear();

  [[nodiscard]] bool CanGoBack() const;
  // Puts back the page before the one on screen. False when there is none.
  bool StepBack();
  // Puts back the page of `visit`, forgetting every later one. False when it is no longer remembered.
  bool ReturnTo(Visit visit);
  // The visit of the page on screen, or of the page being typed for the first time (remembered at its first stop).
  [[nodiscard]] Visit OnScreen() const;
  // The visit remembered last: the page a history entry recorded now belongs to.
  [[nodiscard]] Visit newest() const { return pages_.empty() ? 0 : pages_.back().visit; }

 private:
  struct Page {
    Visit visit = 0;
    bool choice = false;
    PlayState story;  // only the story's own fields are put back
    std::array<std::string, 12> lines;
    std::optional<std::string> picture;
    bool skip_offered = false;
  };
  void Remember(Page page, bool same_visit);
  [[nodiscard]] bool NewPageTyping() const;
  void Restore(const Page& page);
  void RestoreText(const Page& page);

  Engine& engine_;
  std::deque<Page> pages_;
  Visit next_visit_ = 1;
  bool restoring_ = false;
};

}  // namespace shiori
