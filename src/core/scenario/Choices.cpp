#include "scenario/Choices.h"

#include "engine/Engine.h"
#include "menus/MenuList.h"
#include "scenario/PageLoader.h"

namespace shiori {

void Choices::lblSEL_MouseDown(int index, int button) {
  PlayState& s = engine_.state();
  Form& form = engine_.form();
  if (button == kRightButton) {
    engine_.menus().ShowInGameMenu();
    return;
  }
  if (button != kLeftButton || index < 0 || index > 3) return;
  const std::int16_t target = s.PageBuffer.target[index];
  if (target == 0) return;
  if (Taken) Taken(s.LastChoicePage, form.lblSEL[index]->caption());
  for (Widget* choice : form.lblSEL) choice->SetVisible(false);
  s.CurrentPage = target;
  static_cast<void>(engine_.ReadPageRecord());
  if (!s.PageBuffer.IsTextPage()) {
    engine_.pages().ShowChoicePage();
    return;
  }
  s.LineCounter = 0;
  s.PageState = PageProgress::Paused;  // types the first line without clearing: the choice page left the window blank
  engine_.pages().EnterTextPage([this] { engine_.form().lblFRONT->SetEnabled(false); });
}

}  // namespace shiori
