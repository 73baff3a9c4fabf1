#pragma once

namespace shiori {

class Engine;

// Shows the seen CGs of one route, one per click on the gallery layer, in the gallery table's order; the click
// after the last one puts the gallery screen back.
class CgViewer {
 public:
  explicit CgViewer(Engine& engine) : engine_(engine) {}

  void Picture4_Click();
  // Back to the seen CG before the one shown, if the route has one: the viewer's way back for keys and wheel.
  void ShowPreviousCg();
  // Puts the gallery screen back, as the click after a route's last CG does.
  void EndOfRoute();

 private:
  Engine& engine_;
};

}  // namespace shiori
