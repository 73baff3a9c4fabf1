#include "scenario/PageLoader.h"

#include "engine/Engine.h"
#include "platform/Utf8.h"
#include "scenario/SkipAndReturn.h"
#include "scenario/Typewriter.h"
#include "sound/BgmPlayer.h"

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

  const int first_lines = s.PageBuffer.choiceLines[0];
  const int second_lines = s.PageBuffer.choiceLines[1];
  Widget& first = *form.lblSEL[0];
  first.SetVisible(true);
  first.SetWidth(kChoiceWidth);
  first.SetHeight(first_lines * kFirstChoiceLineHeight);
  first.SetTop(kChoiceTop);
  first.SetLeft(kChoiceLeft);
  first.SetFore(kWhite);
  Widget& second = *form.lblSEL[1];
  second.SetVisible(true);
  second.SetWidth(kChoiceWidth);
  second.SetHeight(second_lines * kSecondChoiceLineHeight);
  second.SetTop(kChoiceTop + first_lines * kFirstChoiceLineHeight + kChoiceGap);
  second.SetLeft(kChoiceLeft);
  second.SetFore(kWhite);
  // A count outside 1..4 leaves the labels at their computed places with the captions they held.
  if (!IsChoiceLineCount(first_lines)) return;
  LayOutChoice(0, 0, first_lines);
  if (!IsChoiceLineCount(second_lines)) return;
  LayOutChoice(1, first_lines, second_lines);
}

// A choice's text is its lines, each cut to as many characters as its code says, one line per row.
void PageLoader::LayOutChoice(int index, int first_line, int line_count) {
  const ScenarioRecord& page = engine_.state().PageBuffer;
  std::string caption;
  for (int k = first_line; k < first_line + line_count; ++k) {
    if (k > first_line) caption += "\r\n";
    caption += Utf8Prefix(page.lineText[k], page.lineCode[k]);
  }
  engine_.form().lblSEL[index]->SetCaption(std::move(caption));
}

}  // namespace shiori
