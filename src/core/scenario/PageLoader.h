#pragma once

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

 private:
  void LayOutChoice(int index, int first_line, int line_count);

  Engine& engine_;
};

}  // namespace shiori
