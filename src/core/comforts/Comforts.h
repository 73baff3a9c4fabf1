#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "comforts/Backlog.h"
#include "comforts/Preferences.h"
#include "comforts/Screens.h"
#include "comforts/Voice.h"
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
  void Hover(std::optional<std::pair<int, int>> at);

  void SetAuto(bool on);
  void SetSkipRead(bool on);
  void OpenBacklog();
  void CloseBacklog();
  void HideText();
  // Self-voicing on or off, said in a notice.
  void ToggleVoice();
  // A short message on the stage, taken away again after a few seconds.
  void ShowNotice(std::string text);
  // The quick-save items: save, then say whether it worked.
  void QuickSave(int slot);

  [[nodiscard]] const Preferences& preferences() const { return preferences_; }
  void SetPreferences(const Preferences& preferences);
  [[nodiscard]] Status SetPreference(std::string_view name, std::string_view value);

  [[nodiscard]] Voice& voice() { return voice_; }
  [[nodiscard]] const Backlog& backlog() const { return backlog_; }
  [[nodiscard]] bool backlog_open() const { return backlog_open_; }
  [[nodiscard]] bool text_hidden() const { return text_hidden_; }
  [[nodiscard]] bool auto_on() const { return auto_; }
  [[nodiscard]] bool skip_on() const { return skip_; }
  [[nodiscard]] const std::optional<std::string>& notice() const { return notice_; }
  [[nodiscard]] std::optional<std::string> FocusName();

  // From the story: a typing run began or stopped; choices appeared; a click read on; the arrow timer ticked; the
  // reader took a choice.
  void TypingStarted(const std::vector<std::string>& lines);
  void TypingStopped(std::int16_t page, bool began_page);
  void ChoicesShown();
  void ReadingOn();
  void ArrowTicked();
  void ChoiceTaken(int page, std::string_view text);

  static constexpr Micros kNoticeTime = Milliseconds(3000);
  static constexpr Micros kSkipStep = Milliseconds(60);
  static constexpr int kAutoMsPerCharacter = 60;

 private:
  void ShowText();
  [[nodiscard]] bool CanReadOn();
  void StopReadingOn();
  void ScheduleReadOn(Micros delay);
  void ReadOn();
  [[nodiscard]] bool ClickStory();
  [[nodiscard]] bool PressOnGalleryPicture(int x, int y);
  void BacklogKey(std::string_view key);
  void NavigationKey(Screen screen, std::string_view key);
  void Refresh();

  Engine& engine_;
  Preferences preferences_;
  Backlog backlog_;
  KeyboardNavigation navigation_;
  Voice voice_;
  bool backlog_open_ = false;
  bool text_hidden_ = false;
  bool auto_ = false;
  bool auto_due_ = false;  // the auto delay after the last stop has passed
  bool skip_ = false;
  bool shown_page_read_ = false;  // skip: the page on screen was read before it was shown
  bool early_click_ = false;      // a click kept until the click gate opens
  int shown_characters_ = 0;      // on the page, at the last stop
  std::optional<std::string> notice_;
  std::optional<Scheduler::TaskId> notice_task_;
  std::optional<Scheduler::TaskId> read_on_task_;
};

}  // namespace shiori
