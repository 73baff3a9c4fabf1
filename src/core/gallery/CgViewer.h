#pragma once

namespace shiori {

class Engine;

// Shows the seen CGs of one route, one per click on the gallery layer, in the gallery table's order; the click
// after the last one puts the gallery screen back.
class CgViewer {
 public:
  explicit CgViewer(Engine& engine) : engine_(engine) {}

  void Picture4_Click();

 private:
  void EndOfRoute();

  Engine& engine_;
};

}  // namespace shiori
