#include "comforts/Comforts.h"

#include <algorithm>
#include <array>

#include "comforts/SlotPreview.h"
#include "engine/Engine.h"
#include "gallery/CgViewer.h"
#include "menus/MenuList.h"
#include "persistence/Bookmarks.h"
#include "persistence/SeenRecord.h"
#include "persistence/Settings.h"
#include "platform/Utf8.h"
#include "scenario/PageAdvance.h"
#include "scenario/Typewriter.h"
#include "translation/StoryTranslation.h"

namespace shiori {
namespace {

constexpr std::array<std::string_view, 20> kKeys = {
    "pageup", "pagedown", "up", "down", "left", "right", "enter", "space", "escape",    "tab",
    "delete", "a",        "h",  "v",    "1",    "2",     "3",     "4",     "backspace", "f1"};
constexpr int kWheelLines = 3;
// The big pictures of the gallery stand above their routes' name plates, from here down to the plate.
constexpr int kGalleryPictureTop = 40;

bool Waiting(const PlayState& s) { return s.PageState != PageProgress::Typing; }

// The player's words `text` with its %1 put in: Japanese writes a bookmark's number full width ("しおり１"),
// other languages as they write digits.
std::string WithSlot(std::string_view text, int slot, Language language) {
  static constexpr std::array<std::string_view, 4> kWide = {"０", "１", "２", "３"};
  const bool known = slot >= 0 && slot <= 3;
  const std::string number =
      language == Language::Japanese ? std::string(known ? kWide[slot] : "？") : std::to_string(slot);
  std::string filled(text);
  if (const std::size_t at = filled.find("%1"); at != std::string::npos) filled.replace(at, 2, number);
  return filled;
}

}  // namespace

Comforts::Comforts(Engine& engine)
    : engine_(engine), going_back_(engine), undo_(engine), navigation_(engine), voice_(engine, preferences_) {}

Comforts::~Comforts() {
  for (auto* task : {&notice_task_, &read_on_task_}) {
    if (*task) engine_.scheduler().Cancel(**task);
  }
}

bool Comforts::BeforePress(const Form::PressEvent& press) {
  if (help_.open()) {
    ToggleHelp();
    return true;
  }
  if (backlog_open_) {
    PressOnBacklog(press);
    return true;
  }
  if (text_hidden_) {
    ShowText();
    return true;
  }
  const Screen screen = CurrentScreen(engine_);
  const bool on_story = screen == Screen::Story;
  if (auto_ || skip_) {
    StopReadingOn();
    if (on_story && press.button == kLeftButton) return true;
  }
  if (press.button == kMiddleButton && on_story) {
    HideText();
    return true;
  }
  if (press.at && press.button == kLeftButton && screen == Screen::Gallery &&
      PressOnGalleryPicture(press.at->first, press.at->second)) {
    return true;
  }
  if (press.at && press.button == kLeftButton && screen == Screen::Load &&
      PressOnUndoButton(press.at->first, press.at->second)) {
    return true;
  }
  if (!on_story || press.button != kLeftButton) return false;
  const PlayState& s = engine_.state();
  if (engine_.typewriter().typing()) {
    if (!preferences_.click_shows_page) return false;
    engine_.typewriter().Finish();
    return true;
  }
  if (preferences_.keep_early_click && Waiting(s) && s.OnScreenPageType <= 1 && !engine_.form().lblFRONT->enabled()) {
    early_click_ = true;
    return true;
  }
  return false;
}

bool Comforts::PressOnGalleryPicture(int x, int y) {
  Form& form = engine_.form();
  for (Widget* plate : {form.lblRUI, form.lblSUMI, form.lblNAGI}) {
    const Rect& r = plate->bounds();
    if (plate->TakesInput() && x >= r.left && x < r.left + r.width && y >= kGalleryPictureTop && y < r.top) {
      form.Press(*plate, kLeftButton);
      return true;
    }
  }
  return false;
}

bool Comforts::PressOnUndoButton(int x, int y) {
  for (const int slot : undo_.Slots()) {
    if (!UndoButtonBeside(engine_.form().lblMLT[slot - 1]->bounds()).Contains(x, y)) continue;
    TakeBackBookmark(slot);
    return true;
  }
  return false;
}

bool Comforts::Key(std::string_view key) {
  if (std::find(kKeys.begin(), kKeys.end(), key) == kKeys.end()) return false;
  if (help_.open() || key == "f1") {
    ToggleHelp();
  } else if (backlog_open_) {
    BacklogKey(key);
  } else if (text_hidden_) {
    ShowText();
  } else {
    const Screen screen = CurrentScreen(engine_);
    const bool reading = screen == Screen::Story || screen == Screen::Choice;
    if (reading && key == "pageup") {
      OpenBacklog();
    } else if (reading && key == "a") {
      SetAuto(!auto_);
    } else if (reading && key == "tab") {
      SetSkipRead(!skip_);
    } else if (reading && key == "backspace") {
      GoBack();
    } else if (screen == Screen::Story && (key == "h" || key == "delete")) {
      HideText();
    } else if (key == "v") {
      ToggleVoice();
    } else {
      NavigationKey(screen, key);
    }
  }
  Refresh();
  return true;
}

// The entry the keyboard moves to is said, and again when an arrow finds no other entry to move to.
void Comforts::NavigationKey(Screen screen, std::string_view key) {
  const Widget* before = navigation_.focus(screen);
  navigation_.Key(screen, key);
  const Widget* after = navigation_.focus(screen);
  const bool arrow = key == "up" || key == "down" || key == "left" || key == "right";
  if (after != nullptr && (after != before || arrow)) voice_.Focused(*after);
}

void Comforts::BacklogKey(std::string_view key) {
  if (key == "escape") {
    CloseBacklog();
  } else if (key == "up" || key == "down") {
    backlog_.Scroll(key == "up" ? -1 : 1);
  } else if (key == "pageup" || key == "pagedown") {
    backlog_.Scroll(key == "pageup" ? -Backlog::kVisibleLines : Backlog::kVisibleLines);
  }
}

void Comforts::Wheel(int notches) {
  Form& form = engine_.form();
  for (; notches != 0; notches += notches < 0 ? 1 : -1) {
    const bool up = notches < 0;
    const Screen screen = CurrentScreen(engine_);
    if (backlog_open_) {
      if (!backlog_.Scroll(up ? -kWheelLines : kWheelLines)) CloseBacklog();
    } else if (up && (screen == Screen::Story || screen == Screen::Choice)) {
      OpenBacklog();
    } else if (screen == Screen::Story) {
      form.Press(form.Picture1, kLeftButton);
    } else if (screen == Screen::Viewer) {
      if (up) {
        engine_.viewer().ShowPreviousCg();
      } else {
        form.Press(form.Picture4, kLeftButton);
      }
    }
  }
  Refresh();
}

void Comforts::HoldCtrl(bool held) {
  SetSkipRead(held);
  ctrl_visit_.reset();
  if (held && skip_) ctrl_visit_ = going_back_.OnScreen();
}

// Ctrl held a little too long before its key must not move the story: the page is put back as it was shown,
// stopped at its pause or its end, so that a quick save saves what the reader was looking at.
void Comforts::CtrlJoinedByKey() {
  if (!ctrl_visit_) return;
  const GoingBack::Visit shown = *ctrl_visit_;
  ctrl_visit_.reset();
  StopReadingOn();
  if (going_back_.OnScreen() != shown) static_cast<void>(going_back_.ReturnTo(shown));
}

void Comforts::ToggleHelp() {
  StopReadingOn();
  help_.Toggle();
  engine_.typewriter().Hold(help_.open() || backlog_open_);
  Refresh();
}

void Comforts::GoBack() {
  StopReadingOn();
  text_hidden_ = false;
  static_cast<void>(going_back_.StepBack());
  Refresh();
}

void Comforts::PressOnBacklog(const Form::PressEvent& press) {
  if (press.button == kRightButton) {
    CloseBacklog();
    return;
  }
  if (press.button != kLeftButton || !press.at || press.at->second < Backlog::kTop) return;
  const auto visit = backlog_.VisitAt((press.at->second - Backlog::kTop) / Backlog::kPitch);
  if (visit) ReturnToVisit(*visit);
}

// Going back forgets the pages after the one chosen, so the reader is asked first.
void Comforts::ReturnToVisit(GoingBack::Visit visit) {
  if (visit == going_back_.OnScreen()) return;
  if (!engine_.services().questions.Ask("このページまで戻りますか？", "確認")) return;
  CloseBacklog();
  StopReadingOn();
  if (!going_back_.ReturnTo(visit)) ShowNotice("このページには戻れません");
  Refresh();
}

void Comforts::Hover(std::optional<std::pair<int, int>> at) {
  navigation_.Hover(CurrentScreen(engine_), at);
  Refresh();
}

void Comforts::SetAuto(bool on) {
  if (on == auto_) return;
  if (!on) {
    StopReadingOn();
    return;
  }
  if (!CanReadOn()) return;
  skip_ = false;
  auto_ = true;
  auto_due_ = false;
  if (!engine_.typewriter().typing() && Waiting(engine_.state())) {
    ScheduleReadOn(Milliseconds(preferences_.auto_delay));
  }
  Refresh();
}

// The record marks a page as the reader enters it, so the page on screen counts as read unless its record says
// otherwise; every page skip opens itself is checked before it is opened.
void Comforts::SetSkipRead(bool on) {
  if (on == skip_) return;
  if (!on) {
    StopReadingOn();
    return;
  }
  if (!CanReadOn()) return;
  const PlayState& s = engine_.state();
  auto_ = false;
  skip_ = true;
  shown_page_read_ = s.PageState == PageProgress::Finished || engine_.seen().IsPageSeen(s.CurrentPage);
  ScheduleReadOn(0);
  Refresh();
}

// Reading on starts only on the story itself, with nothing over it.
bool Comforts::CanReadOn() { return CurrentScreen(engine_) == Screen::Story && !backlog_open_ && !text_hidden_; }

void Comforts::StopReadingOn() {
  auto_ = false;
  auto_due_ = false;
  skip_ = false;
  if (read_on_task_) engine_.scheduler().Cancel(*read_on_task_);
  read_on_task_.reset();
  Refresh();
}

void Comforts::ScheduleReadOn(Micros delay) {
  if (read_on_task_) engine_.scheduler().Cancel(*read_on_task_);
  read_on_task_ = engine_.scheduler().Schedule(delay, [this] {
    read_on_task_.reset();
    if (auto_) auto_due_ = true;
    ReadOn();
  });
}

// One step of auto or skip reading. Auto waits for its delay and for the click gate; skip opens the gate
// itself and types read pages at once, and stops before a page the record does not mark as read.
void Comforts::ReadOn() {
  if (!auto_ && !skip_) return;
  const PlayState& s = engine_.state();
  if (CurrentScreen(engine_) != Screen::Story || s.OnScreenPageType > 1) {
    StopReadingOn();
    return;
  }
  if (backlog_open_ || text_hidden_) return;  // reading on resumes when they close
  Typewriter& typewriter = engine_.typewriter();
  if (auto_) {
    if (typewriter.typing() || !auto_due_ || !Waiting(s) || !engine_.form().lblFRONT->enabled()) return;
    auto_due_ = false;
    static_cast<void>(ClickStory());
    return;
  }
  if (!shown_page_read_ || (!typewriter.typing() && SkipEndsHere(s))) {
    StopReadingOn();
    return;
  }
  if (typewriter.typing()) {
    typewriter.Finish();  // its stop schedules the next step
    return;
  }
  if (!Waiting(s)) return;
  engine_.form().lblFRONT->SetEnabled(true);
  if (!ClickStory()) return;
  // The page comes up whole at once, whatever the text speed: skipping is for pages already read.
  if (typewriter.typing()) typewriter.Finish();
  if (!typewriter.typing() && s.PageState == PageProgress::Typing) ScheduleReadOn(kSkipDwell);
}

// At the end of a page, skip stops before a page the record does not mark as read, and before an ending, which
// the arrow timer starts at its next tick: a click before it would read past the ending.
bool Comforts::SkipEndsHere(const PlayState& s) {
  if (s.PageState != PageProgress::Finished) return false;
  return !engine_.seen().IsPageSeen(s.CurrentPage) || s.PageBuffer.endingMark > ScenarioRecord::kEndingThreshold;
}

// The reader's click on the story, given by a comfort. False when it led away from reading (a choice).
bool Comforts::ClickStory() {
  engine_.advance().lblFRONT_Click();
  if (CurrentScreen(engine_) != Screen::Story || engine_.state().OnScreenPageType > 1) {
    StopReadingOn();
    return false;
  }
  return true;
}

// Skipping flies over pages the reader has read: nothing is said or offered until it stops.
void Comforts::TypingStarted(const std::vector<std::string>& lines) {
  if (!skip_) voice_.PageTyping(lines);
}

// The page remembers its choices before the voice reads them.
void Comforts::ChoicesShown() {
  going_back_.ChoiceShown();
  voice_.ChoicesShown();
}

void Comforts::ReadingOn() { voice_.Stop(); }

void Comforts::TypingStopped(std::int16_t page, bool began_page) {
  going_back_.PageStopped(began_page);
  if (began_page && !engine_.scenario().Holds(page)) ReportDeadEnd(page);
  std::vector<std::string> lines;
  int characters = 0;
  for (const Widget* line : engine_.form().lbl1) {
    lines.push_back(line->caption());
    characters += static_cast<int>(Utf8Length(line->caption()));
  }
  backlog_.RecordPage(page, began_page, std::move(lines), going_back_.newest());
  const int fresh = began_page ? characters : std::max(0, characters - shown_characters_);
  shown_characters_ = characters;
  if (skip_) {
    shown_page_read_ = true;  // skip only types pages it found read
    // A pause inside a page is passed at once, so that the page shows whole; a finished page stays a moment.
    ScheduleReadOn(engine_.state().PageState == PageProgress::Paused ? 0 : kSkipDwell);
  } else if (auto_) {
    auto_due_ = false;
    ScheduleReadOn(Milliseconds(preferences_.auto_delay + kAutoMsPerCharacter * fresh));
  }
}

void Comforts::ArrowTicked() {
  const bool on_story = CurrentScreen(engine_) == Screen::Story;
  if ((auto_ || skip_) && !on_story) StopReadingOn();
  if (early_click_ && !on_story) early_click_ = false;
  if (backlog_open_ || text_hidden_ || !engine_.form().lblFRONT->enabled()) return;
  if (early_click_) {
    early_click_ = false;
    static_cast<void>(ClickStory());
  } else if (auto_due_) {
    ReadOn();
  }
}

void Comforts::ChoiceTaken(int page, std::string_view text) {
  voice_.Stop();
  backlog_.RecordChoice(static_cast<std::int16_t>(page), OneLine(text), going_back_.newest());
}

// A page the scenario does not hold shows as a blank stage; the reader is told why, as standard error is.
void Comforts::ReportDeadEnd(std::int16_t page) {
  StopReadingOn();
  engine_.services().warnings.Warn("the story leads to page " + std::to_string(page) + ", which " +
                                   engine_.scenario().path().string() + " does not hold");
  ShowNotice("物語の行き止まりです：ページ " + std::to_string(page) + " がありません");
}

void Comforts::StoryReset() {
  going_back_.Clear();
  backlog_.BeginRun();
}

void Comforts::OpenBacklog() {
  if (backlog_open_) return;
  backlog_open_ = true;
  backlog_.ScrollToNewest();
  engine_.typewriter().Hold(true);
  Refresh();
}

void Comforts::CloseBacklog() {
  if (!backlog_open_) return;
  backlog_open_ = false;
  engine_.typewriter().Hold(false);
  Refresh();
  ReadOn();
}

void Comforts::HideText() {
  text_hidden_ = true;
  Refresh();
}

void Comforts::ShowText() {
  text_hidden_ = false;
  Refresh();
  ReadOn();
}

void Comforts::ToggleVoice() {
  Preferences changed = preferences_;
  changed.self_voicing = !changed.self_voicing;
  SetPreferences(changed);
  ShowNotice(voice_.SwitchedNotice(changed.self_voicing));
}

void Comforts::ShowNotice(std::string text) {
  voice_.Noticed(text);
  notice_ = std::move(text);
  if (notice_task_) engine_.scheduler().Cancel(*notice_task_);
  notice_task_ = engine_.scheduler().Schedule(kNoticeTime, [this] {
    notice_task_.reset();
    notice_.reset();
    Refresh();
  });
  Refresh();
}

void Comforts::QuickSave(int slot) { static_cast<void>(engine_.bookmarks().SaveBookmark(slot)); }

void Comforts::BookmarkSaved(int slot, const Status& saved) {
  const auto say = [&](std::string_view japanese) { return WithSlot(Say(japanese), slot, language()); };
  if (!saved) {
    ShowNotice(say("しおり%1に保存できませんでした：") + saved.error());
  } else if (undo_.CanTakeBack(slot)) {
    ShowNotice(say("しおり%1に保存しました　上書き前は「読書」から戻せます"));
  } else {
    ShowNotice(say("しおり%1に保存しました"));
  }
}

void Comforts::TakeBackBookmark(int slot) {
  const Status taken = undo_.TakeBack(slot);
  if (taken && CurrentScreen(engine_) == Screen::Load) engine_.menus().ShowLoadMenu();  // the slot's new stamp
  ShowNotice(taken ? WithSlot(Say("しおり%1を上書き前に戻しました"), slot, language())
                   : Say("戻せませんでした：") + taken.error());
}

void Comforts::SetPreferences(const Preferences& preferences) {
  const bool volume_changed = preferences.music_volume != preferences_.music_volume;
  const bool translation_changed = preferences.translation != preferences_.translation;
  const bool language_changed = preferences.language != preferences_.language;
  if (!preferences.self_voicing) voice_.Stop();
  preferences_ = preferences;
  if (volume_changed) engine_.services().wave.SetVolume(preferences_.music_volume);
  if (translation_changed) ChooseTranslation();
  if (language_changed) Refresh();
  ApplyTextSpeed();
}

void Comforts::SetSystemLocale(std::string locale) {
  system_locale_ = std::move(locale);
  Refresh();
}

// A translation that cannot be read leaves the story as written: the reader is told why, and the preference
// says "off" again, so that it is not taken for a translation in use.
void Comforts::ChooseTranslation() {
  const Status chosen = engine_.translation().Choose(preferences_.translation, engine_.folder().game());
  if (chosen) return;
  engine_.services().warnings.Warn(chosen.error());
  preferences_.translation = "off";
  ShowNotice(Say("翻訳を読めませんでした。原文で表示します"));
}

void Comforts::Started() { ApplyTextSpeed(); }

// One of the game's three speeds is the game's own setting, written as the settings screen writes it, so that the
// game's file keeps a value it knows; "instant" changes only how the player types.
void Comforts::ApplyTextSpeed() {
  const std::optional<int> speed = preferences_.text_speed;
  engine_.typewriter().SetInstant(speed == 0);
  if (!speed || *speed == 0 || *speed == engine_.state().TextSpeed) return;
  engine_.settings().ChooseTextSpeed(static_cast<std::uint8_t>(*speed));
}

void Comforts::TextSpeedChosen(std::uint8_t speed) {
  if (!preferences_.text_speed || *preferences_.text_speed == speed) return;
  preferences_.text_speed = speed;
  ApplyTextSpeed();
  if (PreferencesChanged) PreferencesChanged(preferences_);
}

Status Comforts::SetPreference(std::string_view name, std::string_view value) {
  Preferences changed = preferences_;
  if (Status set = changed.Set(name, value); !set) return set;
  SetPreferences(changed);
  return Done{};
}

// The bookmark entry of the load menu under the pointer, or else under the keyboard's mark.
std::optional<int> Comforts::PointedSlot() {
  const Screen screen = CurrentScreen(engine_);
  const Widget* pointed = navigation_.hover(screen) ? navigation_.hover(screen) : navigation_.focus(screen);
  const auto& entries = engine_.form().lblMLT;
  for (int slot = 1; slot <= Bookmarks::kSlots; ++slot) {
    if (pointed == entries[slot - 1]) return slot;
  }
  return std::nullopt;
}

std::optional<std::string> Comforts::FocusName() {
  const Widget* focused = navigation_.focus(CurrentScreen(engine_));
  return focused ? std::optional<std::string>(focused->name()) : std::nullopt;
}

void Comforts::Refresh() {
  Overlay overlay;
  overlay.backlog_open = backlog_open_;
  if (backlog_open_) {
    overlay.backlog_title = Say("履歴");
    overlay.backlog_hint = Say("ホイール・↑↓・PageUp/Down で読み返す　Esc・右クリックで戻る");
    overlay.backlog_lines = backlog_.VisibleLines();
    overlay.backlog_position = backlog_.Position();
  }
  overlay.notice = notice_;
  if (auto_) overlay.indicator = "AUTO";
  if (skip_) overlay.indicator = "SKIP";
  overlay.focus = FocusName();
  const Widget* hovered = navigation_.hover(CurrentScreen(engine_));
  if (hovered) overlay.hover = hovered->name();
  overlay.text_hidden = text_hidden_;
  if (help_.open()) overlay.help = KeyHelp::Rows();
  if (CurrentScreen(engine_) == Screen::Load) {
    overlay.undo_slots = undo_.Slots();
    if (const auto slot = PointedSlot()) overlay.preview = PreviewOfSlot(engine_, *slot);
  }
  engine_.form().SetOverlay(std::move(overlay));
}

}  // namespace shiori
