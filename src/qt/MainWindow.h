#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/Engine.h"

class QAction;
class QMenu;

namespace shiori {

class QtQuestioner;
class StagePlayer;
class StageWidget;

// The product's window title and icon.
[[nodiscard]] QString WindowCaption();
[[nodiscard]] QIcon WindowIcon();

// The player's window: a real menu bar built from the model, the stage, and the one timer that wakes the core's
// scheduler at its next deadline. It holds no story state; after every input and every wake-up it brings the
// scheduler's clock up to date and redraws whatever the model changed, and nothing else runs in between.
class MainWindow : public QMainWindow {
 public:
  MainWindow(Engine& engine, StagePlayer& player, QtQuestioner& questions);
  ~MainWindow() override;

  // Raises the window's load; the failure is the engine's, naming the folder and the file.
  [[nodiscard]] Status Start();
  // Opens centred at the largest whole multiple of the stage that fits the screen comfortably, or full screen.
  void ShowAtBestSize(bool full_screen);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  // Tab is the story's skip key, not a move between widgets (the stage is the only one).
  bool focusNextPrevChild(bool) override { return false; }

 private:
  void BuildMenuBar();
  void BuildCommands();
  void SyncMenus();

  // Runs `input` as the window delivers an event: the clock brought to now first, so that what was due runs
  // before it and what it schedules counts from now; then everything that follows from it is shown.
  template <class Input>
  void Deliver(Input&& input);
  void Settle();
  void Arm();
  [[nodiscard]] Micros Now() const;
  // The core's clock runs from the first frame on, and stands still while a question waits for the reader.
  [[nodiscard]] bool ClockRunning() const { return first_frame_shown_ && !paused_since_; }
  void PauseClock(bool pause);

  // The reader comforts' part of the window: their menu, the preferences, Ctrl held for skipping.
  void RunInput(const std::function<void()>& input);
  void BuildComfortsMenu();
  void SyncComfortsMenu();
  void OpenPreferences();
  void LoadPreferences();

  void CopyPageText();
  void SaveScreenshot();
  // True when the saves do not lie in the game folder (a read-only game, the bundled demo, --save-dir).
  [[nodiscard]] bool SavesKeptApart() const;
  // A short note in the window's title, which goes back to the plain title after `ms`.
  void ShowNote(const QString& note, int ms);
  void ToggleFullScreen();

  Engine& engine_;
  Form& form_;
  Scheduler& scheduler_;
  StagePlayer& player_;
  StageWidget* stage_;
  std::vector<std::pair<MenuItem*, QAction*>> actions_;
  std::vector<std::pair<MenuItem*, QMenu*>> menus_;

  QElapsedTimer clock_;
  Micros paused_total_ = 0;
  std::optional<Micros> paused_since_;
  bool first_frame_shown_ = false;
  QTimer wake_;

  struct MenuLook {
    std::string caption;
    bool enabled;
    bool checked;
    bool operator==(const MenuLook&) const = default;
  };
  std::vector<MenuLook> shown_menus_;

  std::uint64_t shown_changes_ = 0;
  QTimer title_reset_;
  QAction* auto_action_ = nullptr;
  QAction* skip_action_ = nullptr;
  // Ctrl held alone for a moment starts skipping; Ctrl with another key is a shortcut.
  QTimer ctrl_hold_;
};

}  // namespace shiori
