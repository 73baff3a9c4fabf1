#pragma once

#include <functional>
#include <string>

namespace shiori {

class Engine;

// A press on one of the choice labels `lblSEL(0..3)`: the left button follows the choice, the right button
// opens the in-game menu.
class Choices {
 public:
  explicit Choices(Engine& engine) : engine_(engine) {}

  void lblSEL_MouseDown(int index, int button);

  // Told when the reader takes a choice, before the story goes on: the choice page and the choice's text.
  std::function<void(int page, const std::string& text)> Taken;

 private:
  Engine& engine_;
};

}  // namespace shiori
