#include "sound/Ending.h"

#include <string>

#include "engine/Engine.h"
#include "sound/BgmPlayer.h"

namespace shiori {
namespace {

std::string EndingPicture(int step) { return "\\data\\e0" + std::to_string(step) + ".rgd"; }

}  // namespace

void Ending::StartEnding() {
  PlayState& s = engine_.state();
  Form& form = engine_.form();
  form.Picture1.SetVisible(false);
  form.timYAZIRUSI.SetEnabled(false);
  form.menuRIGHT.SetEnabled(false);
  form.menuNEXT.SetEnabled(false);
  const bool full = s.CurrentPage == kFullEnding;
  s.EndingStep = full ? 1 : 5;
  engine_.ShowWindowPicture(EndingPicture(s.EndingStep));
  form.timBGM.SetEnabled(false);
  if (form.menuBGM.checked()) engine_.music().StartSequence(BgmPlayer::MusicFile(full ? 32 : 31));
  form.timEND.SetEnabled(true);
}

void Ending::timEND_Timer() {
  PlayState& s = engine_.state();
  if (s.EndingStep >= 1 && s.EndingStep <= 4) {
    engine_.ShowWindowPicture(EndingPicture(s.EndingStep + 1));
  } else if (s.EndingStep >= 5) {
    engine_.form().timEND.SetEnabled(false);
    s.CurrentPage = 1;
  }
  ++s.EndingStep;
}

}  // namespace shiori
