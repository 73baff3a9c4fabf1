#pragma once

namespace shiori {

class Engine;

// Acts on a press on a menu entry `lblMLT(i)`, by the menu that is up (`MenuMode`) and the entry's index.
class MenuDispatcher {
 public:
  explicit MenuDispatcher(Engine& engine) : engine_(engine) {}

  void lblMLT_MouseDown(int index, int button);

  // The opening steps of the gallery, also used by tests and tools.
  void OpenGallery();

 private:
  void TitleMenu(int index);
  void LoadMenu(int index);
  void InGameMenu(int index);
  void ResumeFromSlot(int slot);
  void StartAfresh();
  void ShowStoryLayer();
  void FinishStoryStart(int slot);

  Engine& engine_;
};

}  // namespace shiori
