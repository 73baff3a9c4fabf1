#include "scenario/PageLoader.h"

#include "engine/Engine.h"
#include "scenario/SkipAndReturn.h"
#include "scenario/Typewriter.h"
#include "sound/BgmPlayer.h"
#include "translation/StoryText.h"
#include "translation/StoryTranslation.h"

namespace shiori {
namespace {

constexpr int kChoiceLeft = 32;
constexpr int kChoiceTop = 48;
constexpr int kChoiceWidth = 560;
constexpr int kFirstChoiceLineHeight = 30;
constexpr int kSecondChoiceLineHeight = 33;
constexpr int kChoiceGap = 15;

bool IsChoiceLineCount(int count) { return count >= 1 && count <= 4; }

}  // namespace

Rect PageLoader::ChoiceBounds(const ScenarioRecord& page, int index) {
  const int first_height = page.choiceLines[0] * kFirstChoiceLineHeight;
  if (index == 0) return {kChoiceLeft, kChoiceTop, kChoiceWidth, first_height};
  return {kChoiceLeft, kChoiceTop + first_height + kChoiceGap, kChoiceWidth,
          page.choiceLines[1] * kSecondChoiceLineHeight};
}

void PageLoader::ShowPagePicture() {
  static_cast<void>(engine_.ReadPageRecord());
  engine_.ShowPicture(engine_.form().Picture1, "\\data\\" + FourDigits(engine_.state().PageBuffer.pictureNo) + ".rgd");
}

void PageLoader::EnterTextPage(std::function<void()> after) {
  Form& form = engine_.form();
  form.timYAZIRUSI.SetEnabled(false);
  form.lblSANKAKU->SetCaption("");
  ShowPagePicture();
  engine_.typewriter().StartTyping([this, after = std::move(after)] {
    engine_.skip().UpdateSkipAvailability();
    engine_.music().UpdatePageMusic();
    if (after) after();
  });
}

void PageLoader::ShowChoicePage() {
  LayOutChoicePage();
  if (ChoicesShown && engine_.state().OnScreenPageType == ScenarioRecord::kChoicePage) ChoicesShown();
}

void PageLoader::LayOutChoicePage() {
  PlayState& s = engine_.state();
  Form& form = engine_.form();
  if (s.PageBuffer.pageType == ScenarioRecord::kInertPage) {
    s.OnScreenPageType = ScenarioRecord::kInertPage;
    return;
  }
  engine_.typewriter().Cancel();  // a page typing behind the choices would write over them
  s.LastChoicePage = s.CurrentPage;
  form.lblSANKAKU->SetCaption("");
  for (Widget* line : form.lbl1) line->SetCaption("");
  static_cast<void>(engine_.ReadPageRecord());
  s.OnScreenPageType = s.PageBuffer.pageType;
  if (s.PageBuffer.pageType != ScenarioRecord::kChoicePage) return;

  for (int index = 0; index < 2; ++index) {
    Widget& choice = *form.lblSEL[index];
    const Rect bounds = ChoiceBounds(s.PageBuffer, index);
    choice.SetVisible(true);
    choice.SetWidth(bounds.width);
    choice.SetHeight(bounds.height);
    choice.SetTop(bounds.top);
    choice.SetLeft(bounds.left);
    choice.SetFore(kWhite);
  }
  // A count outside 1..4 leaves the labels at their computed places with the captions they held.
  if (IsChoiceLineCount(s.PageBuffer.choiceLines[0])) {
    LayOutChoice(0);
    if (IsChoiceLineCount(s.PageBuffer.choiceLines[1])) LayOutChoice(1);
  }
}

// A choice's text is its lines, each cut to as many characters as its code says, one line per row; or its
// translation.
void PageLoader::LayOutChoice(int index) {
  const PlayState& s = engine_.state();
  const std::optional<std::string> text = ChoiceText(s.PageBuffer, index);
  if (!text) return;
  engine_.form().lblSEL[index]->SetCaption(engine_.translation().Caption(ChoiceContext(s.CurrentPage, index), *text));
}

}  // namespace shiori
