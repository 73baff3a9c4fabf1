#include "scenario/PageAdvance.h"

#include "engine/Engine.h"
#include "persistence/SeenRecord.h"
#include "scenario/PageLoader.h"
#include "scenario/Typewriter.h"
#include "sound/Ending.h"

namespace shiori {

void PageAdvance::lblFRONT_Click() {
  PlayState& s = engine_.state();
  Form& form = engine_.form();
  if (!form.lblFRONT->enabled()) return;
  if (!ScenarioRecord::IsTextPageType(s.OnScreenPageType)) return;  // a choice or inert page is not left by a click
  if (ReadingOn) ReadingOn();
  engine_.seen().MarkPageSeen();
  form.lblFRONT->SetEnabled(false);
  form.lblSANKAKU->SetCaption("");
  if (s.PageState == PageProgress::Paused) {
    form.timYAZIRUSI.SetEnabled(false);
    form.lblSANKAKU->SetCaption("");
    engine_.typewriter().StartTyping(nullptr);
  } else if (s.PageState == PageProgress::Finished) {
    OpenNextPage();
  }
}

// `CurrentPage` already names the page that follows the finished one.
void PageAdvance::OpenNextPage() {
  const PlayState& s = engine_.state();
  if (!engine_.ReadPageRecord()) return;
  if (!s.PageBuffer.IsTextPage()) {
    engine_.pages().ShowChoicePage();
    return;
  }
  engine_.pages().EnterTextPage();
}

void PageAdvance::timYAZIRUSI_Timer() {
  PlayState& s = engine_.state();
  Form& form = engine_.form();
  if (s.PageState == PageProgress::Finished && s.PageBuffer.endingMark > ScenarioRecord::kEndingThreshold) {
    engine_.ending().StartEnding();
    return;
  }
  if (!form.lblFRONT->enabled()) form.lblFRONT->SetEnabled(true);
  const char* arrow = s.PageState == PageProgress::Paused ? "▽" : s.PageState == PageProgress::Finished ? "▼" : nullptr;
  if (arrow == nullptr) return;
  if (s.BlinkPhase == 1) {
    form.lblSANKAKU->SetCaption(arrow);
    s.BlinkPhase = 2;
  } else {
    form.lblSANKAKU->SetCaption("");
    s.BlinkPhase = 1;
  }
}

}  // namespace shiori
