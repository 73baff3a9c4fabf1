#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "comforts/Comforts.h"
#include "stage/StageFrames.h"
#include "stage/WireFormat.h"
#include "support/TestGame.h"

namespace shiori::stage {
namespace {

using test::TestGame;
using test::TestPage;

std::vector<const GlyphRun*> Runs(const DisplayList& list) {
  std::vector<const GlyphRun*> runs;
  for (const Item& item : list.items) {
    if (const auto* run = std::get_if<GlyphRun>(&item.drawing)) runs.push_back(run);
  }
  return runs;
}

std::u32string Text(const GlyphRun& run) {
  std::u32string text;
  for (const Glyph& glyph : run.glyphs) text.push_back(glyph.code);
  return text;
}

const GlyphRun* RunShowing(const DisplayList& list, std::u32string_view text) {
  for (const GlyphRun* run : Runs(list)) {
    if (Text(*run) == text) return run;
  }
  return nullptr;
}

class StageFramesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    game.dir().Write("conf.rgd", "#FALSE#\r\n");
    game.dir().Write("conf2.rgd", "2\r\n");
    game.Page(1, TestPage::Text({"しおりの頁", "二行目"}, {5, 203}, 2));
    game.Page(2, TestPage::Text({"次の頁"}, {203}, 3));
    game.Start();
  }
  void StartStory() {
    game.Click("lblMLT(0)");
    game.Click("lblMLT(3)");
  }

  TestGame game;
  StageFrames frames;
};

TEST_F(StageFramesTest, WhileAPageTypesOnlyTheNewGlyphsCellIsDrawnAgain) {
  const Frame title = frames.Next(game.form());
  EXPECT_TRUE(title.whole) << "the first frame is drawn whole";
  EXPECT_TRUE(frames.Next(game.form()).changed.empty()) << "nothing changed, nothing to draw";

  StartStory();
  game.Wait(1);
  EXPECT_TRUE(frames.Next(game.form()).whole) << "another screen: the layers changed";
  for (int typed = 2; typed <= 5; ++typed) {
    game.Wait(30.1);
    const Frame frame = frames.Next(game.form());
    ASSERT_EQ(frame.changed.size(), 1U) << typed;
    const Box cell = frame.changed.front();
    EXPECT_LE(cell.width, 27 + 4) << "one glyph, with room for its ink";
    EXPECT_LE(cell.height, 30 + 2);
    const GlyphRun* line = RunShowing(*frame.list, std::u32string(U"しおりの頁").substr(0, typed));
    ASSERT_NE(line, nullptr) << typed;
    EXPECT_NEAR(cell.x, line->glyphs.back().x - 1, 0.01) << "the cell of the glyph just typed";
  }
}

TEST_F(StageFramesTest, TheOverlayHidesTheTextAndElidesALongNotice) {
  StartStory();
  game.Wait(2000);
  ASSERT_NE(RunShowing(*frames.Next(game.form()).list, U"しおりの頁"), nullptr);

  ASSERT_TRUE(game.engine().comforts().Key("h"));
  const Frame hidden = frames.Next(game.form());
  EXPECT_EQ(RunShowing(*hidden.list, U"しおりの頁"), nullptr) << "the message lines step aside for the picture";
  EXPECT_FALSE(hidden.changed.empty());

  game.engine().comforts().ShowNotice(std::string(100, 'n') + "の保存先");
  const Frame notice = frames.Next(game.form());
  const GlyphRun* shown = nullptr;
  for (const GlyphRun* run : Runs(*notice.list)) {
    if (!run->glyphs.empty() && run->glyphs.front().code == U'n') shown = run;
  }
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(shown->glyphs.back().code, U'…') << "cut short, not squashed";
  EXPECT_EQ(shown->squeeze, 1);
  EXPECT_LE(shown->glyphs.back().x + 14, 640);
}

TEST_F(StageFramesTest, TheWireFormatCarriesOnlyWhatMeetsTheChangedBoxes) {
  StartStory();
  game.Wait(1);
  const Frame whole = frames.Next(game.form());
  const std::vector<std::uint32_t> all = EncodeFrame(*whole.list, whole.changed, whole.whole);
  ASSERT_GE(all.size(), 8U);
  EXPECT_EQ(all[0], kWireVersion);
  EXPECT_EQ(all[1], 1U) << "whole";
  EXPECT_EQ(all[2], 1U) << "one box: the stage";
  EXPECT_EQ(all[7], whole.list->items.size()) << "every item of a whole frame";

  game.Wait(30.1);
  const Frame typed = frames.Next(game.form());
  const std::vector<std::uint32_t> delta = EncodeFrame(*typed.list, typed.changed, typed.whole);
  EXPECT_EQ(delta[1], 0U);
  EXPECT_LT(delta.size() * 4, 1024U) << "a typed character costs the page a few hundred bytes";
}

}  // namespace
}  // namespace shiori::stage
