#include "host/Host.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <optional>
#include <utility>

#include "comforts/Comforts.h"
#include "comforts/Voice.h"
#include "engine/Engine.h"
#include "menus/TitleAndQuit.h"

namespace shiori {
namespace {

// Ctrl held this long alone skips read text; a shortcut's key comes sooner.
constexpr Micros kCtrlHold = Milliseconds(250);

// Toolkits' names for keys (the browser's KeyboardEvent.key, Qt's portable key text) and the core's.
constexpr std::array<std::pair<std::string_view, std::string_view>, 26> kKeyNames = {{
    {"enter", "enter"},       {"return", "enter"},        {" ", "space"},        {"space", "space"},
    {"escape", "escape"},     {"esc", "escape"},          {"pageup", "pageup"},  {"pgup", "pageup"},
    {"pagedown", "pagedown"}, {"pgdown", "pagedown"},     {"arrowup", "up"},     {"up", "up"},
    {"arrowdown", "down"},    {"down", "down"},           {"arrowleft", "left"}, {"left", "left"},
    {"arrowright", "right"},  {"right", "right"},         {"tab", "tab"},        {"delete", "delete"},
    {"del", "delete"},        {"backspace", "backspace"}, {"control", "ctrl"},   {"ctrl", "ctrl"},
    {"alt", "alt"},           {"shift", "shift"},
}};

std::string Lower(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::tolower(c); });
  return out;
}

// The reader's own menu, after the game's: what the comforts offer, with the keys that do the same.
struct ReadingEntry {
  std::string_view command;
  std::string_view caption;
  std::string_view keys;
};
constexpr std::array<ReadingEntry, 13> kReadingMenu = {{
    {"history", "テキスト履歴(&H)", "PageUp"},
    {"back", "前のページに戻る(&B)", "Backspace"},
    {"auto", "オートモード(&A)", "A"},
    {"skip", "既読スキップ(&S)", "Tab / Ctrl"},
    {"hide", "文字を隠す(&T)", "H"},
    {"voice", "読み上げ(&V)", "V"},
    {"", "", ""},  // a separator
    {"undo1", "しおり１を上書き前に戻す(&1)", ""},
    {"undo2", "しおり２を上書き前に戻す(&2)", ""},
    {"undo3", "しおり３を上書き前に戻す(&3)", ""},
    {"", "", ""},
    {"keys", "キー操作(&K)", "F1"},
    {"preferences", "設定(&P)...", ""},
}};
constexpr std::string_view kReadingPrefix = "reading.";
constexpr std::string_view kUndoPrefix = "undo";

// The slot an "undo" entry takes back, if the command is one.
std::optional<int> UndoSlot(std::string_view command) {
  if (!command.starts_with(kUndoPrefix) || command.size() != kUndoPrefix.size() + 1) return std::nullopt;
  return command.back() - '0';
}

bool ReadingEntryEnabled(std::string_view command, const Comforts& comforts) {
  if (command == "back") return comforts.can_go_back();
  if (const auto slot = UndoSlot(command)) return comforts.bookmark_undo().CanTakeBack(*slot);
  return true;
}

// The check mark of a reading entry that has one.
std::optional<bool> ReadingCheck(std::string_view command, const Comforts& comforts) {
  if (command == "auto") return comforts.auto_on();
  if (command == "skip") return comforts.skip_on();
  if (command == "voice") return comforts.preferences().self_voicing;
  return std::nullopt;
}

// The menu items whose check mark the story uses.
bool IsCheckable(const MenuItem& item) { return item.name() == "menuBGM"; }

}  // namespace

std::string CoreKeyName(std::string_view key) {
  const std::string lower = Lower(key);
  for (const auto& [toolkit, core] : kKeyNames) {
    if (lower == toolkit) return std::string(core);
  }
  const bool letter_or_digit = lower.size() == 1 && std::isalnum(static_cast<unsigned char>(lower[0]));
  const bool function_key = lower.size() >= 2 && lower.size() <= 3 && lower[0] == 'f' &&
                            std::all_of(lower.begin() + 1, lower.end(), [](char c) { return std::isdigit(c); });
  return letter_or_digit || function_key ? lower : std::string();
}

Host::Host(Engine& engine, ShellKind shell) : engine_(engine), shell_(shell) {
  engine_.comforts().voice().Offered = [this](const TextOut& out) {
    text_out_.push_back(out);
    if (text_out_.size() > kTextOutKept) text_out_.pop_front();
  };
}

Host::~Host() { engine_.comforts().voice().Offered = nullptr; }

// --- the clock ---

bool Host::ClockRunning() const { return clock_origin_.has_value() && !paused_since_; }

Micros Host::CoreTime(Micros now) const { return now - *clock_origin_ - paused_total_; }

void Host::FirstFrameShown(Micros now) {
  if (clock_origin_) return;
  clock_origin_ = now;
  Wake(now);
}

void Host::PauseClock(bool paused, Micros now) {
  if (paused && !paused_since_) {
    paused_since_ = now;
  } else if (!paused && paused_since_) {
    paused_total_ += now - *paused_since_;
    paused_since_.reset();
  }
}

std::optional<Micros> Host::NextWakeUp() const {
  if (!ClockRunning() || engine_.ended()) return std::nullopt;
  const std::optional<Micros> deadline = engine_.scheduler().NextDeadline();
  if (!deadline) return std::nullopt;
  return *deadline + *clock_origin_ + paused_total_;
}

template <class Input>
void Host::Deliver(Micros now, Input&& input) {
  if (engine_.ended()) return;
  // What was due runs before the input, and what the input schedules counts from now.
  if (ClockRunning()) engine_.scheduler().AdvanceTo(CoreTime(now));
  input();
  if (ClockRunning() && !engine_.ended()) engine_.scheduler().AdvanceTo(CoreTime(now));
}

void Host::Wake(Micros now) {
  Deliver(now, [] {});
}

// --- input ---

void Host::Press(Micros now, int x, int y, int button) {
  Deliver(now, [&] { engine_.form().PressAt(x, y, button); });
}

void Host::Hover(Micros now, std::optional<std::pair<int, int>> at) {
  Deliver(now, [&] { engine_.comforts().Hover(at); });
}

void Host::Wheel(Micros now, int notches) {
  Deliver(now, [&] { engine_.comforts().Wheel(notches); });
}

void Host::Tap(Micros now, int x, int y) {
  Deliver(now, [&] {
    Comforts& comforts = engine_.comforts();
    if (comforts.backlog_open()) {
      comforts.CloseBacklog();
    } else {
      engine_.form().PressAt(x, y, kLeftButton);
    }
  });
}

ShellAction Host::KeyDown(Micros now, std::string_view key, Modifiers modifiers, bool repeat) {
  const std::string name = CoreKeyName(key);
  if (name == "ctrl") {
    if (!repeat) Deliver(now, [&] { StartCtrlHold(); });
    return ShellAction::None;
  }
  if (name == "alt" || name == "shift") return ShellAction::Unused;
  // Ctrl was held for this key, not for skipping.
  if (ctrl_skipping_) Deliver(now, [&] { engine_.comforts().CtrlJoinedByKey(); });
  StopCtrlHold();
  if (name == "f11" || (modifiers.alt && name == "enter")) return ShellAction::ToggleFullScreen;
  if (name == "f12") return ShellAction::Screenshot;
  if (modifiers.ctrl && name == "c") return ShellAction::CopyPageText;
  if (modifiers.ctrl || modifiers.alt) {
    ShellAction action = ShellAction::Unused;
    Deliver(now, [&] { action = ShortcutKey(name, modifiers); });
    return action;
  }
  if (name.empty()) return ShellAction::Unused;
  bool used = false;
  Deliver(now, [&] { used = engine_.comforts().Key(name); });
  return used ? ShellAction::None : ShellAction::Unused;
}

ShellAction Host::ShortcutKey(std::string_view key, Modifiers modifiers) {
  if (key.empty()) return ShellAction::Unused;
  const KeyChord pressed{std::string(key), modifiers.ctrl, modifiers.alt};
  for (MenuItem* item : engine_.form().MenuItems()) {
    if (ChordOf(ShortcutShown(*item)) == pressed) {
      engine_.form().Choose(*item);
      return ShellAction::None;
    }
  }
  return ShellAction::Unused;
}

void Host::KeyUp(Micros now, std::string_view key) {
  if (CoreKeyName(key) == "ctrl") KeysLost(now);
}

void Host::KeysLost(Micros now) {
  const bool skipping_for_ctrl = ctrl_skipping_;
  StopCtrlHold();
  if (skipping_for_ctrl) Deliver(now, [&] { engine_.comforts().HoldCtrl(false); });
}

void Host::StartCtrlHold() {
  StopCtrlHold();
  ctrl_hold_ = engine_.scheduler().Schedule(kCtrlHold, [this] {
    ctrl_hold_.reset();
    ctrl_skipping_ = true;
    engine_.comforts().HoldCtrl(true);
  });
}

void Host::StopCtrlHold() {
  if (ctrl_hold_) engine_.scheduler().Cancel(*ctrl_hold_);
  ctrl_hold_.reset();
  ctrl_skipping_ = false;
}

ShellAction Host::Choose(Micros now, std::string_view name) {
  if (name.starts_with(kReadingPrefix)) {
    const std::string_view command = name.substr(kReadingPrefix.size());
    if (command == "preferences") return ShellAction::OpenPreferences;
    Deliver(now, [&] { ChooseReading(command); });
    return ShellAction::None;
  }
  if (MenuItem* item = engine_.form().FindMenuItem(name)) Deliver(now, [&] { engine_.form().Choose(*item); });
  return ShellAction::None;
}

void Host::ChooseReading(std::string_view command) {
  Comforts& comforts = engine_.comforts();
  if (command == "history") comforts.OpenBacklog();
  if (command == "hide") comforts.HideText();
  if (command == "auto") comforts.SetAuto(!comforts.auto_on());
  if (command == "skip") comforts.SetSkipRead(!comforts.skip_on());
  if (command == "back") comforts.GoBack();
  if (command == "keys") comforts.ToggleHelp();
  if (const auto slot = UndoSlot(command)) comforts.TakeBackBookmark(*slot);
  if (command == "voice") comforts.ToggleVoice();
}

void Host::Notice(Micros now, std::string text) {
  Deliver(now, [&] { engine_.comforts().ShowNotice(std::move(text)); });
}

void Host::VoicesFound(Micros now, VoiceSupport support) {
  Deliver(now, [&] { engine_.comforts().voice().SetSupport(support); });
}

void Host::CloseBox(Micros now) {
  Deliver(now, [&] { engine_.CloseBox(); });
}

// --- what the shell shows ---

std::optional<KeyChord> ChordOf(std::string_view shortcut) {
  KeyChord chord;
  for (std::size_t plus; (plus = shortcut.find('+')) != std::string_view::npos && plus + 1 < shortcut.size();
       shortcut.remove_prefix(plus + 1)) {
    const std::string held = CoreKeyName(shortcut.substr(0, plus));
    if (held != "ctrl" && held != "alt") return std::nullopt;
    (held == "ctrl" ? chord.ctrl : chord.alt) = true;
  }
  chord.key = CoreKeyName(shortcut);
  if (chord.key.empty() || !(chord.ctrl || chord.alt)) return std::nullopt;
  return chord;
}

namespace {

// Alt and the letter a caption marks with "&" ("環境設定(&C)"): how the bar's menus open from the keyboard.
std::optional<KeyChord> MnemonicOf(std::string_view caption) {
  const std::size_t at = caption.find('&');
  if (at == std::string_view::npos || at + 1 >= caption.size()) return std::nullopt;
  std::string key = CoreKeyName(caption.substr(at + 1, 1));
  if (key.empty()) return std::nullopt;
  return KeyChord{std::move(key), false, true};
}

}  // namespace

std::string Host::ShortcutShown(const MenuItem& item) const {
  // Ctrl+W closes a browser's tab before the page hears it.
  if (shell_ == ShellKind::Page && Lower(item.shortcut()) == "ctrl+w") return "Alt+W";
  return item.shortcut();
}

std::vector<MenuEntry> Host::MenuBar() const {
  std::vector<MenuEntry> bar;
  for (const MenuItem* item : engine_.form().MenuItems()) {
    MenuEntry entry{
        item->name(), item->caption(), item->enabled(), IsCheckable(*item), item->checked(), ShortcutShown(*item), {}};
    entry.accelerator = ChordOf(entry.shortcut);
    if (item->parent() == nullptr) {
      bar.push_back(std::move(entry));
      continue;
    }
    const auto parent =
        std::find_if(bar.begin(), bar.end(), [&](const MenuEntry& e) { return e.name == item->parent()->name(); });
    if (parent != bar.end()) parent->items.push_back(std::move(entry));
  }
  const Comforts& comforts = engine_.comforts();
  MenuEntry reading{"reading", comforts.Say("読書(&R)"), true, false, false, "", {}};
  for (const ReadingEntry& r : kReadingMenu) {
    const std::optional<bool> check = ReadingCheck(r.command, comforts);
    const std::string name = r.command.empty() ? "" : std::string(kReadingPrefix) + std::string(r.command);
    const bool enabled = ReadingEntryEnabled(r.command, comforts);
    reading.items.push_back(
        {name, comforts.Say(r.caption), enabled, check.has_value(), check.value_or(false), std::string(r.keys), {}});
  }
  bar.push_back(std::move(reading));
  for (MenuEntry& top : bar) top.mnemonic = MnemonicOf(top.caption);
  return bar;
}

Host::ReadingLook Host::ReadingNow() const {
  const Comforts& comforts = engine_.comforts();
  return {comforts.auto_on(),
          comforts.skip_on(),
          comforts.preferences().self_voicing,
          comforts.can_go_back(),
          comforts.bookmark_undo().Slots(),
          comforts.language()};
}

std::uint64_t Host::menu_changes() {
  // Asked after every change of the model, every typed character among them: the look of each item is compared
  // where it stands, without building the menu bar.
  const std::vector<MenuItem*> items = engine_.form().MenuItems();
  bool same = shown_items_.size() == items.size() && shown_reading_ == ReadingNow();
  for (std::size_t i = 0; same && i < items.size(); ++i) {
    const ItemLook& shown = shown_items_[i];
    same = shown.enabled == items[i]->enabled() && shown.checked == items[i]->checked() &&
           shown.caption == items[i]->caption();
  }
  if (!same) {
    shown_items_.clear();
    for (const MenuItem* item : items) shown_items_.push_back({item->caption(), item->enabled(), item->checked()});
    shown_reading_ = ReadingNow();
    ++menu_changes_;
  }
  return menu_changes_;
}

std::string Host::PageText() const {
  std::vector<std::string> lines;
  for (const Widget* line : engine_.form().lbl1) lines.push_back(line->caption());
  return MessageText(lines);
}

std::vector<TextOut> Host::TakeTextOut() {
  std::vector<TextOut> taken(text_out_.begin(), text_out_.end());
  text_out_.clear();
  return taken;
}

bool Host::StoryInProgress() const { return !engine_.ended() && engine_.title().StoryInProgress(); }

}  // namespace shiori
