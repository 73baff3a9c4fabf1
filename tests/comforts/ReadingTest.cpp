#include <gtest/gtest.h>

#include "comforts/Comforts.h"
#include "support/TestGame.h"

namespace shiori::test {
namespace {

// Seven read pages, each with a pause, before a choice; the second answer leads through two read pages to the
// short ending. Music off, so that only the story's timers and the comforts move things.
class ReadingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    game.dir().Write("conf.rgd", "#FALSE#\r\n");
    for (int page = 1; page <= 7; ++page) {
      game.Page(page, PageSpec::Text({"頁" + std::to_string(page), "間", "後"}, {102, 1, 201}, page + 1).Picture(page));
    }
    game.Page(8, PageSpec::Choice({"どうする？", "進む", "終える"}, 1, 1, {9, 20}));
    game.Page(9, PageSpec::Text({"九頁目"}, {203}, 10));
    game.Page(20, PageSpec::Text({"二十頁目"}, {204}, 21));
    game.Page(21, PageSpec::Text({"終"}, {201}, 1).EndingMark(9600));
    game.MarkRange(1, 21);
  }
  void Begin(int text_speed) {
    game.dir().Write("conf2.rgd", std::to_string(text_speed) + "\r\n");
    game.Start();
    game.Click("lblMLT(0)");
    game.Click("lblMLT(3)");
  }
  Comforts& comforts() { return game.engine().comforts(); }

  TestGame game;
};

TEST_F(ReadingTest, SkipShowsEachReadPageWholeAndReachesTheChoiceWithinASecondAtEverySpeed) {
  for (const int speed : {1, 2, 3, 0}) {
    Begin(speed);
    game.Wait(1);
    comforts().HoldCtrl(true);
    game.Wait(0);
    EXPECT_EQ(game.Caption("lbl1(2)"), "後") << "speed " << speed << ": the page whole at once, past its pause";
    game.Wait(Comforts::kSkipDwell / 1000.0 + 1);
    EXPECT_EQ(game.Caption("lbl1(0)"), "頁2") << "speed " << speed << ": a short dwell on each page";
    EXPECT_EQ(game.Caption("lbl1(2)"), "後") << "speed " << speed;
    game.Wait(900);
    EXPECT_TRUE(game.form().lblSEL[0]->visible()) << "speed " << speed << ": seven pages in under a second";
    EXPECT_FALSE(comforts().skip_on()) << "the choice stops it";
    comforts().HoldCtrl(false);
  }
}

TEST_F(ReadingTest, SkipStopsBeforeAnEndingAndTheArrowStartsIt) {
  Begin(2);
  game.Wait(1);
  comforts().SetSkipRead(true);
  game.Wait(1000);
  game.Click("lblSEL(1)");
  comforts().SetSkipRead(true);
  game.Wait(200);
  EXPECT_EQ(game.Caption("lbl1(0)"), "二十頁目");
  EXPECT_FALSE(comforts().skip_on()) << "the next page is an ending, whatever the record says";
  game.Wait(600);
  EXPECT_EQ(game.state().EndingStep, 5) << "the ending, as without skip";
}

}  // namespace
}  // namespace shiori::test
