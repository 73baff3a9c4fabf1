#pragma once

namespace shiori {

class Engine;

// The window's load and unload: start-up in its fixed order, and the single way out of the program, which every
// quit command and the close box take.
class Lifecycle {
 public:
  explicit Lifecycle(Engine& engine) : engine_(engine) {}

  void Form_Load();
  // Music stopped, both settings written, program ended.
  void Form_Unload();

 private:
  Engine& engine_;
};

}  // namespace shiori
