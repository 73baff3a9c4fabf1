#pragma once

#include <functional>

namespace shiori {

class Engine;

// The reader's click on the story: types on after a pause, opens the next page after a finished one, and is
// refused while a page types or a choice is up. The arrow timer blinks the next-arrow, reopens the click gate
// and starts the ending when a finished page carries an ending mark.
class PageAdvance {
 public:
  explicit PageAdvance(Engine& engine) : engine_(engine) {}

  void lblFRONT_Click();
  void timYAZIRUSI_Timer();

  // Told when a click passes the gate and the story reads on.
  std::function<void()> ReadingOn;

 private:
  void OpenNextPage();

  Engine& engine_;
};

}  // namespace shiori
