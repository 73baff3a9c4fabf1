#include <gtest/gtest.h>

#include <filesystem>

#include "HeadlessDriver.h"
#include "comforts/Comforts.h"
#include "support/TestGame.h"

namespace shiori::test {
namespace {

// A story of four text pages, a choice and a fifth page; music off so that only the arrow timer and the
// comforts move things. Text types at the normal speed (30.1 ms a character) unless a test says otherwise.
class ComfortsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    game.dir().Write("conf.rgd", "#FALSE#\r\n");
    game.Page(1, TestPage::Text({"一頁目", "つづき"}, {103, 203}, 2));
    game.Page(2, TestPage::Text({"二頁目"}, {203}, 3));
    game.Page(3, TestPage::Text({"三頁目", "二行目", "三行目", "四行目", "五行目"}, {3, 3, 3, 3, 203}, 4));
    game.Page(4, TestPage::Choice({"どうする？", "海へ行く", "山へ行く"}, 1, 1, {5, 5}));
    game.Page(5, TestPage::Text({"五頁目"}, {203}, 6));
  }
  void Begin(int text_speed = 2) {
    game.dir().Write("conf2.rgd", std::to_string(text_speed) + "\r\n");
    game.Start();
    game.Click("lblMLT(0)");
    game.Click("lblMLT(3)");
  }
  Comforts& comforts() { return game.engine().comforts(); }
  const Overlay& overlay() { return game.form().overlay(); }
  void Key(const char* key) { ASSERT_TRUE(comforts().Key(key)) << key; }

  TestGame game;
};

TEST_F(ComfortsTest, TheHistoryHoldsEveryPageAndChoiceAndHoldsTheStoryWhileOpen) {
  Begin(0);
  game.Wait(500);
  game.Click("Picture1");  // the rest of page 1
  for (int page = 2; page <= 4; ++page) {
    game.Wait(500);
    game.Click("Picture1");
  }
  game.Click("lblSEL(1)");
  const auto& entries = comforts().backlog().entries();
  ASSERT_EQ(entries.size(), 5U);
  EXPECT_EQ(entries[0].lines, (std::vector<std::string>{"一頁目", "つづき"})) << "a paused page is one entry";
  EXPECT_EQ(entries[3].page, 4);
  EXPECT_EQ(entries[3].lines, (std::vector<std::string>{"→ 海へ行く"})) << "a choice appears as the text chosen";
  EXPECT_EQ(entries[4].lines, (std::vector<std::string>{"五頁目"}));

  comforts().Wheel(-1);
  ASSERT_TRUE(overlay().backlog_open);
  EXPECT_EQ(overlay().backlog_lines.back(), "五頁目");
  EXPECT_EQ(overlay().backlog_position, 1);
  Key("up");
  EXPECT_EQ(overlay().backlog_lines.back(), "") << "one line further back, the blank between pages";
  EXPECT_LT(overlay().backlog_position, 1);
  game.Wait(1000);
  game.Click("Picture1");
  EXPECT_EQ(game.state().CurrentPage, 6) << "a click on the open history does not read on";
  comforts().Wheel(1);
  EXPECT_TRUE(overlay().backlog_open) << "back at the newest line";
  comforts().Wheel(1);
  EXPECT_FALSE(overlay().backlog_open) << "and past it, closed";
  Key("pageup");
  EXPECT_TRUE(overlay().backlog_open);
  game.RightClick("Picture1");
  EXPECT_FALSE(overlay().backlog_open);
  EXPECT_FALSE(game.form().Picture2.visible()) << "the right click closed the history and opened no menu";
}

TEST_F(ComfortsTest, TheStoryDoesNotTypeOnWhileTheHistoryIsOpen) {
  Begin();
  game.Wait(40);
  Key("pageup");
  const std::string typed = game.Caption("lbl1(0)");
  game.Wait(2000);
  EXPECT_EQ(game.Caption("lbl1(0)"), typed);
  Key("escape");
  game.Wait(200);
  EXPECT_EQ(game.Caption("lbl1(0)"), "一頁目");
}

TEST_F(ComfortsTest, AutoReadsOnAfterItsDelayAndStopsAtAChoiceOrAClick) {
  Begin();
  game.Wait(200);
  Key("a");
  EXPECT_EQ(overlay().indicator, "AUTO");
  game.Wait(1000);
  EXPECT_EQ(game.state().PageState, PageProgress::Paused) << "still waiting at the pause: 1.5 s and 60 ms a character";
  game.Wait(1000);
  EXPECT_EQ(game.Caption("lbl1(1)"), "つづき") << "read on past the pause";
  game.Wait(6000);
  EXPECT_TRUE(game.form().lblSEL[0]->visible()) << "read on to the choice";
  EXPECT_FALSE(comforts().auto_on()) << "and stopped there";
  EXPECT_FALSE(overlay().indicator);

  game.Click("lblSEL(0)");
  game.Wait(200);
  Key("a");
  game.Click("Picture1");
  EXPECT_FALSE(comforts().auto_on()) << "a click stops it";
  game.Wait(5000);
  EXPECT_EQ(game.state().CurrentPage, 6) << "and reads nothing on";
  EXPECT_EQ(game.Caption("lbl1(0)"), "五頁目");
}

TEST_F(ComfortsTest, SkipReadsOnThroughReadPagesAndStopsBeforeTheFirstUnreadOne) {
  game.MarkPages({1, 2});
  Begin();
  ASSERT_TRUE(comforts().Key("tab"));
  EXPECT_EQ(overlay().indicator, "SKIP");
  game.Wait(1000);
  EXPECT_EQ(game.Caption("lbl1(0)"), "二頁目") << "pages 1 and 2 were read";
  EXPECT_EQ(game.state().PageState, PageProgress::Finished);
  EXPECT_EQ(game.state().CurrentPage, 3);
  EXPECT_FALSE(comforts().skip_on()) << "page 3 is unread";

  game.Wait(500);
  game.Click("Picture1");
  game.MarkPages({4});
  game.Wait(500);
  comforts().HoldCtrl(true);
  game.Wait(500);
  EXPECT_TRUE(game.form().lblSEL[0]->visible());
  EXPECT_FALSE(comforts().skip_on()) << "a choice stops it";
  comforts().HoldCtrl(false);
  EXPECT_FALSE(comforts().skip_on());
}

TEST_F(ComfortsTest, HiddenTextComesBackOnTheNextClickWithoutReadingOn) {
  Begin(0);
  game.Wait(500);
  Key("h");
  EXPECT_TRUE(overlay().text_hidden);
  game.Click("Picture1");
  EXPECT_FALSE(overlay().text_hidden);
  EXPECT_EQ(game.Caption("lbl1(1)"), "") << "the click only brought the text back";
  game.Press("Picture1", kMiddleButton);
  EXPECT_TRUE(overlay().text_hidden);
  Key("enter");
  EXPECT_FALSE(overlay().text_hidden);
  EXPECT_EQ(game.Caption("lbl1(1)"), "");
  Key("enter");
  EXPECT_EQ(game.Caption("lbl1(1)"), "つづき");
}

TEST_F(ComfortsTest, EveryScreenWorksByKeysAlone) {
  game.MarkPages({725, 3128});
  game.dir().Write("conf2.rgd", "0\r\n");
  game.Start();
  EXPECT_FALSE(comforts().FocusName()) << "no focus mark before a key";
  Key("down");
  EXPECT_EQ(comforts().FocusName(), "lblMLT(0)");
  Key("right");
  EXPECT_EQ(comforts().FocusName(), "lblMLT(1)") << "the title menu is a grid: ＣＧを見る lies to the right";
  Key("down");
  EXPECT_EQ(comforts().FocusName(), "lblMLT(3)");
  Key("down");
  EXPECT_EQ(comforts().FocusName(), "lblMLT(1)") << "round to the top of the column";
  Key("left");
  Key("down");
  Key("enter");
  ASSERT_TRUE(game.form().Picture3.visible()) << "settings";
  Key("right");
  Key("enter");
  EXPECT_EQ(game.state().TextSpeed, 1) << "the first entry, fast";
  Key("escape");
  EXPECT_FALSE(game.form().Picture3.visible());

  Key("2");
  ASSERT_TRUE(game.form().Picture4.visible()) << "the gallery";
  Key("enter");
  Key("enter");
  EXPECT_EQ(game.form().Picture4.picture(), "log/0028.log");
  Key("right");
  EXPECT_EQ(game.form().Picture4.picture(), "log/0038.log");
  Key("left");
  EXPECT_EQ(game.form().Picture4.picture(), "log/0028.log") << "back to the CG before";
  Key("left");
  EXPECT_EQ(game.form().Picture4.picture(), "log/0028.log") << "none before the first";
  Key("escape");
  EXPECT_EQ(game.state().ViewerRoute, 100) << "escape goes back to the gallery screen";
  EXPECT_TRUE(game.form().Picture4.visible());
  Key("escape");
  EXPECT_FALSE(game.form().Picture4.visible());

  Key("1");
  EXPECT_EQ(game.state().MenuMode, MenuKind::Load) << "the load menu";
  Key("escape");
  EXPECT_EQ(game.state().MenuMode, MenuKind::Title);
  Key("1");
  Key("4");
  game.Wait(600);
  EXPECT_EQ(game.Caption("lbl1(0)"), "一頁目");
  Key("space");
  game.Wait(10);
  EXPECT_EQ(game.Caption("lbl1(1)"), "つづき");
  Key("escape");
  EXPECT_EQ(game.state().MenuMode, MenuKind::InGame) << "the in-game menu";
  Key("escape");
  EXPECT_TRUE(game.form().Picture1.visible()) << "escape closes it again";
  EXPECT_FALSE(game.form().Picture2.visible());
  for (int page = 2; page <= 4; ++page) {
    game.Wait(600);
    Key("enter");
  }
  Key("2");
  game.Wait(100);
  EXPECT_EQ(comforts().backlog().entries().back().lines.front(), "五頁目");
  EXPECT_EQ(comforts().backlog().entries().end()[-2].lines.front(), "→ 海へ行く");
  EXPECT_FALSE(comforts().Key("f13"));
}

TEST_F(ComfortsTest, TheGalleryPictureOpensItsRouteAsItsNamePlateDoes) {
  game.MarkPages({725, 3128});
  game.Start();
  game.Click("lblMLT(1)");
  game.form().PressAt(130, 150, kLeftButton);  // route 1's picture, above its plate
  EXPECT_EQ(game.state().ViewerRoute, 1);
  EXPECT_EQ(game.form().Picture4.picture(), "log/0028.log");
  comforts().Wheel(1);
  EXPECT_EQ(game.form().Picture4.picture(), "log/0038.log");
  comforts().Wheel(-1);
  EXPECT_EQ(game.form().Picture4.picture(), "log/0028.log");
}

// With a preference off the story answers clicks exactly as before; on, no click is lost.
TEST_F(ComfortsTest, PacingPreferencesChangeNothingUntilTurnedOn) {
  Begin();
  game.Wait(40);
  game.Click("Picture1");
  EXPECT_NE(game.Caption("lbl1(0)"), "一頁目") << "off: a click while the text types is lost";
  game.Wait(200);
  game.Click("Picture1");
  game.Wait(500);
  EXPECT_EQ(game.Caption("lbl1(1)"), "") << "off: a click before the arrow is lost";

  ASSERT_TRUE(comforts().SetPreference("click_shows_page", "on"));
  ASSERT_TRUE(comforts().SetPreference("keep_early_click", "on"));
  game.Click("Picture1");
  game.Wait(10);
  game.Click("Picture1");
  EXPECT_EQ(game.Caption("lbl1(1)"), "つづき") << "on: the click showed the rest up to the end";
  game.Wait(10);
  game.Click("Picture1");
  EXPECT_EQ(game.Caption("lbl1(1)"), "つづき") << "the early click waits";
  game.Wait(500);
  EXPECT_EQ(game.Caption("lbl1(1)"), "") << "and is taken when the gate opens";
  game.Wait(100);
  EXPECT_EQ(game.Caption("lbl1(0)"), "二頁目");
}

TEST_F(ComfortsTest, EverySaveNamesItsBookmarkAndSaysWhetherItWorked) {
  Begin(0);
  game.Menu("menuSAVE(1)");
  EXPECT_EQ(comforts().notice(), "しおり１に保存しました");
  EXPECT_EQ(overlay().notice, "しおり１に保存しました");
  game.Wait(3000);
  EXPECT_FALSE(overlay().notice) << "gone after a few seconds";
  std::filesystem::create_directory(game.dir().path() / "data3.rgd");
  game.Menu("menuSAVE(2)");  // its file is data3.rgd
  ASSERT_TRUE(comforts().notice());
  const std::string failed = "しおり２に保存できませんでした：";
  EXPECT_EQ(comforts().notice()->rfind(failed, 0), 0U) << *comforts().notice();
  EXPECT_GT(comforts().notice()->size(), failed.size()) << "and why";
  game.RightClick("Picture1");
  game.Click("lblMLT(1)");  // the in-game menu's save, to the story's own bookmark
  EXPECT_EQ(comforts().notice(), "しおり３に保存しました");
  EXPECT_EQ(game.Caption("lblMLT(1)"), "▼セーブしました▼") << "beside the menu's own acknowledgement";
}

TEST_F(ComfortsTest, PreferencesReadBackAndSurviveBadLines) {
  Preferences changed;
  ASSERT_TRUE(changed.Set("music_volume", "40"));
  ASSERT_TRUE(changed.Set("keep_early_click", "on"));
  std::vector<std::string> problems;
  EXPECT_EQ(Preferences::Parse(changed.Format(), problems), changed);
  EXPECT_TRUE(problems.empty());

  const Preferences damaged =
      Preferences::Parse("music_volume=140\nauto_delay=800\nloud\nclick_shows_page=maybe\nvolume=3\n", problems);
  EXPECT_EQ(problems.size(), 4U);
  EXPECT_EQ(damaged.music_volume, 100) << "a bad value keeps the default";
  EXPECT_EQ(damaged.auto_delay, 800);

  Begin(0);
  ASSERT_TRUE(comforts().SetPreference("music_volume", "25"));
  EXPECT_EQ(game.wave().log().back(), "volume 25") << "applied at once";
  EXPECT_FALSE(comforts().SetPreference("music_volume", "-1"));
}

// The driver's comfort commands reach the same core, and the dump shows what they did.
TEST_F(ComfortsTest, TheDriverDrivesTheComfortsAndDumpsThem) {
  game.Create();
  const auto drive = [this](const std::string& script, std::string& err) {
    std::istringstream in(script);
    std::ostringstream out;
    std::ostringstream errors;
    const int status = RunHeadless({.game_dir = game.dir().path()}, in, out, errors, nullptr);
    err = errors.str();
    return std::pair{status, out.str()};
  };
  std::string err;
  const auto [status, out] = drive(
      "pref keep_early_click on\npref music_volume 30\nkey down\nkey enter\nkey 4\nwait 600\nwheel up\n"
      "hold ctrl\nkey a\ndump\nwheel down\nrelease ctrl\ndump\n",
      err);
  EXPECT_EQ(status, 0) << err;
  EXPECT_NE(
      out.find(
          R"("comforts":{"backlogOpen":true,"backlog":[{"page":1,"lines":["一頁目"]}],"auto":false,)"
          R"("skipRead":false,"textHidden":false,"notice":null,"focus":null,"canGoBack":false,"help":false,"undo":[],)"
          R"("prefs":{"music_volume":30,"auto_delay":1500,"click_shows_page":false,"keep_early_click":true,)"
          R"("language":"auto","translation":"off","text_speed":null,"self_voicing":false,"copy_page_text":false,)"
          R"("speech_rate":100,"speech_voice":""}})"),
      std::string::npos)
      << "the history is open, so neither skip nor auto started\n"
      << out;
  EXPECT_NE(out.find(R"("comforts":{"backlogOpen":false,)"), std::string::npos);
  EXPECT_NE(out.find(R"("volume 30")"), std::string::npos) << "the volume reached the wave device";
  for (const char* bad : {"wheel sideways", "hold shift", "pref loudness 3", "pref music_volume 101", "key f13"}) {
    EXPECT_EQ(drive(std::string(bad) + "\n", err).first, 2) << bad;
    EXPECT_NE(err.find("line 1"), std::string::npos) << bad;
  }
}

}  // namespace
}  // namespace shiori::test
