#pragma once

#include <functional>

#include "scenario/ScenarioRecord.h"
#include "window/Widget.h"

namespace shiori {

class Engine;

// Puts a page on the story layer: its picture, or for a choice page the two choice labels.
class PageLoader {
 public:
  explicit PageLoader(Engine& engine) : engine_(engine) {}

  // Loads the picture of page `CurrentPage` into `Picture1`.
  void ShowPagePicture();
  // Lays out the choice page `CurrentPage`, blanks the window for other page types, or does nothing at all for
  // an inert page.
  void ShowChoicePage();
  // Brings the text page `CurrentPage` on screen after a click or a choice: arrow off, picture, typing, and
  // when typing stops, the skip availability and the music, then `after`.
  void EnterTextPage(std::function<void()> after = nullptr);

  // Where choice `index` (0 or 1) of a choice page is laid out: the second under the first, each as tall as its
  // lines.
  [[nodiscard]] static Rect ChoiceBounds(const ScenarioRecord& page, int index);
  // Told when the answers of a choice page have been laid out.
  std::function<void()> ChoicesShown;

 private:
  void LayOutChoicePage();
  void LayOutChoice(int index);

  Engine& engine_;
};

}  // namespace shiori
