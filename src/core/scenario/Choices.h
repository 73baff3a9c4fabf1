#pragma once

namespace shiori {

class Engine;

// A press on one of the choice labels `lblSEL(0..3)`: the left button follows the choice, the right button
// opens the in-game menu.
class Choices {
 public:
  explicit Choices(Engine& engine) : engine_(engine) {}

  void lblSEL_MouseDown(int index, int button);

 private:
  Engine& engine_;
};

}  // namespace shiori
