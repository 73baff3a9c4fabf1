#include <gtest/gtest.h>

#include "scenario/SkipAndReturn.h"
#include "support/TestGame.h"

namespace shiori::test {
namespace {

class Skip : public ::testing::Test {
 protected:
  void SetUp() override {
    game.dir().Write("conf.rgd", "#FALSE#\r\n");
    game.dir().Write("conf2.rgd", "0\r\n");
  }
  // A chain of text pages from 1 to `last`, each leading to the next, then `then` after the last.
  void Chain(int last, int then) {
    for (int page = 1; page <= last; ++page) {
      game.Page(page, TestPage::Text({"読んだ"}, {203}, page == last ? then : page + 1));
    }
  }
  void Begin() {
    game.Start();
    game.Click("lblMLT(0)");
    game.Click("lblMLT(3)");
  }

  TestGame game;
};

TEST_F(Skip, LandsOnTheNextChoiceThroughReadPagesAndStopsAtAnUnreadOne) {
  Chain(5, 6);
  game.Page(6, TestPage::Choice({"一", "二"}, 1, 1, {1, 1}).Picture(6).Music(3));
  game.MarkRange(1, 6);
  game.MarkPages({4}, 0);  // 0 is not 1: it does not stop a skip
  game.dir().Write("conf2.rgd", "2\r\n");
  Begin();
  game.Menu("menuNEXT");
  EXPECT_EQ(game.state().CurrentPage, 1) << "a skip while the page types does nothing";
  game.Wait(100);
  EXPECT_TRUE(game.form().menuNEXT.enabled());
  game.Menu("menuNEXT");
  EXPECT_EQ(game.state().CurrentPage, 6);
  EXPECT_EQ(game.state().LastChoicePage, 6);
  EXPECT_TRUE(game.form().lblSEL[0]->visible());
  EXPECT_EQ(game.Caption("lbl1(0)"), "");
  EXPECT_EQ(game.Caption("lblSANKAKU"), "");
  EXPECT_FALSE(game.form().timYAZIRUSI.enabled());
  EXPECT_EQ(game.form().Picture1.picture(), "data/0006.rgd");
}

TEST_F(Skip, AFailedSkipLeavesTheStoryAsItWas) {
  Chain(5, 6);
  game.Page(6, TestPage::Choice({"一", "二"}, 1, 1, {1, 1}));
  game.MarkRange(1, 6);
  game.MarkPages({3}, 1);  // unread on the way
  Begin();
  EXPECT_FALSE(game.form().menuNEXT.enabled());
  game.form().menuNEXT.SetEnabled(true);
  game.Wait(500);
  const ScenarioRecord before = game.state().PageBuffer;
  game.Menu("menuNEXT");
  EXPECT_EQ(game.state().CurrentPage, 2);
  EXPECT_EQ(game.state().PageBuffer, before);
  EXPECT_EQ(game.Caption("lbl1(0)"), "読んだ");
}

TEST_F(Skip, NeverEntersAnEnding) {
  Chain(3, 9501);
  game.Page(9501, TestPage::Choice({"一", "二"}, 1, 1, {1, 1}));
  game.Page(10, TestPage::Choice({"x", "y"}, 1, 1, {9502, 0}));
  game.MarkRange(1, 9501);
  Begin();
  EXPECT_FALSE(game.engine().skip().FindNextChoice());
  // A choice page whose first target is an ending ends the search too: the ending test comes first.
  game.state().CurrentPage = 10;
  game.state().PageBuffer = ScenarioRecord::Empty();
  EXPECT_FALSE(game.engine().skip().FindNextChoice());
}

TEST_F(Skip, ExaminesAtMostTwoThousandPages) {
  Chain(3000, 1);
  game.Page(2001, TestPage::Choice({"一", "二"}, 1, 1, {1, 1}));
  game.MarkRange(1, 3000);
  game.Create();
  game.state().CurrentPage = 2;
  EXPECT_EQ(game.engine().skip().FindNextChoice(), 2001) << "1999 links ahead";
  game.state().CurrentPage = 1;
  EXPECT_FALSE(game.engine().skip().FindNextChoice()) << "2000 links ahead";
}

TEST_F(Skip, AChoicePageInTheBufferIsFoundAtOnce) {
  Chain(2, 3);
  game.Page(3, TestPage::Choice({"一", "二"}, 1, 1, {1, 1}));
  Begin();
  game.state().PageBuffer.pageType = ScenarioRecord::kChoicePage;
  EXPECT_EQ(game.engine().skip().FindNextChoice(), game.state().CurrentPage);
}

}  // namespace
}  // namespace shiori::test
