#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include "persistence/RouteCgTable.h"
#include "persistence/SeenRecord.h"
#include "support/FolderSnapshot.h"
#include "support/TestGame.h"

namespace shiori::test {
namespace {

constexpr Rgb kWhiteText = 0xFFFFFF;
constexpr Rgb kGreyText = 0xC0C0C0;

// The menu shows `captions` in its first entries, each visible, and hides the rest.
void ExpectEntries(TestGame& game, const std::vector<std::string>& captions) {
  for (std::size_t i = 0; i < game.form().lblMLT.size(); ++i) {
    const Widget& entry = *game.form().lblMLT[i];
    EXPECT_EQ(entry.visible(), i < captions.size()) << i;
    if (i < captions.size()) {
      EXPECT_EQ(entry.caption(), captions[i]) << i;
    }
  }
}

// A short story: two text pages, then a choice.
void WriteStory(TestGame& game) {
  game.Page(1, TestPage::Text({"一二三"}, {203}, 12));
  game.Page(12, TestPage::Text({"十二"}, {202}, 13));
  game.Page(13, TestPage::Choice({"右へ行く", "左へ行く"}, 1, 1, {14, 15}));
  game.Page(14, TestPage::Text({"右"}, {201}, 16));
  game.Page(15, TestPage::Text({"左"}, {201}, 16));
}

// A choice's caption is its field, padded with blanks as the scenario stores it.
std::string ChoiceText(TestGame& game, int index) {
  std::string text = game.Caption("lblSEL(" + std::to_string(index) + ")");
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

void StartAfresh(TestGame& game) {
  game.Click("lblMLT(0)");
  game.Click("lblMLT(3)");
}

TEST(MenuScreens, ColdStartShowsTheTitleMenuWithFourEntries) {
  TestGame game;
  WriteStory(game);
  game.Start();
  EXPECT_EQ(game.state().MenuMode, MenuKind::Title);
  EXPECT_EQ(game.form().Picture2.picture(), "data/op01.rgd");
  EXPECT_TRUE(game.form().Picture2.visible());
  ExpectEntries(game, {"▽物語を読む▽", "▽ＣＧを見る▽", "▽環境設定▽", "▽ゲーム終了▽"});
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(game.form().lblMLT[i]->enabled());
  EXPECT_EQ(game.state().PageBuffer.musicNo, 12) << "the title music is asked for";
  EXPECT_FALSE(game.form().menuRIGHT.enabled());
  EXPECT_FALSE(game.form().menuNEXT.enabled());
  EXPECT_EQ(game.form().menuSAVE[3]->caption(), "データ３");
  EXPECT_TRUE(game.questions().asked().empty());
}

TEST(MenuScreens, LoadMenuListsTheSlotsAndAPreview) {
  TestGame game;
  WriteStory(game);
  game.Page(20, TestPage::Text({"始"}, {201}, 21).StartMark(0));
  game.dir().Write("data2.rgd", "12,\"11/30 09:15\",#TRUE#\r\n");
  game.dir().Write("data4.rgd", "20,\"11/29 23:59\",#FALSE#\r\n");  // its page has startMark 0
  game.Start();
  const auto before = SnapshotFolder(game.dir().path());
  game.Click("lblMLT(0)");

  EXPECT_EQ(game.state().MenuMode, MenuKind::Load);
  EXPECT_EQ(game.form().Picture2.picture(), "data/ld01.rgd");
  EXPECT_TRUE(game.form().Picture2.visible());
  EXPECT_FALSE(game.form().Picture1.visible());
  ExpectEntries(game, {"ロードデータ　その１\r\n11/30 09:15", "ロードデータ　その２\r\nセーブデータがありません",
                       "ロードデータ　その３\r\n始めから", "ロードせずにはじめから読む\r\nしおり３が使用されます", "",
                       "タイトル画面に戻る", ""});
  EXPECT_EQ(game.Caption("lblMLT(6)"), "") << "nothing read yet, and the game brings no passages";

  // The menu holds the page of slot 3, with its music silenced.
  EXPECT_EQ(game.state().CurrentPage, 20);
  EXPECT_EQ(game.state().PageBuffer.musicNo, 0);
  EXPECT_EQ(SnapshotFolder(game.dir().path()), before) << "listing the slots writes nothing";

  // The blank entry and right presses do nothing.
  game.Click("lblMLT(4)");
  game.RightClick("lblMLT(0)");
  EXPECT_EQ(game.state().MenuMode, MenuKind::Load);
  EXPECT_FALSE(game.form().Picture1.visible());
}

TEST(MenuScreens, AnEmptySlotReadsAsStartFromTheBeginningWhenPageOneHasNoStartMark) {
  TestGame game;
  game.Page(1, TestPage::Text({"一"}, {201}, 2).StartMark(0));
  game.Start();
  game.Click("lblMLT(0)");
  EXPECT_EQ(game.Caption("lblMLT(0)"), "ロードデータ　その１\r\n始めから");
}

TEST(MenuScreens, LoadMenuShowsTheSecondBackgroundOnlyWhenEveryCgWasSeen) {
  for (const bool all : {true, false}) {
    TestGame game;
    WriteStory(game);
    for (const auto& route : RouteCgTable()) {
      for (const CgStep& step : route) game.MarkPages({step.page});
    }
    if (!all) game.MarkPages({RouteCgTable()[2][0].page}, SeenRecord::kUnread);
    game.Start();
    game.Click("lblMLT(0)");
    EXPECT_EQ(game.form().Picture2.picture(), std::string(all ? "data/ld02.rgd" : "data/ld01.rgd")) << all;
  }
}

TEST(MenuScreens, StartingAfreshTypesPageOneAndSavesToSlotThree) {
  TestGame game;
  WriteStory(game);
  game.Start();
  StartAfresh(game);
  EXPECT_EQ(game.state().CurrentPage, 1);
  EXPECT_EQ(game.state().CurrentSlot, 3);
  EXPECT_EQ(game.state().MenuMode, MenuKind::None);
  EXPECT_TRUE(game.form().Picture1.visible());
  EXPECT_FALSE(game.form().Picture2.visible());
  EXPECT_EQ(game.Caption("lbl1(0)"), "一");
  game.Wait(1000);
  EXPECT_EQ(game.Caption("lbl1(0)"), "一二三");
  EXPECT_TRUE(game.form().menuRIGHT.enabled());
}

TEST(MenuScreens, InGameMenuOffersTheLastChoiceOnlyOnceOneWasShown) {
  TestGame game;
  WriteStory(game);
  game.Start();
  StartAfresh(game);

  // Opened while page 1 still types: the typing goes on behind the menu.
  game.RightClick("Picture1");
  EXPECT_EQ(game.state().MenuMode, MenuKind::InGame);
  EXPECT_EQ(game.form().Picture2.picture(), "data/rg01.rgd");
  EXPECT_TRUE(game.form().Picture2.visible());
  EXPECT_FALSE(game.form().Picture1.visible());
  ExpectEntries(game, {"▽ロードする▽", "▽現在のしおりに保存する▽", "▽前の選択肢に戻る▽", "▽前の画面に戻る▽"});
  EXPECT_FALSE(game.form().lblMLT[2]->enabled());
  EXPECT_EQ(game.form().lblMLT[2]->fore(), kGreyText);
  EXPECT_EQ(game.form().lblMLT[0]->fore(), kWhiteText);
  game.Click("lblMLT(2)");
  EXPECT_EQ(game.state().MenuMode, MenuKind::InGame) << "a grey entry does not answer";
  game.Wait(1000);
  EXPECT_EQ(game.Caption("lbl1(0)"), "一二三");

  // Back to the story: the menu stays the in-game one.
  game.Click("lblMLT(3)");
  EXPECT_TRUE(game.form().Picture1.visible());
  EXPECT_FALSE(game.form().Picture2.visible());
  EXPECT_EQ(game.state().MenuMode, MenuKind::InGame);

  game.Click("Picture1");
  game.Wait(1000);
  game.Click("Picture1");
  ASSERT_TRUE(game.form().lblSEL[0]->visible());
  EXPECT_EQ(ChoiceText(game, 0), "右へ行く");

  game.RightClick("lblSEL(0)");
  EXPECT_EQ(game.state().MenuMode, MenuKind::InGame);
  EXPECT_TRUE(game.form().lblMLT[2]->enabled());
  EXPECT_EQ(game.form().lblMLT[2]->fore(), kWhiteText);
  game.Click("lblMLT(2)");
  EXPECT_EQ(game.state().MenuMode, MenuKind::None);
  EXPECT_EQ(game.state().CurrentPage, 13);
  EXPECT_TRUE(game.form().Picture1.visible());
  EXPECT_TRUE(game.form().lblSEL[0]->visible());
}

TEST(MenuScreens, SavingFromTheInGameMenuWritesTheCurrentSlot) {
  TestGame game;
  WriteStory(game);
  game.Start();
  StartAfresh(game);
  game.Wait(1000);  // page 1 is finished: the bookmark names the page that follows
  game.RightClick("Picture1");
  game.Click("lblMLT(1)");

  EXPECT_EQ(game.dir().Read("data4.rgd"), "12,\"12/01 14:05\",#TRUE#\r\n");
  EXPECT_EQ(game.form().menuSAVE[3]->caption(), "データ３：12/01 14:05");
  EXPECT_EQ(game.form().menuSAVE[1]->caption(), "データ１");
  EXPECT_EQ(game.Caption("lblMLT(1)"), "▼セーブしました▼");
  EXPECT_EQ(game.state().MenuMode, MenuKind::InGame);
  EXPECT_FALSE(std::filesystem::exists(game.dir().path() / "data2.rgd"));
  EXPECT_FALSE(std::filesystem::exists(game.dir().path() / "data3.rgd"));

  // A second save writes again; the acknowledgement stays until the menu is drawn anew.
  std::filesystem::remove(game.dir().path() / "data4.rgd");
  game.Click("lblMLT(1)");
  EXPECT_TRUE(std::filesystem::exists(game.dir().path() / "data4.rgd"));
  EXPECT_EQ(game.Caption("lblMLT(1)"), "▼セーブしました▼");
  game.Click("lblMLT(3)");
  game.RightClick("Picture1");
  EXPECT_EQ(game.Caption("lblMLT(1)"), "▽現在のしおりに保存する▽");

  // The quick save names its slot; music off is stored but does nothing else.
  game.Click("lblMLT(3)");
  game.Menu("menuBGM");
  game.Menu("menuSAVE(1)");
  EXPECT_EQ(game.dir().Read("data2.rgd"), "12,\"12/01 14:05\",#FALSE#\r\n");
  EXPECT_EQ(game.form().menuSAVE[1]->caption(), "データ１：12/01 14:05");
}

TEST(MenuScreens, ResumingASlotOnAChoicePageShowsItsChoices) {
  TestGame game;
  WriteStory(game);
  game.dir().Write("data3.rgd", "13,\"11/30 09:15\",#FALSE#\r\n");
  game.Start();
  game.Click("lblMLT(0)");
  EXPECT_EQ(game.Caption("lblMLT(1)"), "ロードデータ　その２\r\n11/30 09:15");
  game.Click("lblMLT(1)");

  EXPECT_EQ(game.state().CurrentPage, 13);
  EXPECT_EQ(game.state().CurrentSlot, 2);
  EXPECT_EQ(game.state().MenuMode, MenuKind::None);
  EXPECT_EQ(game.state().LastChoicePage, 13);
  EXPECT_TRUE(game.form().Picture1.visible());
  EXPECT_FALSE(game.form().Picture2.visible());
  EXPECT_EQ(game.form().Picture1.picture(), "data/0002.rgd");
  EXPECT_TRUE(game.form().lblSEL[0]->visible());
  EXPECT_EQ(ChoiceText(game, 0), "右へ行く");
  EXPECT_EQ(ChoiceText(game, 1), "左へ行く");
  EXPECT_EQ(game.Caption("lbl1(0)"), "");
  EXPECT_TRUE(game.form().menuRIGHT.enabled());
  EXPECT_TRUE(game.form().menuNEXT.enabled()) << "slot 2 always offers the skip";
}

TEST(MenuScreens, ResumingAPageZeroBookmarkStartsAtPageOneInThatSlot) {
  TestGame game;
  WriteStory(game);
  game.dir().Write("data2.rgd", "0,\"11/30 09:15\",#TRUE#\r\n");
  game.Start();
  game.Click("lblMLT(0)");
  game.Click("lblMLT(0)");
  EXPECT_EQ(game.state().CurrentSlot, 1);
  EXPECT_EQ(game.Caption("lbl1(0)"), "一");
  game.Wait(1000);
  EXPECT_FALSE(game.form().menuNEXT.enabled()) << "nothing read yet: no skip from slot 1";
  EXPECT_TRUE(game.form().menuRIGHT.enabled());
  game.RightClick("Picture1");
  game.Click("lblMLT(1)");
  EXPECT_EQ(game.dir().Read("data2.rgd"), "12,\"12/01 14:05\",#TRUE#\r\n");
}

TEST(MenuScreens, LeavingTheStoryForTheLoadMenuAsksFirst) {
  TestGame game;
  WriteStory(game);
  game.Start();
  StartAfresh(game);
  game.Wait(1000);
  game.RightClick("Picture1");
  const auto files = SnapshotFolder(game.dir().path());
  const std::string line = game.Caption("lbl1(0)");

  game.Answer(false);
  game.Click("lblMLT(0)");
  ASSERT_EQ(game.questions().asked().size(), 1U);
  EXPECT_EQ(game.questions().asked()[0].text, "現在のゲームを終了しますか？");
  EXPECT_EQ(game.questions().asked()[0].title, "確認");
  EXPECT_EQ(game.state().MenuMode, MenuKind::InGame);
  EXPECT_EQ(game.state().CurrentPage, 12);
  EXPECT_EQ(game.state().CurrentSlot, 3);
  EXPECT_TRUE(game.form().Picture2.visible());
  EXPECT_EQ(game.Caption("lbl1(0)"), line);
  EXPECT_TRUE(game.form().menuRIGHT.enabled());
  EXPECT_EQ(SnapshotFolder(game.dir().path()), files);

  game.Answer(true);
  game.Click("lblMLT(0)");
  EXPECT_EQ(game.state().MenuMode, MenuKind::Load);
  EXPECT_EQ(game.state().CurrentSlot, 0);
  EXPECT_EQ(game.Caption("lbl1(0)"), "");
  EXPECT_FALSE(game.form().menuRIGHT.enabled());
  EXPECT_EQ(SnapshotFolder(game.dir().path()), files) << "the story left is not saved";

  // "タイトル画面に戻る" goes back without a question.
  game.Click("lblMLT(5)");
  EXPECT_EQ(game.state().MenuMode, MenuKind::Title);
  EXPECT_EQ(game.questions().asked().size(), 2U);
  EXPECT_FALSE(game.form().Picture1.visible());
  EXPECT_EQ(game.form().Picture2.picture(), "data/op01.rgd");
}

TEST(MenuScreens, MenuBarReturnsToTheTitleOnlyAfterYes) {
  TestGame game;
  WriteStory(game);
  game.Start();

  // Over the title, the menu command just uncovers it.
  game.Click("lblMLT(2)");
  ASSERT_TRUE(game.form().Picture3.visible());
  game.Menu("menuTITLE");
  EXPECT_FALSE(game.form().Picture3.visible());
  EXPECT_TRUE(game.questions().asked().empty());
  EXPECT_FALSE(game.form().menuEND2.Available()) << "no quick-save menu on the title";

  StartAfresh(game);
  game.Wait(1000);
  game.Click("Picture1");
  game.Wait(1000);
  game.Click("Picture1");  // the choice page
  const auto files = SnapshotFolder(game.dir().path());
  game.Answer(false);
  game.Menu("menuTITLE");
  ASSERT_EQ(game.questions().asked().size(), 1U);
  EXPECT_EQ(game.questions().asked()[0].text, "現在のゲームを終了しますか？");
  EXPECT_EQ(game.state().MenuMode, MenuKind::None);
  EXPECT_EQ(game.state().LastChoicePage, 13);
  EXPECT_TRUE(game.form().Picture1.visible());

  for (const char* quit : {"menuEND", "menuEND2"}) {
    game.Answer(false);
    game.Menu(quit);
    EXPECT_EQ(game.questions().asked().back().text, "ゲームを終了します");
    EXPECT_EQ(game.questions().asked().back().title, "確認");
    EXPECT_FALSE(game.engine().ended());
  }
  EXPECT_EQ(SnapshotFolder(game.dir().path()), files);

  game.Answer(true);
  game.Menu("menuTITLE");
  EXPECT_EQ(game.state().MenuMode, MenuKind::Title);
  EXPECT_EQ(game.Caption("Label2"), "data/0001.wav") << "the file last given to the wave device";
  EXPECT_EQ(game.state().LastChoicePage, 0);
  EXPECT_EQ(game.state().CurrentPage, 0);
  EXPECT_FALSE(game.form().Picture1.visible());
  EXPECT_TRUE(game.form().Picture2.visible());
  EXPECT_EQ(game.form().Picture2.picture(), "data/op01.rgd");
  EXPECT_FALSE(game.form().menuRIGHT.enabled());
  EXPECT_FALSE(game.form().menuNEXT.enabled());
  EXPECT_EQ(game.Caption("lblSEL(0)"), "");

  // From the load menu the question comes too.
  game.Click("lblMLT(0)");
  game.Answer(true);
  game.Menu("menuTITLE");
  EXPECT_EQ(game.questions().asked().back().text, "現在のゲームを終了しますか？");
  EXPECT_EQ(game.state().MenuMode, MenuKind::Title);
}

TEST(MenuScreens, TheDiagnosticsButtonEndsOnThePage) {
  TestGame game;
  WriteStory(game);
  game.dir().Write("preview.txt", "見本");
  game.Start();
  StartAfresh(game);
  game.Wait(1000);
  game.Click("Command2");
  EXPECT_EQ(game.Caption("Label3"), "12") << "the last of the diagnostics is the page";
  EXPECT_EQ(game.Caption("lblMLT(6)"), "見本") << "the preview is drawn too";
}

TEST(MenuScreens, QuittingEndsTheProgram) {
  {
    TestGame game;
    WriteStory(game);
    game.Start();
    game.Click("lblMLT(3)");
    EXPECT_TRUE(game.engine().ended());
    EXPECT_TRUE(game.questions().asked().empty()) << "the title's quit asks nothing";
  }
  {
    TestGame game;
    WriteStory(game);
    game.Start();
    StartAfresh(game);
    game.Wait(1000);  // the quick-save menu comes with the finished first page
    game.Answer(true);
    game.Menu("menuEND2");
    EXPECT_TRUE(game.engine().ended());
    EXPECT_EQ(game.dir().Read("conf2.rgd"), "2\r\n");
  }
}

TEST(MenuScreens, TheCloseBoxAsksOnlyWhileAStoryIsInProgress) {
  const auto close_asks = [](const std::function<void(TestGame&)>& reach) {
    TestGame game;
    WriteStory(game);
    game.Start();
    reach(game);
    game.engine().CloseBox();
    const bool asked = !game.questions().asked().empty();
    if (asked) {
      EXPECT_EQ(game.questions().asked().back().text, "現在のゲームを終了しますか？");
      EXPECT_FALSE(game.engine().ended()) << "No keeps the story";
      game.Answer(true);
      game.engine().CloseBox();
    }
    EXPECT_TRUE(game.engine().ended());
    return asked;
  };
  EXPECT_FALSE(close_asks([](TestGame&) {})) << "the title";
  EXPECT_FALSE(close_asks([](TestGame& game) { game.Click("lblMLT(1)"); })) << "the gallery";
  EXPECT_FALSE(close_asks([](TestGame& game) { game.Click("lblMLT(2)"); })) << "the settings";
  EXPECT_FALSE(close_asks([](TestGame& game) { game.Click("lblMLT(0)"); })) << "the load menu of the title";
  EXPECT_TRUE(close_asks([](TestGame& game) { StartAfresh(game); })) << "a page typing";
  EXPECT_TRUE(close_asks([](TestGame& game) {
    StartAfresh(game);
    game.Wait(1000);
    game.RightClick("Picture1");
  })) << "the in-game menu";
}

}  // namespace
}  // namespace shiori::test
