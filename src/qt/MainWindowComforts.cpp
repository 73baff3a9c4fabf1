// The window's side of the reader comforts: the preferences screen and its file. Their menu is the host's.
#include <iostream>

#include "comforts/Comforts.h"
#include "qt/MainWindow.h"
#include "qt/PreferencesDialog.h"

namespace shiori {

void MainWindow::LoadPreferences() {
  std::vector<std::string> problems;
  const Preferences preferences = Preferences::Load(PreferencesFile(), problems);
  for (const std::string& problem : problems) engine_.services().warnings.Warn(problem + "; the default is kept");
  engine_.comforts().SetPreferences(preferences);
  engine_.comforts().SetUserFolder(PreferencesFile().parent_path());
  kept_preferences_ = preferences;
}

// Whatever changed the preferences (V, a speed chosen on the game's own settings screen), the file keeps them.
void MainWindow::KeepPreferences() {
  const Preferences& now = engine_.comforts().preferences();
  if (now == kept_preferences_) return;
  kept_preferences_ = now;
  if (const Status saved = now.Save(PreferencesFile()); !saved) engine_.services().warnings.Warn(saved.error());
}

// The story stands still while the screen is open, as it does while a question waits.
void MainWindow::OpenPreferences() {
  host_.PauseClock(true, Now());
  wake_.stop();
  speaker_.Prepare();  // so that its voices are known by the time the reader looks for them
  PreferencesDialog dialog(
      engine_.comforts().preferences(), PreferencesFile(),
      [this](const Preferences& changed) {
        engine_.comforts().SetPreferences(changed);
        kept_preferences_ = changed;  // the screen has written them
      },
      this);
  dialog.SetVoices(speaker_.voices());
  open_preferences_ = &dialog;
  dialog.exec();
  open_preferences_ = nullptr;
  host_.PauseClock(false, Now());
  Settle();
}

}  // namespace shiori
