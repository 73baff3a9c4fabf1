#pragma once

namespace shiori {

class Engine;

// The gallery screen on `Picture4`: one click area and one progress text per route, counted from the read-page
// record; a right-button press on the layer leaves it.
class Gallery {
 public:
  explicit Gallery(Engine& engine) : engine_(engine) {}

  void RefreshGalleryProgress();
  // lblRUI_Click (route 1), lblSUMI_Click (2), lblNAGI_Click (3).
  void ChooseRoute(int route);
  void Picture4_MouseDown(int button);
  // Every CG of the three routes seen, as counted at the last refresh.
  [[nodiscard]] bool AllCgsSeen() const;

  // Shows or hides the three click areas and the three progress texts.
  void ShowLabels(bool visible);

 private:
  Engine& engine_;
};

}  // namespace shiori
