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
}

// The story stands still while the screen is open, as it does while a question waits.
void MainWindow::OpenPreferences() {
  host_.PauseClock(true, Now());
  wake_.stop();
  PreferencesDialog dialog(
      engine_.comforts().preferences(), PreferencesFile(),
      [this](const Preferences& changed) { engine_.comforts().SetPreferences(changed); }, this);
  dialog.exec();
  host_.PauseClock(false, Now());
  Settle();
}

}  // namespace shiori
