#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sound/WaveSequences.h"
#include "support/TestGame.h"

namespace shiori::test {
namespace {

// Page 1 is the last page of the story. When it has been typed the story holds the record of the page it leads
// to, and that record carries the ending mark, as the scenario data do.
class EndingSequence : public ::testing::Test {
 protected:
  void Story(int ending_page, int mark, bool music) {
    game.Page(1, TestPage::Text({"おしまい"}, {201}, ending_page));
    game.Page(ending_page, TestPage::Text({"終"}, {201}, 1).Music(2).EndingMark(mark));
    if (!music) game.dir().Write("conf.rgd", "#FALSE#\r\n");
    game.Start();
    game.state().TextSpeed = 0;
    game.Click("lblMLT(0)");
    game.Click("lblMLT(3)");  // page 1 is typed at once; the arrow timer's first tick comes 500 ms later
  }

  [[nodiscard]] std::string WindowPicture() { return game.form().picture().value_or("none"); }

  void Mark() { mark_ = game.wave().log().size(); }
  [[nodiscard]] WaveLog Since() const { return game.WaveSince(mark_); }

  void ExpectOnlyTheWindowShows() {
    for (Layer* layer : game.form().LayersBottomUp()) EXPECT_FALSE(layer->visible()) << layer->name();
  }

  TestGame game;
  std::size_t mark_ = 0;
};

TEST_F(EndingSequence, TheFullEndingShowsFivePicturesNineSecondsApart) {
  Story(9501, 9501, true);
  PlayState& s = game.state();
  Form& form = game.form();
  game.Wait(499);
  EXPECT_EQ(s.EndingStep, 0);
  EXPECT_TRUE(form.Picture1.visible());
  Mark();
  game.Wait(1);

  EXPECT_EQ(s.EndingStep, 1);
  EXPECT_EQ(WindowPicture(), "data/e01.rgd");
  ExpectOnlyTheWindowShows();
  EXPECT_FALSE(form.timYAZIRUSI.enabled());
  EXPECT_FALSE(form.menuRIGHT.enabled());
  EXPECT_FALSE(form.menuNEXT.enabled());
  EXPECT_FALSE(form.timBGM.enabled()) << "the story's piece is not repeated";
  EXPECT_TRUE(form.timEND.enabled());
  EXPECT_EQ(Since(), StartSequence("0032"));
  EXPECT_EQ(s.CurrentMusicNo, 2);
  EXPECT_EQ(s.PageBuffer.musicNo, 2);

  for (int step = 2; step <= 5; ++step) {
    game.Wait(8999);
    EXPECT_EQ(WindowPicture(), "data/e0" + std::to_string(step - 1) + ".rgd");
    game.Click("Form");
    EXPECT_EQ(s.EndingStep, step - 1) << "a click while the pictures change does nothing";
    ExpectOnlyTheWindowShows();
    game.Wait(1);
    EXPECT_EQ(WindowPicture(), "data/e0" + std::to_string(step) + ".rgd");
    EXPECT_EQ(s.EndingStep, step);
  }
  game.Wait(8999);
  game.Click("Form");
  EXPECT_EQ(s.EndingStep, 5);
  EXPECT_TRUE(form.timEND.enabled());
  game.Wait(1);
  EXPECT_EQ(s.EndingStep, 6);
  EXPECT_FALSE(form.timEND.enabled());
  EXPECT_EQ(s.CurrentPage, 1);
  EXPECT_EQ(WindowPicture(), "data/e05.rgd");
  game.Wait(120000);
  EXPECT_EQ(Since(), StartSequence("0032")) << "the ending's piece plays once";
  EXPECT_EQ(s.EndingStep, 6);

  Mark();
  game.Click("Form");
  EXPECT_EQ(s.MenuMode, MenuKind::Title);
  EXPECT_EQ(s.EndingStep, 5);
  EXPECT_TRUE(form.Picture2.visible());
  EXPECT_EQ(form.Picture2.picture(), "data/op01.rgd");
  EXPECT_EQ(Since(), kStopSequence) << "the title's piece follows";
  game.Click("Form");
  EXPECT_EQ(s.EndingStep, 5) << "a second click does nothing";
  game.Wait(200);
  EXPECT_EQ(Since(), kStopSequence + StartSequence("0012"));
  game.Click("lblMLT(0)");
  game.Click("Form");
  EXPECT_EQ(s.MenuMode, MenuKind::Load) << "nor does one over the load menu: the counter stays at 5";
}

TEST_F(EndingSequence, AnyOtherPageGivesTheShortEnding) {
  Story(50, 9600, true);
  PlayState& s = game.state();
  game.Wait(499);
  Mark();
  game.Wait(1);
  EXPECT_EQ(s.EndingStep, 5);
  EXPECT_EQ(WindowPicture(), "data/e05.rgd");
  EXPECT_EQ(Since(), StartSequence("0031"));
  game.Wait(8999);
  game.Click("Form");
  EXPECT_EQ(s.MenuMode, MenuKind::None);
  EXPECT_TRUE(game.form().timEND.enabled());
  game.Wait(1);
  EXPECT_EQ(s.EndingStep, 6);
  EXPECT_FALSE(game.form().timEND.enabled());
  EXPECT_EQ(WindowPicture(), "data/e05.rgd");
  game.Click("Form");
  EXPECT_EQ(s.MenuMode, MenuKind::Title);
}

TEST_F(EndingSequence, WithMusicOffTheEndingIsSilentAndSwitchingOnPlaysThePageMusic) {
  Story(50, 9600, false);
  game.Wait(500);
  EXPECT_EQ(game.state().EndingStep, 5);
  game.Wait(9000);
  EXPECT_EQ(game.state().EndingStep, 6);
  EXPECT_EQ(game.wave().log(), WaveLog{});

  game.Menu("menuBGM");
  game.Wait(1);
  EXPECT_EQ(game.wave().log(), WaveLog{"enabled on"} + kStopSequence + StartSequence("0002"))
      << "the record's piece, not the ending's";
}

TEST_F(EndingSequence, TheMarkMustLieAboveNinetyFiveHundred) {
  Story(50, 9500, true);
  game.Wait(5000);
  EXPECT_EQ(game.state().EndingStep, 0);
  EXPECT_FALSE(game.form().timEND.enabled());
  EXPECT_TRUE(game.form().Picture1.visible());
  EXPECT_TRUE(game.form().timYAZIRUSI.enabled());
  EXPECT_EQ(game.form().picture(), std::nullopt);
}

TEST_F(EndingSequence, APauseInsideThePageStartsNothing) {
  // While the page pauses the story holds its own record, which here carries the mark.
  game.Page(1, TestPage::Text({"前半", "後半"}, {101, 201}, 60).EndingMark(9600));
  game.Page(60, TestPage::Text({"次"}, {201}, 61));
  game.Start();
  game.state().TextSpeed = 0;
  game.Click("lblMLT(0)");
  game.Click("lblMLT(3)");
  ASSERT_EQ(game.state().PageState, PageProgress::Paused);
  game.Wait(3000);
  EXPECT_EQ(game.state().EndingStep, 0);
  EXPECT_TRUE(game.form().Picture1.visible());

  // Typed on by a click, the page finishes with that record still held, and the next tick ends the story.
  game.Click("Picture1");
  ASSERT_EQ(game.state().PageState, PageProgress::Finished);
  game.Wait(500);
  EXPECT_EQ(game.state().EndingStep, 5);
  EXPECT_EQ(WindowPicture(), "data/e05.rgd");
}

}  // namespace
}  // namespace shiori::test
