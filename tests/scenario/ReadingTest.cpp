#include <gtest/gtest.h>

#include "support/TestGame.h"

namespace shiori::test {
namespace {

// A story with no pause between characters, so that every page types at once; music off so that only the arrow
// timer opens the click gate.
class Reading : public ::testing::Test {
 protected:
  void SetUp() override { game.dir().Write("conf.rgd", "#FALSE#\r\n"); }
  void Begin() {
    game.dir().Write("conf2.rgd", "0\r\n");
    game.Start();
    game.Click("lblMLT(0)");
    game.Click("lblMLT(3)");
  }
  // Waits for the arrow timer to open the gate, then clicks the story.
  void Advance() {
    game.Wait(500);
    game.Click("Picture1");
  }
  std::string Seen() { return game.dir().Read("data5.rgd"); }

  TestGame game;
};

TEST_F(Reading, AClickAtTheEndOfAPageMarksAndOpensTheNextPage) {
  game.Page(1, TestPage::Text({"はじめ"}, {203}, 2));
  game.Page(2, TestPage::Text({"つぎ", "まだ"}, {2, 202}, 3).Picture(9));
  Begin();
  EXPECT_EQ(game.Caption("lbl1(0)"), "はじめ");
  EXPECT_EQ(game.state().CurrentPage, 2);
  Advance();
  EXPECT_EQ(game.form().Picture1.picture(), "data/0009.rgd");
  EXPECT_EQ(game.Caption("lbl1(0)"), "つぎ");
  EXPECT_EQ(game.Caption("lbl1(1)"), "まだ");
  EXPECT_EQ(game.state().CurrentPage, 3);
  // The click marked the page it opened, as the page it was at.
  EXPECT_EQ(Seen(), std::string("\x01\x02", 2));
  EXPECT_FALSE(game.form().lblFRONT->enabled());
}

TEST_F(Reading, ARightClickOnTheStoryOpensTheInGameMenuInsteadOfAdvancing) {
  game.Page(1, TestPage::Text({"はじめ"}, {203}, 2));
  game.Page(2, TestPage::Text({"つぎ"}, {202}, 3));
  Begin();
  game.Wait(500);
  game.RightClick("lbl1(0)");
  EXPECT_EQ(game.state().MenuMode, MenuKind::InGame);
  EXPECT_TRUE(game.form().Picture2.visible());
  EXPECT_EQ(game.state().CurrentPage, 2);
  EXPECT_EQ(game.Caption("lbl1(0)"), "はじめ");
}

TEST_F(Reading, TheArrowPassesItsClicksToTheStory) {
  game.Page(1, TestPage::Text({"はじめ"}, {203}, 2));
  game.Page(2, TestPage::Text({"つぎ"}, {202}, 3));
  Begin();
  game.Wait(1000);
  EXPECT_EQ(game.Caption("lblSANKAKU"), "▼");
  game.Click("lblSANKAKU");
  EXPECT_EQ(game.Caption("lbl1(0)"), "つぎ");
}

TEST_F(Reading, AFinishedPageLeadingToAChoicePageOpensItOnAClick) {
  game.Page(1, TestPage::Text({"どうする？"}, {205}, 2));
  game.Page(2, TestPage::Choice({"海へ行く", "山へ行く"}, 1, 1, {3, 4}));
  game.Page(3, TestPage::Text({"海だ"}, {202}, 5).Music(2));
  game.Page(4, TestPage::Choice({"やはり", "戻る"}, 1, 1, {0, 2}));
  Begin();
  game.Wait(1000);
  Advance();
  EXPECT_TRUE(game.form().lblSEL[0]->visible());
  EXPECT_EQ(game.Caption("lblSEL(0)").substr(0, 12), "海へ行く");
  EXPECT_EQ(game.state().LastChoicePage, 2);
  EXPECT_TRUE(game.form().timYAZIRUSI.enabled()) << "the arrow keeps running over the choices";
  Advance();  // further clicks are refused
  EXPECT_EQ(game.state().CurrentPage, 2);

  game.Click("lblSEL(1)");
  EXPECT_EQ(game.state().CurrentPage, 4);
  EXPECT_TRUE(game.form().lblSEL[0]->visible()) << "a choice leading to a choice page lays out its choices";
  EXPECT_TRUE(game.form().timYAZIRUSI.enabled()) << "and leaves the arrow timer alone";
  game.Click("lblSEL(0)");  // target 0: nothing at all
  EXPECT_EQ(game.state().CurrentPage, 4);
  EXPECT_TRUE(game.form().lblSEL[1]->visible());
  game.Press("lblSEL(1)", kMiddleButton);
  EXPECT_EQ(game.state().CurrentPage, 4);

  game.Click("lblSEL(1)");
  EXPECT_EQ(game.state().CurrentPage, 2);
  game.Click("lblSEL(0)");
  EXPECT_FALSE(game.form().lblSEL[0]->visible());
  EXPECT_FALSE(game.form().lblSEL[1]->visible());
  EXPECT_EQ(game.Caption("lbl1(0)"), "海だ");
  EXPECT_EQ(game.state().CurrentPage, 5);
  EXPECT_FALSE(game.form().lblFRONT->enabled());
}

TEST_F(Reading, ReturnToThePreviousChoiceShowsTheSameChoicesAgain) {
  game.Page(1, TestPage::Choice({"左", "右"}, 1, 1, {2, 3}).Picture(4));
  game.Page(2, TestPage::Text({"左の道"}, {203}, 9));
  game.Page(3, TestPage::Text({"右の道"}, {203}, 9));
  game.dir().Write("data2.rgd", "1,\"12/01 10:00\",#TRUE#\r\n");
  game.dir().Write("conf2.rgd", "0\r\n");
  game.Start();
  game.Click("lblMLT(0)");
  game.Click("lblMLT(0)");  // resume slot 1: a choice page
  EXPECT_TRUE(game.form().lblSEL[1]->visible());
  game.Click("lblSEL(0)");
  EXPECT_EQ(game.Caption("lbl1(0)"), "左の道");
  game.RightClick("Picture1");
  EXPECT_TRUE(game.form().lblMLT[2]->enabled());
  game.Click("lblMLT(2)");
  EXPECT_EQ(game.state().CurrentPage, 1);
  EXPECT_EQ(game.state().MenuMode, MenuKind::None);
  EXPECT_TRUE(game.form().Picture1.visible());
  EXPECT_EQ(game.form().Picture1.picture(), "data/0004.rgd");
  EXPECT_TRUE(game.form().lblSEL[0]->visible());
  EXPECT_EQ(game.Caption("lbl1(0)"), "");
  game.Click("lblSEL(1)");
  EXPECT_EQ(game.Caption("lbl1(0)"), "右の道");
}

TEST_F(Reading, AClickThroughAnOpenGateWhileNothingWaitsOnlyMarksThePage) {
  game.Page(1, TestPage::Text({"a", "b"}, {1, 1}, 2));  // no stop code: the reader is stuck on purpose
  Begin();
  game.form().lblFRONT->SetEnabled(true);  // as the music timer does
  game.Click("Picture1");
  EXPECT_EQ(Seen(), "\x02");
  EXPECT_FALSE(game.form().lblFRONT->enabled());
  EXPECT_EQ(game.state().CurrentPage, 1);
}

TEST_F(Reading, TheDeveloperJumpOpensAnyPage) {
  game.Page(1, TestPage::Text({"はじめ"}, {203}, 2));
  game.Page(42, TestPage::Text({"零行目", "一行目"}, {203, 203}, 43));
  game.dir().Write("conf2.rgd", "0\r\n");
  game.Start();
  game.form().Picture2.SetVisible(false);
  game.Jump(42);
  // The jump starts at the counter 1, which moves on to line 1.
  EXPECT_EQ(game.Caption("lbl1(0)"), "");
  EXPECT_EQ(game.Caption("lbl1(1)"), "一行目");
  EXPECT_EQ(game.state().CurrentPage, 43);
  game.form().txtDES->SetCaption("page");
  game.Click("comDES");
  EXPECT_EQ(game.state().CurrentPage, 43);
}

TEST_F(Reading, OpeningAnotherPageWhileOneTypesDropsTheRunAndItsRemainingSteps) {
  game.Page(1, TestPage::Text({"とても長い一行目の文章です"}, {213}, 2));
  game.Page(5, TestPage::Choice({"一", "二"}, 1, 1, {1, 1}));
  game.Page(6, TestPage::Text({"", "別の頁"}, {0, 203}, 7));  // the jump starts at line 1
  game.dir().Write("conf2.rgd", "3\r\n");
  game.Start();
  game.Click("lblMLT(0)");
  game.Click("lblMLT(3)");
  game.Wait(200);
  game.Jump(5);  // a choice page while page 1 still types
  game.Wait(5000);
  EXPECT_EQ(game.Caption("lbl1(0)"), "");
  EXPECT_TRUE(game.form().lblSEL[0]->visible());
  EXPECT_FALSE(game.form().menuRIGHT.enabled()) << "the first page's remaining steps were dropped with it";

  game.form().Picture1.SetVisible(true);
  game.Jump(6);
  game.Wait(5000);
  EXPECT_EQ(game.Caption("lbl1(1)"), "別の頁");
}

}  // namespace
}  // namespace shiori::test
