#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QSlider>
#include <QTest>
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
#include "qt/StagePainter.h"
#include "qt/StageWidget.h"

namespace shiori::test {
namespace {

// A text page record: `lines` shown in full, the last one ending the page, then `next`.
std::string TextPage(std::initializer_list<std::string> lines, int next) {
  std::string record(600, '\0');
  const auto put16 = [&](int offset, int value) {
    record[offset] = static_cast<char>(value & 0xFF);
    record[offset + 1] = static_cast<char>((value >> 8) & 0xFF);
  };
  put16(0, 1);     // startMark
  put16(2, 1);     // pictureNo
  put16(8, next);  // target[0]
  int k = 0;
  for (const std::string& line : lines) {
    const bool last = k + 1 == static_cast<int>(lines.size());
    record[21 + k] = static_cast<char>((last ? 200 : 0) + line.size());
    record.replace(48 + 46 * k, 46, (line + std::string(46, ' ')).substr(0, 46));
    ++k;
  }
  for (; k < 12; ++k) record.replace(48 + 46 * k, 46, std::string(46, ' '));
  return record;
}

class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest()
      : engine_(GameFolder(game_.dir(), game_.dir()), services_.Bundle(), scheduler_),
        painter_(engine_.folder(), services_.pictures()) {
    game_.WriteBytes("data1.rgd", TextPage({"Hello,", "reader."}, 2) + TextPage({"Page two."}, 1));
    for (const char* name : {"op01", "ld01", "ld02", "rg01", "0001"}) {
      game_.WritePicture(std::string("data/") + name + ".rgd", ColourPicture(), "BMP");
    }
    game_.WritePicture("log/0000.log", ColourPicture(), "BMP");
    // The reader's own preferences never reach a test.
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString((game_.dir() / "config").string()));
    window_ = std::make_unique<MainWindow>(engine_, painter_, services_.questions());
    EXPECT_TRUE(window_->Start().ok());
    window_->ShowAtBestSize(false);
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    QTest::qWait(50);
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
  StagePainter painter_;
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
  EXPECT_EQ(saves[0]->shortcut(), QKeySequence("Ctrl+W"));
  EXPECT_EQ(saves[1]->shortcut(), QKeySequence("Ctrl+S"));
  EXPECT_EQ(saves[2]->shortcut(), QKeySequence("Ctrl+X"));
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
      if (top->menu() != nullptr && top->menu()->objectName() == "comforts") continue;
      QList<QAction*> actions{top};
      if (top->menu() != nullptr) actions += top->menu()->actions();
      for (QAction* action : actions) {
        const std::string caption = action->text().toStdString();
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
  QTest::qWait(20);
  EXPECT_TRUE(save->isEnabled());
  expect_in_step("story, page typed");
}

TEST_F(MainWindowTest, KeysReadOnOpenTheMenuAndCopyThePage) {
  Form& form = engine_.form();
  PlayState& state = engine_.state();
  Key(Qt::Key_Return);  // on the title, Enter only shows where the keys are
  Key(Qt::Key_Escape);
  EXPECT_EQ(state.MenuMode, 1);
  EXPECT_TRUE(form.Picture2.visible());
  EXPECT_EQ(form.overlay().focus, "lblMLT(0)");

  ClickWidget(*form.lblMLT[0]);  // read the story: the load menu
  ClickWidget(*form.lblMLT[3]);  // start afresh
  ASSERT_TRUE(form.Picture1.visible());
  ASSERT_FALSE(form.Picture2.visible());
  ASSERT_TRUE(QTest::qWaitFor([&] { return state.PageState == 2 && form.lblFRONT->enabled(); }, 3000));

  Key(Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "Hello,\nreader.");

  Key(Qt::Key_Space);  // the next page
  EXPECT_TRUE(QTest::qWaitFor([&] { return form.lbl1[0]->caption().starts_with("Page two."); }, 3000));
  EXPECT_EQ(form.lbl1[1]->caption(), "");

  Key(Qt::Key_Escape);  // the in-game menu
  EXPECT_TRUE(form.Picture2.visible());
  EXPECT_EQ(state.MenuMode, 3);
  Key(Qt::Key_Return);  // the menu is up: Enter does not read on behind it
  EXPECT_TRUE(form.Picture2.visible());
  EXPECT_EQ(form.overlay().focus, "lblMLT(0)") << "a fresh mark on the menu's first entry";
  Key(Qt::Key_Escape);
  EXPECT_FALSE(form.Picture2.visible()) << "Escape closes the menu it opened";
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
  const QImage plain = painter_.Render(form);
  Key(Qt::Key_Down);
  ASSERT_EQ(form.overlay().focus, "lblMLT(0)");
  const Rect& entry = form.lblMLT[0]->bounds();
  const QColor ring = painter_.Render(form).pixelColor(entry.left - 3, entry.top + entry.height / 2);
  EXPECT_GT(ring.red(), 200) << "a warm ring around the entry";
  EXPECT_NE(ring, plain.pixelColor(entry.left - 3, entry.top + entry.height / 2));

  ClickWidget(*form.lblMLT[0]);
  ClickWidget(*form.lblMLT[3]);
  ASSERT_TRUE(QTest::qWaitFor([&] { return engine_.state().CurrentPage == 2; }, 3000)) << "the first page typed";
  wheel(120);
  ASSERT_TRUE(form.overlay().backlog_open);
  EXPECT_EQ(form.overlay().backlog_lines, (std::vector<std::string>{"Hello,", "reader."}));
  const QImage history = painter_.Render(form);
  EXPECT_LT(history.pixelColor(600, 200).lightness(), 40) << "the stage is dimmed";
  wheel(-120);
  EXPECT_FALSE(form.overlay().backlog_open);
  EXPECT_EQ(engine_.state().CurrentPage, 2) << "the wheel that closed the history did not read on";
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
  MainWindow window(engine, painter_, services_.questions());
  ASSERT_TRUE(window.Start().ok());
  EXPECT_EQ(engine.comforts().preferences(), read);
}

}  // namespace
}  // namespace shiori::test
