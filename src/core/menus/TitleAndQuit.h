#pragma once

namespace shiori {

class Engine;

// Leaving the story or the program through the menu bar, the click on the bare window after the ending, and the
// developer controls outside the client area.
class TitleAndQuit {
 public:
  explicit TitleAndQuit(Engine& engine) : engine_(engine) {}

  void menuTITLE_Click();
  // Closes the gallery and settings screens over the title and shows the title menu afresh, ending any story or
  // ending in progress without saving it.
  void BackToTitle();
  void menuEND_Click();  // also menuEND2
  // The window's close box: asks first while a story is in progress, as leaving it through a menu does, and
  // closes at once on the title, gallery and settings screens.
  void Form_QueryUnload();
  void Form_Click();
  void comDES_Click();
  void Command2_Click();

  // A page on the story layer or the in-game menu over it: leaving now would lose the reader's place.
  [[nodiscard]] bool StoryInProgress() const;

 private:
  Engine& engine_;
};

}  // namespace shiori
