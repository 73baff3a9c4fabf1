#include "scenario/SkipAndReturn.h"

#include "engine/Engine.h"
#include "persistence/SeenRecord.h"
#include "scenario/PageLoader.h"
#include "scenario/Typewriter.h"
#include "sound/BgmPlayer.h"

namespace shiori {

// Both files are opened once for the whole search, which runs to its end before anything else can change them.
std::optional<std::int16_t> SkipAndReturn::FindNextChoice() const {
  const PlayState& s = engine_.state();
  std::int16_t candidate = s.CurrentPage;
  if (s.PageBuffer.pageType == ScenarioRecord::kChoicePage) return candidate;
  const auto marks = engine_.seen().Open();
  const auto scenario = engine_.scenario().Open();
  if (!marks || !scenario) return std::nullopt;
  for (int examined = 1; examined <= kSearchLimit; ++examined) {
    // Only a mark of 1 stops the walk; any other value counts as read.
    if (engine_.seen().MarkOf(marks.value(), candidate) == SeenRecord::kUnread) return std::nullopt;
    const auto scratch = scenario.value().ReadHeader(candidate);
    if (!scratch) return std::nullopt;
    const ScenarioRecord& page = scratch.value();
    // The ending test comes first: a skip never enters an ending, not even through a choice page.
    if (page.target[0] > ScenarioRecord::kEndingThreshold) return std::nullopt;
    if (page.pageType == ScenarioRecord::kChoicePage) return candidate;
    candidate = page.target[0];
  }
  return std::nullopt;
}

void SkipAndReturn::UpdateSkipAvailability() {
  engine_.form().menuNEXT.SetEnabled(FindNextChoice().has_value());
  static_cast<void>(engine_.ReadPageRecord());
}

void SkipAndReturn::menuNEXT_Click() {
  PlayState& s = engine_.state();
  Form& form = engine_.form();
  if (!form.timYAZIRUSI.enabled()) return;  // a page is being typed, or no page waits for a click
  const auto found = FindNextChoice();
  if (!found) {
    static_cast<void>(engine_.ReadPageRecord());
    return;
  }
  s.CurrentPage = *found;
  engine_.pages().ShowPagePicture();
  engine_.pages().ShowChoicePage();
  form.timYAZIRUSI.SetEnabled(false);
  engine_.music().UpdatePageMusic();
  for (Widget* line : form.lbl1) {
    if (line->caption().empty()) break;
    line->SetCaption("");
  }
}

void SkipAndReturn::ReturnToPreviousChoice() {
  PlayState& s = engine_.state();
  Form& form = engine_.form();
  engine_.typewriter().Cancel();
  form.Picture1.SetVisible(true);
  form.Picture2.SetVisible(false);
  s.CurrentPage = s.LastChoicePage;
  engine_.pages().ShowPagePicture();
  form.timYAZIRUSI.SetEnabled(false);
  engine_.pages().ShowChoicePage();
  UpdateSkipAvailability();
  engine_.music().UpdatePageMusic();
  form.menuRIGHT.SetEnabled(true);
  s.MenuMode = MenuKind::None;
}

}  // namespace shiori
