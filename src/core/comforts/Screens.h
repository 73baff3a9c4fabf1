#pragma once

#include <optional>
#include <string_view>
#include <vector>

namespace shiori {

class Engine;
class Widget;

// Which screen the reader is looking at, read from the window: the top-most visible layer and the story's state.
enum class Screen { Story, Choice, Title, Load, InGameMenu, Settings, Gallery, Viewer, Ending };

[[nodiscard]] Screen CurrentScreen(Engine& engine);

// Moves a focus mark over the entries of each screen and answers the keys there, so that every screen works
// without a mouse. A key does what a press on the entry would do, through the window's own input path.
class KeyboardNavigation {
 public:
  explicit KeyboardNavigation(Engine& engine) : engine_(engine) {}

  // Answers `key` ("up", "enter", "escape", "1" ...) on `screen`.
  void Key(Screen screen, std::string_view key);
  // The entry under the point, for the hover mark: only entries the keyboard could focus on this screen.
  void Hover(Screen screen, std::optional<std::pair<int, int>> at);

  [[nodiscard]] const Widget* focus(Screen screen) const;
  [[nodiscard]] const Widget* hover(Screen screen) const;

 private:
  [[nodiscard]] std::vector<Widget*> Entries(Screen screen) const;
  void MoveFocus(Screen screen, int step);
  void MoveFocusToward(Screen screen, int dx, int dy);
  void PressFocus(Screen screen);
  void PressEntry(Screen screen, int index);
  void Escape(Screen screen);
  [[nodiscard]] const Widget* Valid(Screen screen, const Widget* widget) const;

  Engine& engine_;
  Widget* focus_ = nullptr;
  Screen focus_screen_ = Screen::Story;  // a mark set on one screen is not carried to another
  Widget* hover_ = nullptr;
};

}  // namespace shiori
