#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "comforts/Backlog.h"
#include "comforts/BookmarkUndo.h"
#include "comforts/GoingBack.h"
#include "comforts/KeyHelp.h"
#include "comforts/Preferences.h"
#include "comforts/Screens.h"
#include "comforts/Voice.h"
#include "engine/PlayState.h"
#include "translation/PlayerWords.h"
#include "window/Form.h"
#include "window/Scheduler.h"

namespace shiori {

class Engine;

// The reader's comforts beyond the story's own controls: the text history, auto and skip reading, hidden text,
// keys on every screen, short notices, and the preferences that tune them. They sit in front of the window's
// input and beside the story, never inside it: with the preferences at their defaults and no comfort in use,
// every press reaches the story exactly as before. What they show is the window's overlay.
class Comforts {
 public:
  explicit Comforts(Engine& engine);
  Comforts(const Comforts&) = delete;
  Comforts& operator=(const Comforts&) = delete;
  ~Comforts();

  // Input from the shells. `Key` is false for a key name it does not know; `Wheel` takes notches, up negative.
  [[nodiscard]] bool BeforePress(const Form::PressEvent& press);
  [[nodiscard]] bool Key(std::string_view key);
  void Wheel(int notches);
  void HoldCtrl(bool held);
  // A key came while Ctrl was held: it was held for a shortcut after all, so whatever skipping it started is
  // undone, and the shortcut acts on the page that was on screen.
  void CtrlJoinedByKey();
  void Hover(std::optional<std::pair<int, int>> at);

  void SetAuto(bool on);
  void SetSkipRead(bool on);
  void OpenBacklog();
  void CloseBacklog();
  void HideText();
  // Puts back the page before the one on screen (Backspace).
  void GoBack();
  [[nodiscard]] bool can_go_back() const { return going_back_.CanGoBack(); }
  // Shows or takes away the key help (F1).
  void ToggleHelp();
  [[nodiscard]] bool help_open() const { return help_.open(); }
  // Self-voicing on or off, said in a notice.
  void ToggleVoice();
  // A short message on the stage, taken away again after a few seconds.
  void ShowNotice(std::string text);
  // The quick-save items.
  void QuickSave(int slot);
  // Every save says which bookmark it wrote, or why it could not.
  void BookmarkSaved(int slot, const Status& saved);
  // Puts back the bookmark a save replaced in `slot`, and says so.
  void TakeBackBookmark(int slot);
  [[nodiscard]] BookmarkUndo& bookmark_undo() { return undo_; }
  [[nodiscard]] const BookmarkUndo& bookmark_undo() const { return undo_; }
  // The reader's own folder, beside the preferences, where the comforts keep what outlives a run.
  void SetUserFolder(const std::filesystem::path& folder) { undo_.SetFolder(folder); }

  // Told when the core changed a preference itself (a speed chosen on the game's settings screen), so that the
  // shell stores it.
  std::function<void(const Preferences&)> PreferencesChanged;
  // Start-up is done: the game's settings are read, and the reader's preferences apply over them.
  void Started();
  // The game's settings screen set a speed: a speed of the reader's own follows it.
  void TextSpeedChosen(std::uint8_t speed);

  [[nodiscard]] const Preferences& preferences() const { return preferences_; }
  void SetPreferences(const Preferences& preferences);
  [[nodiscard]] Status SetPreference(std::string_view name, std::string_view value);
  // The system's or the browser's language ("en_US.UTF-8", "ja-JP"), which the language preference "auto"
  // follows; none (Japanese, as the player has always spoken) until a shell tells it.
  void SetSystemLocale(std::string locale);
  // The language of the player's own words, and those words in it.
  [[nodiscard]] Language language() const { return ResolveLanguage(preferences_.language, system_locale_); }
  [[nodiscard]] std::string Say(std::string_view japanese) const {
    return std::string(shiori::Say(language(), japanese));
  }

  [[nodiscard]] Voice& voice() { return voice_; }
  [[nodiscard]] const Backlog& backlog() const { return backlog_; }
  [[nodiscard]] bool backlog_open() const { return backlog_open_; }
  [[nodiscard]] bool text_hidden() const { return text_hidden_; }
  [[nodiscard]] bool auto_on() const { return auto_; }
  [[nodiscard]] bool skip_on() const { return skip_; }
  [[nodiscard]] const std::optional<std::string>& notice() const { return notice_; }
  [[nodiscard]] std::optional<std::string> FocusName();
  // Draws the overlay again from the comforts' state and the screen under it.
  void Refresh();

  // From the story: a typing run began or stopped; choices appeared; a click read on; the arrow timer ticked; the
  // reader took a choice.
  void TypingStarted(const std::vector<std::string>& lines);
  void TypingStopped(std::int16_t page, bool began_page);
  void ChoicesShown();
  void ReadingOn();
  void ArrowTicked();
  void ChoiceTaken(int page, std::string_view text);
  void ReportDeadEnd(std::int16_t page);
  // The story was left for the title or the load menu.
  void StoryReset();

  static constexpr Micros kNoticeTime = Milliseconds(3000);
  // How long skip shows each read page, whole, before it reads on.
  static constexpr Micros kSkipDwell = Milliseconds(100);
  static constexpr int kAutoMsPerCharacter = 60;

 private:
  void ShowText();
  [[nodiscard]] bool CanReadOn();
  void StopReadingOn();
  void ApplyTextSpeed();
  void ScheduleReadOn(Micros delay);
  void ReadOn();
  [[nodiscard]] bool SkipEndsHere(const PlayState& s);
  [[nodiscard]] bool ClickStory();
  [[nodiscard]] bool PressOnGalleryPicture(int x, int y);
  [[nodiscard]] bool PressOnUndoButton(int x, int y);
  [[nodiscard]] std::optional<int> PointedSlot();
  void BacklogKey(std::string_view key);
  void PressOnBacklog(const Form::PressEvent& press);
  void ReturnToVisit(GoingBack::Visit visit);
  void NavigationKey(Screen screen, std::string_view key);

  Engine& engine_;
  void ChooseTranslation();

  Preferences preferences_;
  std::string system_locale_;
  Backlog backlog_;
  GoingBack going_back_;
  BookmarkUndo undo_;
  KeyHelp help_;
  KeyboardNavigation navigation_;
  Voice voice_;
  bool backlog_open_ = false;
  bool text_hidden_ = false;
  bool auto_ = false;
  bool auto_due_ = false;  // the auto delay after the last stop has passed
  bool skip_ = false;
  bool shown_page_read_ = false;                // skip: the page on screen was read before it was shown
  bool early_click_ = false;                    // a click kept until the click gate opens
  std::optional<GoingBack::Visit> ctrl_visit_;  // Ctrl held alone: the page on screen when it began to skip
  int shown_characters_ = 0;                    // on the page, at the last stop
  std::optional<std::string> notice_;
  std::optional<Scheduler::TaskId> notice_task_;
  std::optional<Scheduler::TaskId> read_on_task_;
};

}  // namespace shiori
