// The window's side of the reader comforts: a menu for them, the preferences screen and its file.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <iostream>

#include "comforts/Comforts.h"
#include "qt/MainWindow.h"
#include "qt/PreferencesDialog.h"

namespace shiori {

void MainWindow::BuildComfortsMenu() {
  QMenu* menu = menuBar()->addMenu(QStringLiteral("読書(&R)"));
  menu->setObjectName(QStringLiteral("comforts"));
  Comforts& comforts = engine_.comforts();
  // The text after the tab is the key, shown at the right edge of the menu.
  connect(menu->addAction(QStringLiteral("テキスト履歴(&H)\tPageUp")), &QAction::triggered, this,
          [this, &comforts] { RunInput([&] { comforts.OpenBacklog(); }); });
  auto_action_ = menu->addAction(QStringLiteral("オートモード(&A)\tA"));
  auto_action_->setCheckable(true);
  connect(auto_action_, &QAction::triggered, this, [this, &comforts](bool on) {
    RunInput([&] { comforts.SetAuto(on); });
    SyncComfortsMenu();  // it may not have started: not on the story
  });
  skip_action_ = menu->addAction(QStringLiteral("既読スキップ(&S)\tTab / Ctrl"));
  skip_action_->setCheckable(true);
  connect(skip_action_, &QAction::triggered, this, [this, &comforts](bool on) {
    RunInput([&] { comforts.SetSkipRead(on); });
    SyncComfortsMenu();
  });
  connect(menu->addAction(QStringLiteral("文字を隠す(&T)\tH")), &QAction::triggered, this,
          [this, &comforts] { RunInput([&] { comforts.HideText(); }); });
  menu->addSeparator();
  connect(menu->addAction(QStringLiteral("設定(&P)...")), &QAction::triggered, this, [this] { OpenPreferences(); });
}

void MainWindow::SyncComfortsMenu() {
  if (auto_action_ == nullptr) return;
  auto_action_->setChecked(engine_.comforts().auto_on());
  skip_action_->setChecked(engine_.comforts().skip_on());
}

void MainWindow::LoadPreferences() {
  std::vector<std::string> problems;
  const Preferences preferences = Preferences::Load(PreferencesFile(), problems);
  for (const std::string& problem : problems) engine_.services().warnings.Warn(problem + "; the default is kept");
  engine_.comforts().SetPreferences(preferences);
}

// The story stands still while the screen is open, as it does while a question waits.
void MainWindow::OpenPreferences() {
  PauseClock(true);
  PreferencesDialog dialog(
      engine_.comforts().preferences(), PreferencesFile(),
      [this](const Preferences& changed) { engine_.comforts().SetPreferences(changed); }, this);
  dialog.exec();
  PauseClock(false);
  Settle();
}

}  // namespace shiori
