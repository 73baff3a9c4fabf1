#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sound/BgmPlayer.h"
#include "sound/WaveSequences.h"
#include "support/TestGame.h"
#include "support/WaveBytes.h"

namespace shiori::test {
namespace {

// A chain of pages 1, 2, 3 ... each typed at once and leading to the next. When a page has been typed the story
// holds the record of the page that follows, so the piece that plays while page n waits is the number of page
// n + 1.
class Music : public ::testing::Test {
 protected:
  void Pages(std::initializer_list<int> numbers) {
    int page = 1;
    for (const int number : numbers) {
      game.Page(page, TestPage::Text({"頁"}, {201}, page + 1).Music(number));
      ++page;
    }
  }

  void Start() {
    game.Start();
    game.state().TextSpeed = 0;
  }

  // From the title screen through the load menu to page 1.
  void StartStory() {
    game.Click("lblMLT(0)");
    game.Click("lblMLT(3)");
  }

  // Opens the next page once the click gate has opened.
  void NextPage() {
    game.Wait(500);
    Mark();
    game.Click("Picture1");
  }

  void Mark() { mark_ = game.wave().log().size(); }
  [[nodiscard]] WaveLog Since() const { return game.WaveSince(mark_); }

  TestGame game;
  std::size_t mark_ = 0;
};

TEST_F(Music, TheTitlePlaysPieceTwelveAndRepeatsItAtItsLength) {
  Pages({1});
  Start();
  EXPECT_EQ(Since(), kStopSequence) << "the stop comes at once";
  EXPECT_EQ(game.state().CurrentMusicNo, 12);
  game.Wait(199.9);
  EXPECT_EQ(Since(), kStopSequence);
  game.Wait(0.1);
  EXPECT_EQ(Since(), kStopSequence + StartSequence("0012"));
  EXPECT_EQ(game.form().timBGM.interval(), 24000);

  Mark();
  game.Wait(23999);
  EXPECT_EQ(Since(), WaveLog{});
  game.Wait(1);
  EXPECT_EQ(Since(), StartSequence("0012"));
  EXPECT_TRUE(game.form().lblFRONT->enabled());
}

TEST_F(Music, OnlyANewNumberChangesThePiece) {
  // Page 1 waits with 1, page 2 with 1 again, page 3 with 2, page 4 with 0, page 5 with 2 again.
  Pages({9, 1, 1, 2, 0, 2, 2});
  Start();
  game.Wait(300);
  Mark();
  StartStory();
  EXPECT_EQ(Since(), kStopSequence);
  game.Wait(200);
  EXPECT_EQ(Since(), kStopSequence + StartSequence("0001"));
  EXPECT_EQ(game.state().CurrentMusicNo, 1);
  EXPECT_EQ(game.form().timBGM.interval(), 57000);
  const std::int64_t started = game.NowMicros();

  NextPage();
  EXPECT_EQ(game.state().CurrentPage, 3);
  EXPECT_EQ(Since(), WaveLog{}) << "the same number is no change";
  game.Wait((started + 57000 * 1000 - game.NowMicros()) / 1000.0 - 1);
  EXPECT_EQ(Since(), WaveLog{});
  game.Wait(1);
  EXPECT_EQ(Since(), StartSequence("0001")) << "the repetition keeps its timing";

  NextPage();
  EXPECT_EQ(Since(), kStopSequence);
  game.Wait(200);
  EXPECT_EQ(Since(), kStopSequence + StartSequence("0002"));
  EXPECT_EQ(game.form().timBGM.interval(), 52000);

  NextPage();
  EXPECT_EQ(Since(), kStopSequence) << "number 0 stops the piece";
  EXPECT_EQ(game.state().CurrentMusicNo, 2);
  EXPECT_TRUE(game.form().timBGM.enabled());
  game.Wait(1000);
  EXPECT_EQ(Since(), kStopSequence);

  NextPage();
  EXPECT_EQ(Since(), WaveLog{}) << "the piece played before is not restarted at once";
  game.Wait(52000);
  EXPECT_EQ(Since(), StartSequence("0002")) << "the running timer plays it again";
}

TEST_F(Music, SwitchingOffClosesAtOnceAndSwitchingOnRestartsThePiece) {
  Pages({9, 2, 2});
  Start();
  StartStory();
  game.Wait(1000);
  ASSERT_EQ(game.state().CurrentMusicNo, 2);

  Mark();
  game.Menu("menuBGM");
  EXPECT_FALSE(game.form().menuBGM.checked());
  EXPECT_EQ(Since(), (WaveLog{"command close", "enabled off"}));
  EXPECT_TRUE(game.form().timBGM.enabled()) << "the timer runs on; its ticks do nothing";
  EXPECT_EQ(game.state().CurrentMusicNo, 2);
  game.Wait(60000);
  NextPage();
  game.Wait(60000);
  EXPECT_EQ(Since(), WaveLog{}) << "with music off the device is left alone";

  Mark();
  game.Menu("menuBGM");
  EXPECT_EQ(Since(), WaveLog{"enabled on"} + kStopSequence);
  game.Wait(1);
  EXPECT_EQ(Since(), WaveLog{"enabled on"} + kStopSequence + StartSequence("0002")) << "the same number starts again";
  EXPECT_EQ(game.form().timBGM.interval(), 52000);
}

TEST_F(Music, SwitchingOnOverTheTitlePlaysPieceTwelve) {
  Pages({1});
  game.dir().Write("conf.rgd", "#FALSE#\r\n");
  Start();
  EXPECT_EQ(game.wave().log(), WaveLog{});
  game.Menu("menuBGM");
  EXPECT_EQ(game.wave().log(), WaveLog{"enabled on"} + kStopSequence);
  game.Wait(1);
  EXPECT_EQ(game.wave().log(), WaveLog{"enabled on"} + kStopSequence + StartSequence("0012"));
}

TEST_F(Music, TheLoadMenuLetsThePieceRunOut) {
  // The story starts on a page waiting with the title's own piece.
  Pages({9, 12, 1});
  Start();
  game.Wait(200);
  Mark();
  game.Click("lblMLT(0)");
  EXPECT_EQ(game.state().PageBuffer.musicNo, 0);
  game.Wait(24000);
  EXPECT_EQ(Since(), WaveLog{}) << "the tick finds 0 and plays nothing";
  EXPECT_TRUE(game.form().timBGM.enabled());

  game.Click("lblMLT(3)");
  EXPECT_EQ(Since(), WaveLog{}) << "the number equals the piece last started";
  game.Wait(24000);
  EXPECT_EQ(Since(), StartSequence("0012")) << "the next tick plays it";
}

TEST_F(Music, ANumberWithoutARowRepeatsAtTheLengthOfItsFile) {
  game.dir().Write("data/0007.wav", WaveBytes(176400, 176400 * 3));
  // 7 has a file of 3 s, 9 has no file at all, 300 is no piece.
  Pages({1, 7, 9, 300});
  Start();
  StartStory();
  game.Wait(200);
  EXPECT_EQ(game.form().timBGM.interval(), 3000);
  Mark();
  game.Wait(3000);
  EXPECT_EQ(Since(), StartSequence("0007"));

  NextPage();
  game.Wait(200);
  EXPECT_EQ(Since(), kStopSequence + StartSequence("0009"));
  EXPECT_EQ(game.form().timBGM.interval(), 60000) << "a length that cannot be told";
  EXPECT_EQ(game.state().CurrentMusicNo, 9);

  NextPage();
  EXPECT_EQ(Since(), WaveLog{});
  game.Wait(60000);
  EXPECT_EQ(Since(), WaveLog{}) << "a number outside 0..255 is ignored";
  EXPECT_EQ(game.state().CurrentMusicNo, 9);
}

}  // namespace
}  // namespace shiori::test
