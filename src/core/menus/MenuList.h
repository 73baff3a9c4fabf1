#pragma once

#include <functional>
#include <optional>
#include <string>

#include "menus/PreviewPassages.h"
#include "window/Widget.h"

namespace shiori {

class Engine;

// The menu list `MLTcontrol`: the title, load and in-game menus, all drawn with the seven entries `lblMLT(0..6)`
// on the menu layer, and the reset of the story state that comes before the title and load menus.
class MenuList {
 public:
  explicit MenuList(Engine& engine) : engine_(engine), previews_(engine) {}

  void ShowTitleMenu();
  void ShowLoadMenu();
  void ShowInGameMenu();
  void FillLoadPreview();
  void ResetPlayState();

  // Told when the story state has been reset: a run of reading has ended.
  std::function<void()> Reset;

 private:
  // What a menu sets on one entry, in the order it sets it; `enabled` only where the menu says.
  struct Entry {
    std::optional<bool> enabled;
    Rgb fore = kWhite;
    double font = 14;
    std::string caption;
    int top = 0;
    int left = 0;
    int width = 0;
    int height = 0;
  };
  void Draw(int index, const Entry& entry);
  void Hide(int index);

  Engine& engine_;
  PreviewPassages previews_;
};

}  // namespace shiori
