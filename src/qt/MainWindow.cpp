#include "qt/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStandardPaths>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <iostream>

#include "qt/FullScreenMenuBar.h"
#include <map>

#include "comforts/Comforts.h"
#include "qt/QtServices.h"
#include "qt/ReaderLanguage.h"
#include "qt/Screenshot.h"
#include "qt/StageGeometry.h"
#include "qt/StagePainter.h"
#include "qt/StageWidget.h"

namespace shiori {
namespace {

constexpr int kCtrlHoldMs = 250;

// The name the core knows a plain key by, or none for keys it does not use.
std::optional<std::string> KeyName(const QKeyEvent& event) {
  if ((event.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return std::nullopt;
  static const std::map<int, const char*> kNames = {{Qt::Key_PageUp, "pageup"}, {Qt::Key_PageDown, "pagedown"},
                                                    {Qt::Key_Up, "up"},         {Qt::Key_Down, "down"},
                                                    {Qt::Key_Left, "left"},     {Qt::Key_Right, "right"},
                                                    {Qt::Key_Return, "enter"},  {Qt::Key_Enter, "enter"},
                                                    {Qt::Key_Space, "space"},   {Qt::Key_Escape, "escape"},
                                                    {Qt::Key_Tab, "tab"},       {Qt::Key_Delete, "delete"},
                                                    {Qt::Key_A, "a"},           {Qt::Key_H, "h"},
                                                    {Qt::Key_1, "1"},           {Qt::Key_2, "2"},
                                                    {Qt::Key_3, "3"},           {Qt::Key_4, "4"}};
  const auto found = kNames.find(event.key());
  if (found == kNames.end()) return std::nullopt;
  return found->second;
}

QString FromUtf8(const std::string& text) { return QString::fromStdString(text); }

// The menu items whose check mark the story uses.
bool IsCheckable(const MenuItem& item) { return item.name() == "menuBGM"; }

constexpr int kSaveFolderNoteMs = 15000;

}  // namespace

MainWindow::MainWindow(Engine& engine, StagePainter& painter, QtQuestioner& questions)
    : engine_(engine), form_(engine.form()), scheduler_(engine.scheduler()), painter_(painter), changes_(painter) {
  clock_.start();
  setWindowTitle(WindowCaption());
  setWindowIcon(WindowIcon());
  stage_ = new StageWidget(form_, painter_, this);
  setCentralWidget(stage_);
  stage_->setFocus();
  stage_->Pressed = [this](QPoint at, int button) { Deliver([&] { form_.PressAt(at.x(), at.y(), button); }); };
  stage_->Wheel = [this](int notches) { Deliver([&] { engine_.comforts().Wheel(notches); }); };
  stage_->Hovered = [this](std::optional<QPoint> at) {
    Deliver([&] { engine_.comforts().Hover(at ? std::optional(std::pair{at->x(), at->y()}) : std::nullopt); });
  };
  stage_->Painted = [this] {
    // The scheduler waits for the first frame, so that nothing the title starts (music) delays its drawing. It
    // runs once the frame is out: what it changes is drawn at once, and not from inside this paint.
    if (first_frame_shown_) return;
    first_frame_shown_ = true;
    QTimer::singleShot(0, this, [this] { Settle(); });
  };
  BuildMenuBar();
  BuildComfortsMenu();
  BuildCommands();
  new FullScreenMenuBar(*this);

  wake_.setSingleShot(true);
  wake_.setTimerType(Qt::PreciseTimer);
  connect(&wake_, &QTimer::timeout, this, [this] { Deliver([] {}); });
  ctrl_hold_.setSingleShot(true);
  connect(&ctrl_hold_, &QTimer::timeout, this, [this] { Deliver([this] { engine_.comforts().HoldCtrl(true); }); });

  questions.SetParent(this);
  questions.Asking = [this](bool open) { PauseClock(open); };
}

MainWindow::~MainWindow() = default;

Status MainWindow::Start() {
  LoadPreferences();
  const bool first_start = SavesKeptApart() && !std::filesystem::exists(engine_.folder().SaveFile("conf.rgd"));
  Status started = engine_.Start();
  Settle();
  if (started) {
    // Said whether or not the game folder keeps them: a reader who finds no saves there asks where they went.
    std::error_code error;
    std::cerr << "shiori: saves are kept in " << std::filesystem::absolute(engine_.folder().save(), error).string()
              << (SavesKeptApart() ? "" : " (the game folder)") << std::endl;
    if (first_start) ShowNote(SaveFolderMessage(engine_.folder().save()), kSaveFolderNoteMs);
  }
  return started;
}

bool MainWindow::SavesKeptApart() const {
  std::error_code error;
  return !std::filesystem::equivalent(engine_.folder().game(), engine_.folder().save(), error);
}

void MainWindow::ShowNote(const QString& note, int ms) {
  setWindowTitle(WindowCaption() + QStringLiteral(" - ") + note);
  title_reset_.start(ms);
}

void MainWindow::ShowAtBestSize(bool full_screen) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QRect available = screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
  const int menu_height = menuBar()->sizeHint().height();
  // Room for a title bar and frame that the window manager adds around us.
  const QSize chrome(16, menu_height + 48);
  const int scale = LargestStageScale(available.size(), chrome);
  stage_->SetPreferredScale(scale);
  const QSize size(StagePainter::kWidth * scale, StagePainter::kHeight * scale + menu_height);
  resize(size);
  move(available.center() - QPoint(size.width() / 2, size.height() / 2));
  if (full_screen) {
    showFullScreen();
  } else {
    show();
  }
}

void MainWindow::BuildMenuBar() {
  for (MenuItem* item : form_.MenuItems()) {
    if (item->parent() == nullptr && !item->children().empty()) {
      QMenu* menu = menuBar()->addMenu(FromUtf8(item->caption()));
      menus_.emplace_back(item, menu);
      continue;
    }
    QAction* action = new QAction(FromUtf8(item->caption()), this);
    action->setCheckable(IsCheckable(*item));
    if (!item->shortcut().empty()) {
      action->setShortcut(QKeySequence(FromUtf8(item->shortcut())));
      action->setShortcutContext(Qt::WindowShortcut);
    }
    connect(action, &QAction::triggered, this, [this, item] {
      ctrl_hold_.stop();  // Ctrl was held for this shortcut, not for skipping
      Deliver([&] { form_.Choose(*item); });
      // Qt flips a check mark by itself; the model says what it really is, even when it has not changed.
      shown_menus_.clear();
      SyncMenus();
    });
    if (item->parent() == nullptr) {
      menuBar()->addAction(action);  // a top-level command, like the skip to the next choice
    } else {
      const auto parent =
          std::find_if(menus_.begin(), menus_.end(), [&](auto& m) { return m.first == item->parent(); });
      parent->second->addAction(action);
    }
    actions_.emplace_back(item, action);
  }
  SyncMenus();
}

void MainWindow::SyncMenus() {
  // Most changes of the model (every typed character) leave the menus as they are: then Qt is not asked at all.
  std::vector<MenuLook> look;
  look.reserve(menus_.size() + actions_.size());
  for (const auto& [item, menu] : menus_) look.push_back({item->caption(), item->enabled(), item->checked()});
  for (const auto& [item, action] : actions_) look.push_back({item->caption(), item->enabled(), item->checked()});
  if (look == shown_menus_) return;
  shown_menus_ = std::move(look);
  for (auto& [item, menu] : menus_) {
    menu->setTitle(FromUtf8(item->caption()));
    menu->setEnabled(item->enabled());
  }
  for (auto& [item, action] : actions_) {
    action->setText(FromUtf8(item->caption()));
    action->setEnabled(item->enabled());
    if (action->isCheckable()) action->setChecked(item->checked());
  }
  SyncComfortsMenu();
}

void MainWindow::BuildCommands() {
  const auto command = [this](QList<QKeySequence> keys, auto handler) {
    QAction* action = new QAction(this);
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    connect(action, &QAction::triggered, this, handler);
    addAction(action);
  };
  command({QKeySequence(Qt::Key_F11), QKeySequence(Qt::ALT | Qt::Key_Return), QKeySequence(Qt::ALT | Qt::Key_Enter)},
          [this] { ToggleFullScreen(); });
  command({QKeySequence(Qt::Key_F12)}, [this] { SaveScreenshot(); });
  command({QKeySequence::Copy}, [this] { CopyPageText(); });
}

template <class Input>
void MainWindow::Deliver(Input&& input) {
  if (engine_.ended()) return;
  if (ClockRunning()) scheduler_.AdvanceTo(Now());
  input();
  Settle();
}

void MainWindow::RunInput(const std::function<void()>& input) { Deliver(input); }

void MainWindow::Settle() {
  if (engine_.ended()) {
    wake_.stop();
    return;
  }
  if (ClockRunning()) scheduler_.AdvanceTo(Now());
  if (form_.change_count() != shown_changes_) {
    shown_changes_ = form_.change_count();
    SyncMenus();
    stage_->RepaintStage(changes_.Take(form_));
  }
  Arm();
}

void MainWindow::Arm() {
  const std::optional<Micros> deadline = scheduler_.NextDeadline();
  if (!ClockRunning() || engine_.ended() || !deadline) {
    wake_.stop();
    return;
  }
  const Micros wait = *deadline - Now();
  // Never early: a wake-up before the deadline would find nothing due and only arm again.
  wake_.start(wait <= 0 ? 0 : static_cast<int>((wait + 999) / 1000));
}

Micros MainWindow::Now() const {
  if (paused_since_) return *paused_since_ - paused_total_;
  return clock_.nsecsElapsed() / 1000 - paused_total_;
}

void MainWindow::PauseClock(bool pause) {
  const Micros raw = clock_.nsecsElapsed() / 1000;
  if (pause && !paused_since_) {
    paused_since_ = raw;
    wake_.stop();
  } else if (!pause && paused_since_) {
    paused_total_ += raw - *paused_since_;
    paused_since_.reset();
  }
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
  ctrl_hold_.stop();
  if (event->key() == Qt::Key_Control && !event->isAutoRepeat()) {
    ctrl_hold_.start(kCtrlHoldMs);
    return;
  }
  const std::optional<std::string> name = KeyName(*event);
  if (!name) {
    QMainWindow::keyPressEvent(event);
    return;
  }
  Deliver([&] { static_cast<void>(engine_.comforts().Key(*name)); });
}

void MainWindow::keyReleaseEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Control && !event->isAutoRepeat()) {
    ctrl_hold_.stop();
    if (engine_.comforts().skip_on()) Deliver([this] { engine_.comforts().HoldCtrl(false); });
    return;
  }
  QMainWindow::keyReleaseEvent(event);
}

void MainWindow::CopyPageText() {
  QStringList lines;
  for (const Widget* line : form_.lbl1) {
    QString text = FromUtf8(line->caption());
    while (!text.isEmpty() && text.back().isSpace()) text.chop(1);
    lines << text;
  }
  const QString page = lines.join(QLatin1Char('\n')).trimmed();
  if (!page.isEmpty()) QGuiApplication::clipboard()->setText(page);
}

void MainWindow::SaveScreenshot() {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
  if (folder.isEmpty()) folder = QDir::homePath();
  QDir().mkpath(folder);
  const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
  QString path = QDir(folder).filePath(QStringLiteral("shiori-%1.png").arg(stamp));
  for (int n = 2; QFileInfo::exists(path); ++n) {
    path = QDir(folder).filePath(QStringLiteral("shiori-%1-%2.png").arg(stamp).arg(n));
  }
  // At the window's own resolution, in whole multiples of the stage.
  const int scale =
      std::max(1, static_cast<int>(stage_->StageRect().width() * devicePixelRatioF()) / StagePainter::kWidth);
  const Status saved = SavePng(painter_.Render(form_, scale), path.toStdString());
  if (!saved) std::cerr << "shiori: " << saved.error() << std::endl;
  const std::string notice = (saved.ok() ? ScreenshotSavedMessage(path) : ScreenshotFailedMessage()).toStdString();
  Deliver([&] { engine_.comforts().ShowNotice(notice); });
}

void MainWindow::ToggleFullScreen() {
  if (isFullScreen()) {
    showNormal();
  } else {
    showFullScreen();
  }
}

void MainWindow::closeEvent(QCloseEvent* event) {
  Deliver([this] { engine_.CloseBox(); });
  // A reader who answered that the story should go on keeps the window.
  if (engine_.ended()) {
    event->accept();
  } else {
    event->ignore();
  }
}

}  // namespace shiori
