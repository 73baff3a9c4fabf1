#include "comforts/Screens.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "engine/Engine.h"
#include "gallery/CgViewer.h"

namespace shiori {
namespace {

bool AnyVisible(const std::array<Widget*, 4>& widgets) {
  return std::any_of(widgets.begin(), widgets.end(), [](const Widget* w) { return w->visible(); });
}

}  // namespace

Screen CurrentScreen(Engine& engine) {
  Form& form = engine.form();
  const PlayState& s = engine.state();
  if (form.Picture4.visible()) {
    return s.ViewerRoute >= 1 && s.ViewerRoute <= 3 ? Screen::Viewer : Screen::Gallery;
  }
  if (form.Picture3.visible()) return Screen::Settings;
  if (form.Picture2.visible()) {
    switch (s.MenuMode) {
      case MenuKind::Title:
        return Screen::Title;
      case MenuKind::Load:
        return Screen::Load;
      default:
        return Screen::InGameMenu;
    }
  }
  if (form.Picture1.visible()) return AnyVisible(form.lblSEL) ? Screen::Choice : Screen::Story;
  return Screen::Ending;
}

std::vector<Widget*> KeyboardNavigation::Entries(Screen screen) const {
  Form& form = engine_.form();
  std::vector<Widget*> entries;
  switch (screen) {
    case Screen::Choice:
      entries.assign(form.lblSEL.begin(), form.lblSEL.end());
      break;
    case Screen::Title:
    case Screen::InGameMenu:
      entries = {form.lblMLT[0], form.lblMLT[1], form.lblMLT[2], form.lblMLT[3]};
      break;
    case Screen::Load:
      entries = {form.lblMLT[0], form.lblMLT[1], form.lblMLT[2], form.lblMLT[3], form.lblMLT[5]};
      break;
    case Screen::Settings:
      entries = {form.lblMOJI_F, form.lblMOJI_N, form.lblMOJI_S, form.lblSYOK, form.Label8};
      break;
    case Screen::Gallery:
      entries = {form.lblRUI, form.lblSUMI, form.lblNAGI};
      break;
    default:
      break;
  }
  std::erase_if(entries, [](const Widget* w) { return !w->TakesInput(); });
  return entries;
}

const Widget* KeyboardNavigation::Valid(Screen screen, const Widget* widget) const {
  const auto entries = Entries(screen);
  return std::find(entries.begin(), entries.end(), widget) != entries.end() ? widget : nullptr;
}

const Widget* KeyboardNavigation::focus(Screen screen) const {
  return screen == focus_screen_ ? Valid(screen, focus_) : nullptr;
}
const Widget* KeyboardNavigation::hover(Screen screen) const { return Valid(screen, hover_); }

void KeyboardNavigation::Hover(Screen screen, std::optional<std::pair<int, int>> at) {
  hover_ = nullptr;
  if (!at) return;
  for (Widget* entry : Entries(screen)) {
    if (entry->bounds().Contains(at->first, at->second)) hover_ = entry;
  }
}

// The first step only shows the mark, on the first entry.
void KeyboardNavigation::MoveFocus(Screen screen, int step) {
  const auto entries = Entries(screen);
  if (entries.empty()) return;
  const auto at = std::find(entries.begin(), entries.end(), focus(screen));
  focus_screen_ = screen;
  if (at == entries.end()) {
    focus_ = entries.front();
    return;
  }
  const auto count = static_cast<int>(entries.size());
  focus_ = entries[((at - entries.begin()) + step + count) % count];
}

// An arrow goes to the nearest entry that lies that way on the screen, as the reader sees them (the title menu is
// a grid); past the last one it comes round to the farthest the other way; across a single column or row it
// steps through the list, as before.
void KeyboardNavigation::MoveFocusToward(Screen screen, int dx, int dy) {
  const Widget* from = focus(screen);
  if (from == nullptr) {
    MoveFocus(screen, 0);
    return;
  }
  const auto centre = [](const Widget* w) {
    const Rect& r = w->bounds();
    return std::pair{2 * r.left + r.width, 2 * r.top + r.height};  // doubled, to stay whole
  };
  const auto [fx, fy] = centre(from);
  Widget* best = nullptr;
  std::int64_t best_cost = 0;
  for (Widget* entry : Entries(screen)) {
    const auto [x, y] = centre(entry);
    const std::int64_t along = static_cast<std::int64_t>(x - fx) * dx + static_cast<std::int64_t>(y - fy) * dy;
    const std::int64_t across =
        std::abs(static_cast<std::int64_t>(x - fx) * dy) + std::abs(static_cast<std::int64_t>(y - fy) * dx);
    if (along == 0) continue;
    // Any entry that way comes before every entry round the other way.
    constexpr std::int64_t kRound = std::int64_t{1} << 40;
    const std::int64_t cost = (along > 0 ? along : kRound + along) + 2 * across;
    if (best == nullptr || cost < best_cost) {
      best = entry;
      best_cost = cost;
    }
  }
  if (best == nullptr) {
    MoveFocus(screen, dx + dy);
    return;
  }
  focus_ = best;
}

void KeyboardNavigation::PressFocus(Screen screen) {
  if (Widget* focused = const_cast<Widget*>(focus(screen))) {
    engine_.form().Press(*focused, kLeftButton);
  } else {
    MoveFocus(screen, 0);
  }
}

void KeyboardNavigation::PressEntry(Screen screen, int index) {
  if (screen == Screen::Choice) {
    engine_.form().Press(*engine_.form().lblSEL[index], kLeftButton);
    return;
  }
  const auto entries = Entries(screen);
  if (index < static_cast<int>(entries.size())) engine_.form().Press(*entries[index], kLeftButton);
}

void KeyboardNavigation::Escape(Screen screen) {
  Form& form = engine_.form();
  switch (screen) {
    case Screen::Story:
    case Screen::Choice:
      form.Press(form.Picture1, kRightButton);  // the in-game menu, as a right click opens it
      break;
    case Screen::Load:
      form.Press(*form.lblMLT[5], kLeftButton);  // back to the title
      break;
    case Screen::InGameMenu:
      form.Press(*form.lblMLT[3], kLeftButton);  // back to the story
      break;
    case Screen::Settings:
      form.Press(*form.Label8, kLeftButton);
      break;
    case Screen::Gallery:
      form.Press(form.Picture4, kRightButton);  // back to the title
      break;
    case Screen::Viewer:
      engine_.viewer().EndOfRoute();  // back to the gallery screen
      break;
    default:
      break;
  }
}

void KeyboardNavigation::Key(Screen screen, std::string_view key) {
  Form& form = engine_.form();
  if (key == "escape") {
    Escape(screen);
  } else if (screen == Screen::Story || screen == Screen::Ending) {
    if (key == "enter" || key == "space") {
      if (screen == Screen::Story) {
        form.Press(form.Picture1, kLeftButton);
      } else {
        form.PressWindow(kLeftButton);
      }
    }
  } else if (screen == Screen::Viewer) {
    if (key == "right" || key == "down" || key == "enter" || key == "space") form.Press(form.Picture4, kLeftButton);
    if (key == "left" || key == "up") engine_.viewer().ShowPreviousCg();
  } else if (key == "up" || key == "down") {
    MoveFocusToward(screen, 0, key == "up" ? -1 : 1);
  } else if (key == "left" || key == "right") {
    MoveFocusToward(screen, key == "left" ? -1 : 1, 0);
  } else if (key == "enter" || key == "space") {
    PressFocus(screen);
  } else if (key.size() == 1 && key[0] >= '1' && key[0] <= '4') {
    PressEntry(screen, key[0] - '1');
  }
}

}  // namespace shiori
