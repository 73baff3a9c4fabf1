#include "qt/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStandardPaths>
#include <algorithm>
#include <filesystem>
#include <iostream>

#include "comforts/Comforts.h"
#include "qt/FullScreenMenuBar.h"
#include "qt/PreferencesDialog.h"
#include "qt/QtServices.h"
#include "qt/ReaderLanguage.h"
#include "qt/Screenshot.h"
#include "qt/StageGeometry.h"
#include "qt/StagePlayer.h"
#include "qt/StageWidget.h"

namespace shiori {
namespace {

QString FromUtf8(const std::string& text) { return QString::fromStdString(text); }

// A menu entry's text: its caption, and its key at the right edge of the menu. The key is only shown: Qt is not
// told of it, so that the key reaches the host like any other (which also tells Ctrl held for a shortcut from Ctrl
// held for skipping) whether the bar is shown or not.
QString EntryText(const MenuEntry& entry) {
  return FromUtf8(entry.caption) + (entry.shortcut.empty() ? QString() : QLatin1Char('\t') + FromUtf8(entry.shortcut));
}

// Every entry of the bar, menus before their items, in the order the window keeps their actions.
void Flatten(const std::vector<MenuEntry>& entries, std::vector<const MenuEntry*>& flat) {
  for (const MenuEntry& entry : entries) {
    flat.push_back(&entry);
    Flatten(entry.items, flat);
  }
}

// The host's name for a key: Qt's portable text for it ("Return", "PgUp", "F11", "A"), or the text it types.
std::string KeyText(const QKeyEvent& event) {
  const QString portable = QKeySequence(event.key()).toString(QKeySequence::PortableText);
  return (portable.isEmpty() ? event.text() : portable).toStdString();
}

Modifiers ModifiersOf(const QKeyEvent& event) {
  const Qt::KeyboardModifiers held = event.modifiers();
  return {held.testFlag(Qt::ControlModifier), held.testFlag(Qt::AltModifier), held.testFlag(Qt::ShiftModifier)};
}

constexpr int kSaveFolderNoteMs = 15000;

}  // namespace

MainWindow::MainWindow(Engine& engine, StagePlayer& player, QtQuestioner& questions)
    : engine_(engine), form_(engine.form()), host_(engine, ShellKind::Desktop), player_(player) {
  clock_.start();
  setWindowTitle(WindowCaption());
  setWindowIcon(WindowIcon());
  stage_ = new StageWidget(player_, this);
  setCentralWidget(stage_);
  stage_->setFocus();
  stage_->Pressed = [this](QPoint at, int button) {
    host_.Press(Now(), at.x(), at.y(), button);
    Settle();
  };
  stage_->Wheel = [this](int notches) {
    host_.Wheel(Now(), notches);
    Settle();
  };
  stage_->Hovered = [this](std::optional<QPoint> at) {
    host_.Hover(Now(), at ? std::optional(std::pair{at->x(), at->y()}) : std::nullopt);
    Settle();
  };
  stage_->Painted = [this] {
    // The story's clock waits for the first frame, so that nothing the title starts (music) delays its drawing. It
    // starts once the frame is out: what it changes is drawn at once, and not from inside this paint.
    if (first_frame_shown_) return;
    first_frame_shown_ = true;
    QTimer::singleShot(0, this, [this] {
      host_.FirstFrameShown(Now());
      Settle();
    });
  };
  BuildMenuBar(host_.MenuBar());
  new FullScreenMenuBar(*this);

  wake_.setSingleShot(true);
  wake_.setTimerType(Qt::PreciseTimer);
  connect(&wake_, &QTimer::timeout, this, [this] {
    host_.Wake(Now());
    Settle();
  });
  connect(&title_reset_, &QTimer::timeout, this, [this] { setWindowTitle(WindowCaption()); });
  title_reset_.setSingleShot(true);

  engine_.comforts().voice().SetSpeaker(&speaker_);
  speaker_.Found = [this](VoiceSupport support) {
    if (open_preferences_ != nullptr) open_preferences_->SetVoices(speaker_.voices());
    host_.VoicesFound(Now(), support);
    Settle();
  };

  questions.SetParent(this);
  questions.Asking = [this](bool open) {
    host_.PauseClock(open, Now());
    if (open) wake_.stop();
  };
}

MainWindow::~MainWindow() { engine_.comforts().voice().SetSpeaker(nullptr); }

Status MainWindow::Start(const std::optional<std::filesystem::path>& translation) {
  LoadPreferences();
  // A translation that cannot be read leaves the story as written, with a notice and a warning naming the file and
  // the line, as one chosen on the preferences screen does.
  if (translation) {
    if (const Status set = engine_.comforts().SetPreference("translation", translation->string()); !set) {
      engine_.services().warnings.Warn(set.error());
    }
  }
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
  const QSize size(StagePlayer::kWidth * scale, StagePlayer::kHeight * scale + menu_height);
  resize(size);
  move(available.center() - QPoint(size.width() / 2, size.height() / 2));
  if (full_screen) {
    showFullScreen();
  } else {
    show();
  }
}

void MainWindow::BuildMenuBar(const std::vector<MenuEntry>& bar) {
  menuBar()->clear();
  actions_.clear();
  for (const MenuEntry& entry : bar) AddEntry(entry, *menuBar());
  ShowMenus(bar);
}

void MainWindow::AddEntry(const MenuEntry& entry, QWidget& into) {
  if (!entry.items.empty()) {
    auto* menu = new QMenu(&into);
    menu->setObjectName(FromUtf8(entry.name));
    into.addAction(menu->menuAction());
    actions_.push_back(menu->menuAction());
    for (const MenuEntry& item : entry.items) AddEntry(item, *menu);
    return;
  }
  auto* action = new QAction(&into);
  action->setSeparator(entry.name.empty());
  action->setCheckable(entry.checkable);
  connect(action, &QAction::triggered, this, [this, name = entry.name] {
    Act(host_.Choose(Now(), name));
    Settle();
    // Qt flips a check mark by itself; the host says what it really is, even when it has not changed.
    ShowMenus(host_.MenuBar());
  });
  into.addAction(action);
  actions_.push_back(action);
}

void MainWindow::ShowMenus(const std::vector<MenuEntry>& bar) {
  std::vector<const MenuEntry*> flat;
  Flatten(bar, flat);
  if (flat.size() != actions_.size()) {
    BuildMenuBar(bar);
    return;
  }
  for (std::size_t i = 0; i < flat.size(); ++i) {
    actions_[i]->setText(EntryText(*flat[i]));
    actions_[i]->setEnabled(flat[i]->enabled);
    if (flat[i]->checkable) actions_[i]->setChecked(flat[i]->checked);
  }
}

void MainWindow::SyncMenus() {
  // Most changes of the model (every typed character) leave the menus as they are: then Qt is not asked at all.
  const std::uint64_t changes = host_.menu_changes();
  if (changes == shown_menus_) return;
  shown_menus_ = changes;
  ShowMenus(host_.MenuBar());
}

void MainWindow::Settle() {
  OfferText();
  KeepPreferences();
  if (engine_.ended()) {
    wake_.stop();
    return;
  }
  if (form_.change_count() != shown_changes_) {
    shown_changes_ = form_.change_count();
    SyncMenus();
    stage_->ShowStage(form_);
  }
  Arm();
}

void MainWindow::Arm() {
  const std::optional<Micros> wake_up = host_.NextWakeUp();
  if (!wake_up) {
    wake_.stop();
    return;
  }
  const Micros wait = *wake_up - Now();
  // Never early: a wake-up before the deadline would find nothing due and only arm again.
  wake_.start(wait <= 0 ? 0 : static_cast<int>((wait + 999) / 1000));
}

Micros MainWindow::Now() const { return clock_.nsecsElapsed() / 1000; }

void MainWindow::Act(ShellAction action) {
  switch (action) {
    case ShellAction::ToggleFullScreen:
      ToggleFullScreen();
      break;
    case ShellAction::Screenshot:
      SaveScreenshot();
      break;
    case ShellAction::CopyPageText:
      CopyPageText();
      break;
    case ShellAction::OpenPreferences:
      OpenPreferences();
      break;
    case ShellAction::None:
    case ShellAction::Unused:
      break;
  }
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
  const ShellAction action = host_.KeyDown(Now(), KeyText(*event), ModifiersOf(*event), event->isAutoRepeat());
  if (action == ShellAction::Unused) {
    QMainWindow::keyPressEvent(event);
    return;
  }
  Act(action);
  Settle();
}

void MainWindow::keyReleaseEvent(QKeyEvent* event) {
  if (!event->isAutoRepeat()) {
    host_.KeyUp(Now(), KeyText(*event));
    Settle();
  }
  QMainWindow::keyReleaseEvent(event);
}

void MainWindow::changeEvent(QEvent* event) {
  // A key let go while another window had the keyboard never reaches us: Ctrl held for skipping must not stick.
  if (event->type() == QEvent::ActivationChange && !isActiveWindow()) {
    host_.KeysLost(Now());
    Settle();
  }
  QMainWindow::changeEvent(event);
}

void MainWindow::OfferText() {
  for (const TextOut& out : host_.TakeTextOut()) {
    if (out.copy) QGuiApplication::clipboard()->setText(FromUtf8(out.text));
    stage_->Announce(FromUtf8(out.text));
  }
}

void MainWindow::CopyPageText() {
  const std::string page = host_.PageText();
  if (!page.empty()) QGuiApplication::clipboard()->setText(FromUtf8(page));
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
      std::max(1, static_cast<int>(stage_->StageRect().width() * devicePixelRatioF()) / StagePlayer::kWidth);
  const Status saved = SavePng(player_.Render(stage_->Shown(), scale), path.toStdString());
  if (!saved) std::cerr << "shiori: " << saved.error() << std::endl;
  const std::string notice = (saved.ok() ? ScreenshotSavedMessage(path) : ScreenshotFailedMessage()).toStdString();
  host_.Notice(Now(), notice);
  Settle();
}

void MainWindow::ToggleFullScreen() {
  if (isFullScreen()) {
    showNormal();
  } else {
    showFullScreen();
  }
}

void MainWindow::closeEvent(QCloseEvent* event) {
  host_.CloseBox(Now());
  Settle();
  // A reader who answered that the story should go on keeps the window.
  if (engine_.ended()) {
    event->accept();
  } else {
    event->ignore();
  }
}

}  // namespace shiori
