#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "comforts/KeyHelp.h"
#include "comforts/Voice.h"
#include "translation/PlayerWords.h"
#include "window/Scheduler.h"

namespace shiori {

class Engine;
class MenuItem;

// The keys held with a key, as every toolkit reports them.
struct Modifiers {
  bool ctrl = false;
  bool alt = false;
  bool shift = false;
};

// What a key asks of the shell itself, beyond what the core did with it.
enum class ShellAction {
  None,              // the core took the key, or nothing uses it: the shell does nothing more
  Unused,            // nothing uses it: the shell may give it to its own controls
  ToggleFullScreen,  // F11, Alt+Enter
  Screenshot,        // F12
  CopyPageText,      // Ctrl+C: the shell puts PageText() on its clipboard
  OpenPreferences,   // 読書 → 設定: the shell shows its preferences screen
};

// Which shell shows the menu bar: a browser keeps some keys for itself (Ctrl+W closes the tab), so the page's
// menu gives those items other keys.
enum class ShellKind { Desktop, Page };

// One entry of the menu bar as a shell shows it: the game's own menus, then the reader's 読書 menu. A separator
// has an empty name.
// A key as the core names it ("w", "f1", "enter"), with Ctrl and Alt as held: how a shell recognises a menu's key
// without naming keys of its own.
struct KeyChord {
  std::string key;
  bool ctrl = false;
  bool alt = false;
  bool operator==(const KeyChord&) const = default;
};

struct MenuEntry {
  std::string name;
  std::string caption;  // with its mnemonic: "音楽演奏(&M)"
  bool enabled = true;
  bool checkable = false;
  bool checked = false;
  std::string shortcut;  // "Ctrl+W": the core takes the key itself when the shell hands it to KeyDown
  std::vector<MenuEntry> items;
  std::optional<KeyChord> accelerator;  // the shortcut as a chord, for the game's items that have one
  std::optional<KeyChord> mnemonic;     // Alt and the caption's marked letter, for the menus of the bar
  bool operator==(const MenuEntry&) const = default;
};

// What every shell does around the engine, done once: the story's clock, which starts with the first frame and
// stands still while a question waits; input at a time and the next wake-up; what each key does, Ctrl held for
// skipping included; the menu bar with the reader's menu; the page's text for copying; whether a story is in
// progress. A shell turns its toolkit's events into these calls, sets one timer to NextWakeUp(), and draws.
// Times are the shell's own monotonic clock, in microseconds.
class Host {
 public:
  Host(Engine& engine, ShellKind shell);
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;
  ~Host();

  // The clock.
  void FirstFrameShown(Micros now);
  void PauseClock(bool paused, Micros now);
  // When the shell should call Wake() next, on its own clock; none while nothing is due (or the clock waits).
  [[nodiscard]] std::optional<Micros> NextWakeUp() const;
  void Wake(Micros now);

  // Input. A key is named as the browser (KeyboardEvent.key) or Qt (QKeySequence's portable text) names it:
  // "Enter", "Return", "ArrowUp", "Up", "PageUp", "PgUp", " ", "Space", "a", "F11", "Control" ...
  void Press(Micros now, int x, int y, int button);
  void Hover(Micros now, std::optional<std::pair<int, int>> at);
  void Wheel(Micros now, int notches);
  // A finger's tap: the left button's press, except on the open history, which it closes (a touch screen has no
  // right button to close it with).
  void Tap(Micros now, int x, int y);
  [[nodiscard]] ShellAction KeyDown(Micros now, std::string_view key, Modifiers modifiers, bool repeat = false);
  void KeyUp(Micros now, std::string_view key);
  // The shell lost the keyboard (its window went to the back): a held Ctrl is let go.
  void KeysLost(Micros now);
  // A menu bar entry by its name: the game's items ("menuBGM") and the reader's ("reading.auto").
  [[nodiscard]] ShellAction Choose(Micros now, std::string_view name);
  // A short message on the stage (a screenshot saved, a file refused).
  void Notice(Micros now, std::string text);
  // What the shell found among its voices: whether self-voicing can read Japanese.
  void VoicesFound(Micros now, VoiceSupport support);
  // The window's close box: asks first while a story is in progress.
  void CloseBox(Micros now);

  // What the shell shows besides the stage.
  [[nodiscard]] std::vector<MenuEntry> MenuBar() const;
  // The keys a reader can use beyond the menus' shortcuts, and what each does, for a shell's help screen.
  [[nodiscard]] static const std::vector<KeyHelp::Row>& KeysHelp() { return KeyHelp::Rows(); }
  // Moves whenever MenuBar() changed since it was last asked; most changes of the model (every typed character)
  // leave it still, and the shell need not touch its menus.
  [[nodiscard]] std::uint64_t menu_changes();
  // The message lines on screen, for the clipboard: trailing blanks trimmed, empty lines around dropped.
  [[nodiscard]] std::string PageText() const;
  // The story's text offered since the last call, in order: a shell mirrors each for screen readers, and puts
  // those marked `copy` on its clipboard. A shell asks after every call; a long wake-up (a page left in the
  // background under auto mode) keeps only the newest kTextOutKept.
  [[nodiscard]] std::vector<TextOut> TakeTextOut();
  static constexpr std::size_t kTextOutKept = 64;
  // A story is on the stage or under its in-game menu (not the title, load menu, settings or gallery).
  [[nodiscard]] bool StoryInProgress() const;

  [[nodiscard]] Engine& engine() { return engine_; }

 private:
  [[nodiscard]] bool ClockRunning() const;
  [[nodiscard]] Micros CoreTime(Micros now) const;
  template <class Input>
  void Deliver(Micros now, Input&& input);
  [[nodiscard]] ShellAction ShortcutKey(std::string_view key, Modifiers modifiers);
  void StartCtrlHold();
  void StopCtrlHold();
  void ChooseReading(std::string_view command);
  [[nodiscard]] std::string ShortcutShown(const MenuItem& item) const;

  Engine& engine_;
  ShellKind shell_;
  std::optional<Micros> clock_origin_;
  std::optional<Micros> paused_since_;
  Micros paused_total_ = 0;
  std::optional<Scheduler::TaskId> ctrl_hold_;
  bool ctrl_skipping_ = false;  // skipping because Ctrl is held, not because the reader turned it on
  // How the menu bar looked when menu_changes() was last asked: each game item, and the reading modes.
  struct ItemLook {
    std::string caption;
    bool enabled = false;
    bool checked = false;
  };
  std::vector<ItemLook> shown_items_;
  // What the reading menu's checks and enabled entries were drawn from.
  struct ReadingLook {
    bool auto_on = false;
    bool skip_on = false;
    bool self_voicing = false;
    bool can_go_back = false;
    std::vector<int> undo_slots;
    Language language = Language::Japanese;  // the captions of the reading menu
    bool operator==(const ReadingLook&) const = default;
  };
  [[nodiscard]] ReadingLook ReadingNow() const;
  ReadingLook shown_reading_;
  std::uint64_t menu_changes_ = 0;
  std::deque<TextOut> text_out_;
};

// The chord a shortcut as menus write it ("Ctrl+W", "Alt+W") stands for; none for text that names no chord.
[[nodiscard]] std::optional<KeyChord> ChordOf(std::string_view shortcut);

// The core's name for a key the toolkit names `key` ("ArrowUp" and "Up" are "up", "Return" is "enter", a letter
// is itself in lower case); empty for a key the core does not know.
[[nodiscard]] std::string CoreKeyName(std::string_view key);

}  // namespace shiori
