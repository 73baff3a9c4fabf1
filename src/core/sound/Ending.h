#pragma once

namespace shiori {

class Engine;

// The closing sequence: the full ending (page 9501) shows five pictures nine seconds apart with its own piece,
// every other ending only the last picture; the final picture stays until the reader clicks the window.
class Ending {
 public:
  static constexpr int kFullEnding = 9501;

  explicit Ending(Engine& engine) : engine_(engine) {}

  void StartEnding();
  void timEND_Timer();

 private:
  Engine& engine_;
};

}  // namespace shiori
