#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "comforts/Comforts.h"
#include "host/Host.h"
#include "support/TestGame.h"

namespace shiori {
namespace {

using test::TestGame;
using test::TestPage;

constexpr Micros kShellStart = Milliseconds(5000);  // the shell's own clock, which did not start with the story

// A story of three read pages, typed at the normal speed, driven as a shell drives it: through the host, on the
// shell's clock.
class HostTest : public ::testing::Test {
 protected:
  void Begin(ShellKind shell = ShellKind::Desktop) {
    game.dir().Write("conf.rgd", "#FALSE#\r\n");
    game.dir().Write("conf2.rgd", "2\r\n");
    game.Page(1, TestPage::Text({"一頁目　", "", "つづき"}, {4, 1, 203}, 2));
    game.Page(2, TestPage::Text({"二頁目"}, {203}, 3));
    game.Page(3, TestPage::Text({"三頁目"}, {203}, 4));
    game.MarkRange(1, 3);
    game.Start();
    host = std::make_unique<Host>(game.engine(), shell);
    host->FirstFrameShown(kShellStart);
    now = kShellStart;
    PressOn("lblMLT(0)");  // the title's first entry
    PressOn("lblMLT(3)");  // the load menu's new story
  }
  void PressOn(const std::string& name) {
    const Rect& r = game.form().FindWidget(name)->bounds();
    host->Press(now, r.left + r.width / 2, r.top + r.height / 2, kLeftButton);
  }
  void Pass(Micros time) {
    const Micros until = now + time;
    while (host->NextWakeUp() && *host->NextWakeUp() <= until) host->Wake(now = *host->NextWakeUp());
    now = until;
  }

  TestGame game;
  std::unique_ptr<Host> host;
  Micros now = 0;
};

TEST_F(HostTest, CtrlHeldAloneSkipsButCtrlWithAKeyIsAShortcutThatNeverReadsOn) {
  Begin();
  Pass(Milliseconds(100));
  EXPECT_EQ(host->KeyDown(now, "Control", {}), ShellAction::None);
  Pass(Milliseconds(200));  // a reader's Ctrl+W comes within a quarter second
  EXPECT_EQ(host->KeyDown(now, "w", {.ctrl = true}), ShellAction::None);
  host->KeyUp(now, "Control");
  EXPECT_FALSE(game.engine().comforts().skip_on());
  EXPECT_EQ(game.Caption("lbl1(0)"), "一頁目　") << "the shortcut read on";
  EXPECT_EQ(game.form().overlay().notice, "しおり１に保存しました");
  EXPECT_TRUE(std::filesystem::exists(game.dir().path() / "data2.rgd")) << "Ctrl+W saves to the first bookmark";

  EXPECT_EQ(host->KeyDown(now, "Control", {}), ShellAction::None);
  Pass(Milliseconds(300));
  EXPECT_TRUE(game.engine().comforts().skip_on()) << "held alone, it skips";
  Pass(Milliseconds(2000));
  EXPECT_EQ(game.Caption("lbl1(0)"), "三頁目");
  host->KeyUp(now, "Control");
  EXPECT_FALSE(game.engine().comforts().skip_on());
}

TEST_F(HostTest, CtrlHeldLongerBeforeItsKeyStillNeverReadsOn) {
  Begin();
  Pass(Milliseconds(3000));
  EXPECT_EQ(host->KeyDown(now, "Control", {}), ShellAction::None);
  Pass(Milliseconds(600));
  ASSERT_EQ(game.Caption("lbl1(0)"), "三頁目") << "the hold has skipped on";
  EXPECT_EQ(host->KeyDown(now, "w", {.ctrl = true}), ShellAction::None);
  EXPECT_EQ(game.Caption("lbl1(0)"), "一頁目　") << "the page on screen when Ctrl went down is back";
  EXPECT_EQ(game.dir().Read("data2.rgd").substr(0, 2), "2,") << "and it is the one saved";
  Pass(Milliseconds(1000));
  host->KeyUp(now, "Control");
  EXPECT_EQ(game.Caption("lbl1(0)"), "一頁目　") << "nothing skips on after the shortcut";
  EXPECT_FALSE(game.engine().comforts().skip_on());
}

TEST_F(HostTest, KeysTheShellHandlesAndKeysNoOneUses) {
  Begin();
  EXPECT_EQ(host->KeyDown(now, "F11", {}), ShellAction::ToggleFullScreen);
  EXPECT_EQ(host->KeyDown(now, "Return", {.alt = true}), ShellAction::ToggleFullScreen);
  EXPECT_EQ(host->KeyDown(now, "F12", {}), ShellAction::Screenshot);
  EXPECT_EQ(host->KeyDown(now, "c", {.ctrl = true}), ShellAction::CopyPageText);
  EXPECT_EQ(host->KeyDown(now, "q", {}), ShellAction::Unused);
  EXPECT_EQ(host->KeyDown(now, "x", {.alt = true}), ShellAction::Unused) << "the menu bar's own mnemonics";
  EXPECT_EQ(host->Choose(now, "reading.preferences"), ShellAction::OpenPreferences);
  EXPECT_EQ(CoreKeyName("ArrowUp"), "up");
  EXPECT_EQ(CoreKeyName("PgUp"), "pageup");
  EXPECT_EQ(CoreKeyName(" "), "space");
  EXPECT_EQ(CoreKeyName("A"), "a");
  EXPECT_EQ(CoreKeyName("Dead"), "");
}

TEST_F(HostTest, TheClockStartsWithTheFirstFrameAndStandsStillWhileAQuestionWaits) {
  Begin();
  ASSERT_TRUE(host->NextWakeUp());
  EXPECT_GE(*host->NextWakeUp(), kShellStart) << "wake-ups are on the shell's clock";
  host->PauseClock(true, now);
  EXPECT_FALSE(host->NextWakeUp());
  Pass(Milliseconds(10000));
  host->PauseClock(false, now);
  const std::string before = game.Caption("lbl1(0)");
  Pass(Milliseconds(31));
  EXPECT_EQ(game.Caption("lbl1(0)").size(), before.size() + 3) << "one character on, not ten seconds' worth";

  TestGame fresh;
  fresh.Page(1, TestPage::Text({"x"}, {203}, 2));
  fresh.Start();
  Host waiting(fresh.engine(), ShellKind::Desktop);
  EXPECT_FALSE(waiting.NextWakeUp()) << "nothing runs before the first frame is out";
}

TEST_F(HostTest, TheMenuBarCarriesTheReadingMenuAndMovesOnlyWhenItChanges) {
  Begin(ShellKind::Page);
  const std::vector<MenuEntry> bar = host->MenuBar();
  ASSERT_EQ(bar.back().name, "reading");
  // The keys come as chords the shell compares a key press with, the browser's Ctrl+W moved to Alt+W.
  std::optional<KeyChord> first_bookmark;
  for (const MenuEntry& top : bar) {
    for (const MenuEntry& item : top.items) {
      if (item.name == "menuSAVE(1)") first_bookmark = item.accelerator;
    }
  }
  EXPECT_EQ(first_bookmark, (KeyChord{"w", false, true})) << "a browser closes the tab on Ctrl+W";
  EXPECT_EQ(bar.front().mnemonic, (KeyChord{"c", false, true})) << bar.front().caption;
  EXPECT_FALSE(bar.back().items.front().accelerator) << "the reading menu's keys are plain keys the core takes";
  EXPECT_FALSE(ChordOf("Tab / Ctrl"));

  Pass(Milliseconds(3000));  // the quick saves wait for the page to be typed
  EXPECT_EQ(host->KeyDown(now, "w", {.alt = true}), ShellAction::None);
  EXPECT_TRUE(std::filesystem::exists(game.dir().path() / "data2.rgd")) << "the page's key for the first bookmark";

  const std::uint64_t shown = host->menu_changes();
  Pass(Milliseconds(100));
  EXPECT_EQ(host->menu_changes(), shown) << "typing leaves the menus alone";
  EXPECT_EQ(host->KeyDown(now, "a", {}), ShellAction::None);
  EXPECT_NE(host->menu_changes(), shown);
  const std::vector<MenuEntry> bar_after = host->MenuBar();
  const MenuEntry& reading = bar_after.back();
  const auto auto_entry = std::find_if(reading.items.begin(), reading.items.end(),
                                       [](const MenuEntry& e) { return e.name == "reading.auto"; });
  ASSERT_NE(auto_entry, reading.items.end());
  EXPECT_TRUE(auto_entry->checked);

  EXPECT_EQ(host->KeyDown(now, "a", {}), ShellAction::None);
  Pass(Milliseconds(600));
  host->Press(now, 320, 200, kLeftButton);  // on to page 2
  Pass(Milliseconds(3000));
  ASSERT_EQ(game.Caption("lbl1(0)"), "二頁目");
  const std::uint64_t before_back = host->menu_changes();
  EXPECT_EQ(host->KeyDown(now, "Backspace", {}), ShellAction::None);
  ASSERT_EQ(game.Caption("lbl1(0)"), "一頁目　");
  EXPECT_NE(host->menu_changes(), before_back) << "going back is offered no more on the first page";
}

TEST_F(HostTest, ThePagesTextForCopyingAndWhetherAStoryIsInProgress) {
  Begin();
  EXPECT_TRUE(host->StoryInProgress());
  Pass(Milliseconds(3000));
  EXPECT_EQ(host->PageText(), "一頁目\n\nつづき");
}

TEST_F(HostTest, ATapReadsOnLikeAClickButClosesTheOpenHistoryWithoutReadingOn) {
  Begin();
  Pass(Milliseconds(3000));
  host->Wheel(now, -1);
  ASSERT_TRUE(game.engine().comforts().backlog_open());
  const std::string shown = game.Caption("lbl1(0)");
  host->Tap(now, 320, 200);
  EXPECT_FALSE(game.engine().comforts().backlog_open());
  Pass(Milliseconds(100));
  EXPECT_EQ(game.Caption("lbl1(0)"), shown) << "closing the history did not read on";
  host->Tap(now, 320, 200);
  Pass(Milliseconds(3000));
  EXPECT_EQ(game.Caption("lbl1(0)"), "二頁目");
}

}  // namespace
}  // namespace shiori
