#include <gtest/gtest.h>

#include "scenario/Typewriter.h"
#include "support/TestGame.h"

namespace shiori::test {
namespace {

constexpr const char* kTen = "一二三四五六七八九十";
constexpr const char* kFive = "あいうえお";

// Starts the story afresh from the title: page 1 types from its first line.
void StartStory(TestGame& game) {
  game.Click("lblMLT(0)");
  game.Click("lblMLT(3)");
}

TEST(Typewriter, TypesUpToAPauseThenToTheEndOfThePage) {
  TestGame game;
  game.Page(1, TestPage::Text({kTen, kTen, kFive, kFive, "見えない行"}, {10, 110, 5, 205, 203}, 7));
  game.Page(7, TestPage::Text({"次"}, {201}, 8));
  game.dir().Write("conf.rgd", "#FALSE#\r\n");  // the music timer would open the click gate on its own
  game.Start();
  StartStory(game);
  PlayState& s = game.state();

  // Normal speed: 30.1 ms after each character, the first one at once.
  EXPECT_EQ(game.Caption("lbl1(0)"), "一");
  game.Wait(30);
  EXPECT_EQ(game.Caption("lbl1(0)"), "一");
  game.Wait(0.1);
  EXPECT_EQ(game.Caption("lbl1(0)"), "一二");
  game.Wait(19 * 30.1 - 30.1);
  EXPECT_EQ(game.Caption("lbl1(1)"), kTen);
  EXPECT_FALSE(game.form().timYAZIRUSI.enabled()) << "the delay follows the last character too";
  game.Wait(30.1);
  EXPECT_TRUE(game.form().timYAZIRUSI.enabled());
  EXPECT_EQ(s.PageState, PageProgress::Paused);
  EXPECT_EQ(s.LineCounter, 3);
  EXPECT_EQ(s.CurrentPage, 1);

  // The gate opens at the first tick; a click before it does nothing.
  game.Click("Picture1");
  EXPECT_EQ(game.Caption("lbl1(2)"), "");
  game.Wait(500);
  EXPECT_TRUE(game.form().lblFRONT->enabled());
  EXPECT_EQ(game.Caption("lblSANKAKU"), "");
  game.Wait(500);
  EXPECT_EQ(game.Caption("lblSANKAKU"), "▽");
  game.Wait(500);
  EXPECT_EQ(game.Caption("lblSANKAKU"), "");

  game.Click("Picture1");
  EXPECT_FALSE(game.form().timYAZIRUSI.enabled());
  game.Wait(10 * 30.1);
  EXPECT_EQ(game.Caption("lbl1(0)"), kTen) << "a pause types on without clearing";
  EXPECT_EQ(game.Caption("lbl1(2)"), kFive);
  EXPECT_EQ(game.Caption("lbl1(3)"), kFive);
  EXPECT_EQ(game.Caption("lbl1(4)"), "");
  EXPECT_EQ(s.PageState, PageProgress::Finished);
  EXPECT_EQ(s.LineCounter, 0);
  EXPECT_EQ(s.CurrentPage, 7);
  game.Wait(500);  // the last wait left the phase at drawing
  EXPECT_EQ(game.Caption("lblSANKAKU"), "▼");
}

TEST(Typewriter, LineCodesDecideCountsAndStops) {
  TestGame game;
  // 0 shows one character; 99 keeps the previous line's count; 120 shows 20 and pauses.
  game.Page(1, TestPage::Text({"abc", "abcdefgh", "abcdefgh", "abcdefghijklmnopqrstuvwxyz"}, {0, 3, 99, 120}, 2));
  game.Start();
  game.state().TextSpeed = 0;  // no pause between characters
  StartStory(game);
  EXPECT_EQ(game.Caption("lbl1(0)"), "a");
  EXPECT_EQ(game.Caption("lbl1(1)"), "abc");
  EXPECT_EQ(game.Caption("lbl1(2)"), "abc");
  EXPECT_EQ(game.Caption("lbl1(3)"), "abcdefghijklmnopqrst");
  EXPECT_EQ(game.state().PageState, PageProgress::Paused);
}

TEST(Typewriter, APageWithoutStopCodeLeavesTheReaderWithoutArrow) {
  TestGame game;
  game.Page(1, TestPage::Text({"a", "b"}, {1, 1}, 2));
  game.Start();
  game.state().TextSpeed = 0;
  StartStory(game);
  EXPECT_EQ(game.state().LineCounter, 1);
  EXPECT_EQ(game.state().PageState, PageProgress::Typing);
  EXPECT_FALSE(game.form().timYAZIRUSI.enabled());
  EXPECT_FALSE(game.form().lblFRONT->enabled());
}

TEST(Typewriter, APauseOnTheLastLineLeavesNothingToType) {
  TestGame game;
  TestPage page = TestPage::Text({}, {}, 2);
  for (int k = 0; k < 11; ++k) page.record.lineCode[k] = 1;
  page.record.lineCode[11] = 101;
  game.Page(1, page);
  game.Start();
  game.state().TextSpeed = 0;
  StartStory(game);
  EXPECT_EQ(game.state().LineCounter, 13);
  game.Wait(500);
  game.Click("Picture1");
  EXPECT_EQ(game.state().LineCounter, 1);
  EXPECT_EQ(game.state().PageState, PageProgress::Typing);
  EXPECT_FALSE(game.form().timYAZIRUSI.enabled());
}

}  // namespace
}  // namespace shiori::test
