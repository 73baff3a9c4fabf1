#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>
#include <string>

#include "StageFixture.h"
#include "comforts/Comforts.h"
#include "engine/Engine.h"
#include "qt/MainWindow.h"
#include "qt/PreferencesDialog.h"
#include "qt/QtServices.h"
#include "qt/StageGeometry.h"
#include "qt/StagePlayer.h"
#include "qt/StageWidget.h"
#include "scenario/LineCode.h"
#include "scenario/ScenarioRecord.h"

namespace shiori::test {
namespace {

// A text page record: `lines` shown in full, the last one ending the page, then `next`.
std::string TextPage(std::initializer_list<std::string> lines, int next) {
  ScenarioRecord record = ScenarioRecord::Empty();
  record.startMark = 1;
  record.pictureNo = 1;
  record.target[0] = static_cast<std::int16_t>(next);
  std::size_t k = 0;
  for (const std::string& line : lines) {
    const LineStop stop = k + 1 == lines.size() ? LineStop::PageEnd : LineStop::None;
    record.lineText[k] = line;
    record.lineCode[k] = static_cast<std::uint8_t>(LineCode::Encode(line.size(), stop));
    ++k;
  }
  const std::vector<std::uint8_t> bytes = record.Encode();
  return {bytes.begin(), bytes.end()};
}

// Two pages of text and the pictures the menus need.
void WriteGame(const TempGame& game) {
  game.WriteBytes("data1.rgd", TextPage({"Hello,", "reader."}, 2) + TextPage({"Page two."}, 1));
  for (const char* name : {"op01", "ld01", "ld02", "rg01", "0001"}) {
    game.WritePicture(std::string("data/") + name + ".rgd", ColourPicture(), "BMP");
  }
  game.WritePicture("log/0000.log", ColourPicture(), "BMP");
}

// Answers the next question box with `button` once it is up.
void AnswerNextQuestion(QMessageBox::StandardButton button) {
  auto* poll = new QTimer;
  QObject::connect(poll, &QTimer::timeout, [poll, button] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    poll->deleteLater();
    poll->stop();
    box->button(button)->click();
  });
  poll->start(10);
}

class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest()
      : engine_(GameFolder(game_.dir(), game_.dir()), services_.Bundle(), scheduler_),
        player_(engine_.folder(), services_.pictures(), StageFontForTests()) {
    WriteGame(game_);
    // The reader's own preferences never reach a test.
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString((game_.dir() / "config").string()));
    window_ = std::make_unique<MainWindow>(engine_, player_, services_.questions());
    EXPECT_TRUE(window_->Start().ok());
    window_->ShowAtBestSize(false);
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
  }

  ~MainWindowTest() override {
    window_->hide();
    window_.reset();
  }

  // Clicks a widget of the model where the window shows it.
  void ClickWidget(const Widget& widget, Qt::MouseButton button = Qt::LeftButton) {
    auto* stage = static_cast<StageWidget*>(window_->centralWidget());
    const Rect& r = widget.bounds();
    const QRect at = FromStageRect(stage->StageRect(), QRect(r.left + r.width / 2, r.top + r.height / 2, 1, 1));
    QTest::mouseClick(stage, button, {}, at.center());
  }

  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    QTest::keyClick(window_->centralWidget(), key, modifiers);
  }

  QAction* MenuBarEntry(const QString& text) {
    for (QAction* action : window_->menuBar()->actions()) {
      if (action->text() == text) return action;
    }
    return nullptr;
  }

  TempGame game_;
  QtServices services_;
  Scheduler scheduler_;
  Engine engine_;
  StagePlayer player_;
  std::unique_ptr<MainWindow> window_;
};

TEST_F(MainWindowTest, MenuBarFollowsTheModel) {
  Form& form = engine_.form();
  ASSERT_EQ(window_->menuBar()->actions().size(), 5) << "the story's four, and the comforts' own";
  QAction* conf = MenuBarEntry("環境設定(&C)");
  QAction* next = MenuBarEntry("次の選択肢までとばす(&J)");
  QAction* quit = MenuBarEntry("終了(&Q)");
  QAction* save = MenuBarEntry("クイックセーブ(&S)");
  ASSERT_TRUE(conf && next && quit && save);
  EXPECT_EQ(next->menu(), nullptr);  // a command of its own, not a menu
  ASSERT_NE(save->menu(), nullptr);
  const QList<QAction*> saves = save->menu()->actions();
  ASSERT_EQ(saves.size(), 4);
  // The keys are shown beside the captions; the host takes them as they come.
  EXPECT_TRUE(saves[0]->text().endsWith("\tCtrl+W")) << saves[0]->text().toStdString();
  EXPECT_TRUE(saves[1]->text().endsWith("\tCtrl+S"));
  EXPECT_TRUE(saves[2]->text().endsWith("\tCtrl+X"));
  EXPECT_EQ(saves[3]->text(), "ゲーム終了");
  EXPECT_EQ(next->isEnabled(), form.menuNEXT.enabled());
  EXPECT_EQ(save->isEnabled(), form.menuRIGHT.enabled());

  // The music switch: Qt flips the mark itself, the model decides what it shows.
  QAction* music = conf->menu()->actions().at(0);
  ASSERT_TRUE(music->isCheckable());
  EXPECT_TRUE(music->isChecked());
  music->trigger();
  EXPECT_FALSE(form.menuBGM.checked());
  EXPECT_FALSE(music->isChecked());
  music->trigger();
  EXPECT_TRUE(form.menuBGM.checked());
  EXPECT_TRUE(music->isChecked());

  // The story enables and disables commands as the reader moves on; the bar keeps in step at every screen.
  const auto expect_in_step = [&](const char* screen) {
    for (QAction* top : window_->menuBar()->actions()) {
      if (top->menu() != nullptr && top->menu()->objectName() == "reading") continue;
      QList<QAction*> actions{top};
      if (top->menu() != nullptr) actions += top->menu()->actions();
      for (QAction* action : actions) {
        const std::string caption = action->text().section(QLatin1Char('\t'), 0, 0).toStdString();
        const auto items = form.MenuItems();
        const auto item =
            std::find_if(items.begin(), items.end(), [&](MenuItem* m) { return m->caption() == caption; });
        ASSERT_NE(item, items.end()) << caption;
        EXPECT_EQ(action->isEnabled(), (*item)->enabled()) << screen << ": " << caption;
      }
    }
  };
  expect_in_step("title");
  EXPECT_FALSE(save->isEnabled());
  ClickWidget(*form.lblMLT[0]);
  expect_in_step("load menu");
  ClickWidget(*form.lblMLT[3]);
  expect_in_step("story");
  // Quick saves open up once the first page has typed: a change made by the scheduler, between inputs.
  ASSERT_TRUE(QTest::qWaitFor([&] { return form.menuRIGHT.enabled(); }, 3000));
  EXPECT_TRUE(QTest::qWaitFor([&] { return save->isEnabled(); }, 3000));
  expect_in_step("story, page typed");
}

TEST_F(MainWindowTest, KeysReadOnOpenTheMenuAndCopyThePage) {
  Form& form = engine_.form();
  PlayState& state = engine_.state();
  Key(Qt::Key_Return);  // on the title, Enter only shows where the keys are
  Key(Qt::Key_Escape);
  EXPECT_EQ(state.MenuMode, MenuKind::Title);
  EXPECT_TRUE(form.Picture2.visible());
  EXPECT_EQ(form.overlay().focus, "lblMLT(0)");

  ClickWidget(*form.lblMLT[0]);  // read the story: the load menu
  ClickWidget(*form.lblMLT[3]);  // start afresh
  ASSERT_TRUE(form.Picture1.visible());
  ASSERT_FALSE(form.Picture2.visible());
  ASSERT_TRUE(
      QTest::qWaitFor([&] { return state.PageState == PageProgress::Finished && form.lblFRONT->enabled(); }, 3000));

  Key(Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "Hello,\nreader.");

  Key(Qt::Key_Space);  // the next page
  EXPECT_TRUE(QTest::qWaitFor([&] { return form.lbl1[0]->caption().starts_with("Page two."); }, 3000));
  EXPECT_EQ(form.lbl1[1]->caption(), "");

  Key(Qt::Key_Escape);  // the in-game menu
  EXPECT_TRUE(form.Picture2.visible());
  EXPECT_EQ(state.MenuMode, MenuKind::InGame);
  Key(Qt::Key_Return);  // the menu is up: Enter does not read on behind it
  EXPECT_TRUE(form.Picture2.visible());
  EXPECT_EQ(form.overlay().focus, "lblMLT(0)") << "a fresh mark on the menu's first entry";
  Key(Qt::Key_Escape);
  EXPECT_FALSE(form.Picture2.visible()) << "Escape closes the menu it opened";
}

// The reader's menu is the core's: its check marks follow what a key and the menu itself turn on and off.
TEST_F(MainWindowTest, TheReadingMenuFollowsTheKeysAndItsOwnItems) {
  Form& form = engine_.form();
  ClickWidget(*form.lblMLT[0]);
  ClickWidget(*form.lblMLT[3]);
  ASSERT_TRUE(QTest::qWaitFor([&] { return form.lblFRONT->enabled(); }, 3000)) << "the first page typed";
  QAction* reading = MenuBarEntry("読書(&R)");
  ASSERT_TRUE(reading != nullptr && reading->menu() != nullptr);
  const QList<QAction*> items = reading->menu()->actions();
  const auto auto_item = std::find_if(items.begin(), items.end(),
                                      [](QAction* a) { return a->text() == QStringLiteral("オートモード(&A)\tA"); });
  ASSERT_NE(auto_item, items.end());

  Key(Qt::Key_A);
  EXPECT_TRUE(engine_.comforts().auto_on());
  EXPECT_TRUE((*auto_item)->isChecked());
  (*auto_item)->trigger();
  EXPECT_FALSE(engine_.comforts().auto_on());
  EXPECT_FALSE((*auto_item)->isChecked());
}

// The wheel opens the history over a dimmed stage and closes it again; the keyboard's focus mark is drawn.
TEST_F(MainWindowTest, TheWheelOpensTheHistoryAndTheFocusMarkShows) {
  Form& form = engine_.form();
  auto* stage = static_cast<StageWidget*>(window_->centralWidget());
  const auto wheel = [&](int delta) {
    const QPointF at = stage->StageRect().center();
    QWheelEvent event(at, stage->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(stage, &event);
  };
  const QImage plain = player_.Render(form);
  Key(Qt::Key_Down);
  ASSERT_EQ(form.overlay().focus, "lblMLT(0)");
  const Rect& entry = form.lblMLT[0]->bounds();
  const QColor ring = player_.Render(form).pixelColor(entry.left - 3, entry.top + entry.height / 2);
  EXPECT_GT(ring.red(), 200) << "a warm ring around the entry";
  EXPECT_NE(ring, plain.pixelColor(entry.left - 3, entry.top + entry.height / 2));

  ClickWidget(*form.lblMLT[0]);
  ClickWidget(*form.lblMLT[3]);
  ASSERT_TRUE(QTest::qWaitFor([&] { return engine_.state().CurrentPage == 2; }, 3000)) << "the first page typed";
  wheel(120);
  ASSERT_TRUE(form.overlay().backlog_open);
  EXPECT_EQ(form.overlay().backlog_lines, (std::vector<std::string>{"Hello,", "reader."}));
  const QImage history = player_.Render(form);
  EXPECT_LT(history.pixelColor(600, 200).lightness(), 40) << "the stage is dimmed";
  wheel(-120);
  EXPECT_FALSE(form.overlay().backlog_open);
  EXPECT_EQ(engine_.state().CurrentPage, 2) << "the wheel that closed the history did not read on";
}

// What the core offers as text out reaches the stage's accessible name for screen readers, and the clipboard only
// once the reader asks for it; V is kept in the preferences file, and the system's voices answer without holding
// the window up, whatever the machine has.
TEST_F(MainWindowTest, ThePagesTextGoesToScreenReadersAndOnRequestToTheClipboard) {
  Form& form = engine_.form();
  auto* stage = static_cast<StageWidget*>(window_->centralWidget());
  QGuiApplication::clipboard()->setText(QStringLiteral("the reader's own"));
  ClickWidget(*form.lblMLT[0]);
  ClickWidget(*form.lblMLT[3]);
  QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(stage);
  ASSERT_NE(accessible, nullptr);
  EXPECT_EQ(accessible->text(QAccessible::Name), QStringLiteral("Hello,\nreader."));
  ASSERT_TRUE(QTest::qWaitFor([&] { return form.lblFRONT->enabled(); }, 3000));
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("the reader's own")) << "off by default";

  ASSERT_TRUE(engine_.comforts().SetPreference("copy_page_text", "on"));
  Key(Qt::Key_Space);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("Page two."));
  EXPECT_EQ(accessible->text(QAccessible::Name), QStringLiteral("Page two."));

  Key(Qt::Key_V);
  std::vector<std::string> problems;
  EXPECT_TRUE(Preferences::Load(PreferencesFile(), problems).self_voicing) << "kept for the next start";
  const std::string no_voice = "日本語の音声がないため読み上げできません";
  EXPECT_TRUE(QTest::qWaitFor(
      [&] { return engine_.comforts().notice() == no_voice || engine_.comforts().notice() == "読み上げ：オン"; },
      10000));
}

TEST_F(MainWindowTest, PreferencesAreSavedAndReadBack) {
  const std::filesystem::path file = PreferencesFile();
  EXPECT_EQ(file, game_.dir() / "config" / "shiori" / "shiori.conf");
  PreferencesDialog dialog(engine_.comforts().preferences(), file,
                           [&](const Preferences& changed) { engine_.comforts().SetPreferences(changed); });
  dialog.findChild<QSlider*>("volume")->setValue(35);
  dialog.findChild<QCheckBox*>("keepEarlyClick")->setChecked(true);
  EXPECT_EQ(engine_.comforts().preferences().music_volume, 35) << "applied at once";
  std::vector<std::string> problems;
  const Preferences read = Preferences::Load(file, problems);
  EXPECT_EQ(read, engine_.comforts().preferences());
  EXPECT_TRUE(read.keep_early_click);
  EXPECT_TRUE(problems.empty());

  // A new window starts with them.
  Scheduler scheduler;
  Engine engine(GameFolder(game_.dir(), game_.dir()), services_.Bundle(), scheduler);
  MainWindow window(engine, player_, services_.questions());
  ASSERT_TRUE(window.Start().ok());
  EXPECT_EQ(engine.comforts().preferences(), read);
}

}  // namespace
}  // namespace shiori::test

namespace shiori::test {
namespace {

TEST_F(MainWindowTest, TheCloseBoxAsksBeforeLeavingAStory) {
  Form& form = engine_.form();
  ClickWidget(*form.lblMLT[0]);
  ClickWidget(*form.lblMLT[3]);
  ASSERT_TRUE(form.Picture1.visible());
  AnswerNextQuestion(QMessageBox::No);
  EXPECT_FALSE(window_->close());
  EXPECT_TRUE(window_->isVisible());
  EXPECT_FALSE(engine_.ended());
  AnswerNextQuestion(QMessageBox::Yes);
  EXPECT_TRUE(window_->close());
  EXPECT_TRUE(engine_.ended());
}

TEST_F(MainWindowTest, FullScreenHidesTheMenuBarButKeepsItWithinReach) {
  Form& form = engine_.form();
  QWidget* stage = window_->centralWidget();
  QMenuBar* bar = window_->menuBar();
  ClickWidget(*form.lblMLT[0]);
  ClickWidget(*form.lblMLT[3]);
  ASSERT_TRUE(QTest::qWaitFor([&] { return form.menuRIGHT.enabled(); }, 3000));

  Key(Qt::Key_F11);
  ASSERT_TRUE(QTest::qWaitFor([&] { return window_->isFullScreen(); }, 3000));
  EXPECT_FALSE(bar->isVisible());
  const auto move_pointer = [stage](int y) {
    const QPointF at(stage->width() / 2.0, y);
    QMouseEvent move(QEvent::MouseMove, at, stage->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(stage, &move);
  };
  move_pointer(0);
  EXPECT_TRUE(bar->isVisible()) << "the pointer at the top edge";
  move_pointer(stage->height() / 2);
  EXPECT_FALSE(bar->isVisible()) << "and back on the stage";
  QTest::keyClick(stage, Qt::Key_Alt);
  EXPECT_TRUE(bar->isVisible()) << "Alt alone";
  QTest::keyClick(stage, Qt::Key_Alt);
  EXPECT_FALSE(bar->isVisible());

  Key(Qt::Key_W, Qt::ControlModifier);  // the quick save's shortcut works with the bar hidden
  EXPECT_EQ(form.menuSAVE[1]->caption().rfind("データ１：", 0), 0U) << form.menuSAVE[1]->caption();

  Key(Qt::Key_Escape);  // the story's own key: the in-game menu, not the way out of full screen
  EXPECT_EQ(engine_.state().MenuMode, MenuKind::InGame);
  EXPECT_TRUE(window_->isFullScreen());
  Key(Qt::Key_Return, Qt::AltModifier);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !window_->isFullScreen(); }, 3000));
  EXPECT_TRUE(bar->isVisible());
}

// Another start than the fixture's: saves kept apart from the game, and full screen from the first frame.
TEST(MainWindowStart, SaysWhereSavesAreKeptAndOpensFullScreenWithoutTheBar) {
  TempGame game;
  TempGame saves;
  WriteGame(game);
  QtServices services;
  Scheduler scheduler;
  Engine engine(GameFolder(game.dir(), saves.dir()), services.Bundle(), scheduler);
  StagePlayer player(engine.folder(), services.pictures(), StageFontForTests());
  MainWindow window(engine, player, services.questions());
  ASSERT_TRUE(window.Start().ok());
  EXPECT_TRUE(window.windowTitle().contains(QString::fromStdString(saves.dir().string())))
      << window.windowTitle().toStdString();
  window.ShowAtBestSize(true);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  EXPECT_TRUE(window.isFullScreen());
  EXPECT_FALSE(window.menuBar()->isVisible());
}

}  // namespace
}  // namespace shiori::test
