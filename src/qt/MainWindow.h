#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <QTimer>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "comforts/Preferences.h"
#include "engine/Engine.h"
#include "host/Host.h"
#include "qt/QtSpeaker.h"

class QAction;

namespace shiori {

class PreferencesDialog;
class QtQuestioner;
class StagePlayer;
class StageWidget;

// The product's window title and icon.
[[nodiscard]] QString WindowCaption();
[[nodiscard]] QIcon WindowIcon();

// The player's window: the menu bar the core's host describes, the stage, and the one timer that wakes the host at
// its next wake-up. It holds no story state and decides nothing the page would decide too: Qt's events go to the
// host (src/core/host), the window does what the host hands back (full screen, a screenshot, the clipboard, the
// preferences) and shows whatever changed, and nothing else runs in between.
class MainWindow : public QMainWindow {
 public:
  MainWindow(Engine& engine, StagePlayer& player, QtQuestioner& questions);
  ~MainWindow() override;

  // Raises the window's load, the story translated by `translation` when one is given (it becomes the reader's
  // preference, as if chosen on the preferences screen); the failure is the engine's, naming the folder and the
  // file.
  [[nodiscard]] Status Start(const std::optional<std::filesystem::path>& translation = std::nullopt);
  // Opens centred at the largest whole multiple of the stage that fits the screen comfortably, or full screen.
  void ShowAtBestSize(bool full_screen);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void changeEvent(QEvent* event) override;
  // Tab is the story's skip key, not a move between widgets (the stage is the only one).
  bool focusNextPrevChild(bool) override { return false; }

 private:
  // The menu bar: built from the host's entries, then only set again when they changed.
  void BuildMenuBar(const std::vector<MenuEntry>& bar);
  void AddEntry(const MenuEntry& entry, QWidget& into);
  void ShowMenus(const std::vector<MenuEntry>& bar);
  void SyncMenus();

  // Shows what the last input or wake-up changed and sets the timer to the next wake-up.
  void Settle();
  void Arm();
  [[nodiscard]] Micros Now() const;
  void Act(ShellAction action);

  void OpenPreferences();
  void LoadPreferences();
  // Writes the preferences when the core changed them (V turns self-voicing on or off).
  void KeepPreferences();
  // Hands the story's text on: to the stage's accessibility for screen readers, and to the clipboard when asked.
  void OfferText();
  void CopyPageText();
  void SaveScreenshot();
  // True when the saves do not lie in the game folder (a read-only game, the bundled demo, --save-dir).
  [[nodiscard]] bool SavesKeptApart() const;
  // A short note in the window's title, which goes back to the plain title after `ms`.
  void ShowNote(const QString& note, int ms);
  void ToggleFullScreen();

  Engine& engine_;
  Form& form_;
  Host host_;
  StagePlayer& player_;
  StageWidget* stage_;
  std::vector<QAction*> actions_;  // the menu bar's entries, in the order MenuBar() lists them, items after menus
  std::uint64_t shown_menus_ = 0;
  QElapsedTimer clock_;
  bool first_frame_shown_ = false;
  QTimer wake_;
  std::uint64_t shown_changes_ = 0;
  QTimer title_reset_;
  QtSpeaker speaker_;
  PreferencesDialog* open_preferences_ = nullptr;  // told of voices found while it is open
  Preferences kept_preferences_;
};

}  // namespace shiori
