#include "menus/TitleAndQuit.h"

#include <charconv>
#include <string>

#include "engine/Engine.h"
#include "menus/MenuList.h"
#include "scenario/PageAdvance.h"

namespace shiori {
namespace {

constexpr const char* kLeaveStoryQuestion = "現在のゲームを終了しますか？";
constexpr const char* kQuitQuestion = "ゲームを終了します";
constexpr const char* kQuestionTitle = "確認";

// The developer box's text as a page number: digits with an optional sign and surrounding blanks, within the
// range of a page number. Anything else is refused.
std::optional<std::int16_t> ParsePageNumber(std::string text) {
  const auto first = text.find_first_not_of(" \t");
  const auto last = text.find_last_not_of(" \t");
  if (first == std::string::npos) return std::nullopt;
  text = text.substr(first, last - first + 1);
  if (!text.empty() && text[0] == '+') text.erase(0, 1);
  std::int16_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace

void TitleAndQuit::menuTITLE_Click() {
  Form& form = engine_.form();
  form.Picture4.SetVisible(false);
  form.Picture3.SetVisible(false);
  if (engine_.state().MenuMode == MenuKind::Title) return;  // the title is up: closing the screens over it was all
  if (!engine_.services().questions.Ask(kLeaveStoryQuestion, kQuestionTitle)) return;
  BackToTitle();
}

void TitleAndQuit::BackToTitle() {
  Form& form = engine_.form();
  form.Picture4.SetVisible(false);
  form.Picture3.SetVisible(false);
  form.timEND.SetEnabled(false);
  engine_.menus().ResetPlayState();
  engine_.menus().ShowTitleMenu();
  form.Picture1.SetVisible(false);
  engine_.ShowPicture(form.Picture2, "\\data\\op01.rgd");
  form.Picture2.SetVisible(true);
}

void TitleAndQuit::menuEND_Click() {
  if (!engine_.services().questions.Ask(kQuitQuestion, kQuestionTitle)) return;
  engine_.Close();  // unloads the window, the single way out
}

void TitleAndQuit::Form_QueryUnload() {
  if (StoryInProgress() && !engine_.services().questions.Ask(kLeaveStoryQuestion, kQuestionTitle)) return;
  engine_.Close();
}

// A page on the story layer (which stays shown beneath the title's layer), or the in-game menu.
bool TitleAndQuit::StoryInProgress() const {
  const Form& form = engine_.form();
  return (form.Picture1.visible() && !form.Picture2.visible()) || engine_.state().MenuMode == MenuKind::InGame;
}

void TitleAndQuit::Form_Click() {
  PlayState& s = engine_.state();
  Form& form = engine_.form();
  if (s.EndingStep <= 5) return;  // the ending's last tick has not come yet
  s.EndingStep = 5;
  engine_.menus().ResetPlayState();
  form.Picture1.SetVisible(false);
  engine_.ShowPicture(form.Picture2, "\\data\\op01.rgd");
  engine_.menus().ShowTitleMenu();
  form.Picture2.SetVisible(true);
}

void TitleAndQuit::comDES_Click() {
  PlayState& s = engine_.state();
  const auto page = ParsePageNumber(engine_.form().txtDES->caption());
  if (!page) {
    engine_.services().warnings.Warn("txtDES: not a page number: " + engine_.form().txtDES->caption());
    return;
  }
  s.CurrentPage = *page;
  s.LineCounter = 1;
  s.PageState = PageProgress::Finished;
  s.OnScreenPageType = 0;  // the jump declares the page on screen finished, whatever it was
  engine_.form().lblFRONT->SetEnabled(true);
  engine_.advance().lblFRONT_Click();
}

// Diagnostics: the caption passes through the music interval, the typewriter's progress and the page type,
// and stays on the page number.
void TitleAndQuit::Command2_Click() {
  const PlayState& s = engine_.state();
  Form& form = engine_.form();
  form.Label3->SetCaption(std::to_string(form.timBGM.interval()));
  form.Label3->SetCaption(std::to_string(s.CurrentPage) + "  " + std::to_string(s.LineCounter) + "  " +
                          std::to_string(static_cast<int>(s.PageState)));
  form.Label3->SetCaption(std::to_string(s.PageBuffer.pageType));
  form.Label3->SetCaption(std::to_string(s.CurrentPage));
  engine_.menus().FillLoadPreview();
}

}  // namespace shiori
