#include <gtest/gtest.h>

#include <string>

#include "stage/StageFont.h"
#include "stage/TextLayout.h"

namespace shiori::stage {
namespace {

std::u32string Shown(const TextLine& line) {
  std::u32string text;
  for (const Glyph& glyph : line.glyphs) text.push_back(glyph.code);
  return text;
}

std::vector<std::u32string> ShownLines(const std::vector<TextLine>& lines) {
  std::vector<std::u32string> out;
  for (const TextLine& line : lines) out.push_back(Shown(line));
  return out;
}

TEST(TextLayout, JapaneseFillsItsLinesAndClosingPunctuationNeverBeginsOne) {
  // The load menu's preview box: 21 full-width characters at 13 pixels in 273.
  const TextStyle preview{13, Alignment::Left};
  const auto whole = LayOutText("夕暮れのホームのベンチに、女の子がひとり。", preview, {360, 344, 273, 41});
  ASSERT_EQ(whole.size(), 1U) << "a line that fits exactly keeps its full stop";
  EXPECT_EQ(whole[0].squeeze, 1);
  EXPECT_FLOAT_EQ(whole[0].glyphs.back().x, 360 + 20 * 13);

  // One character more, in a box with room below: it wraps, and the full stop takes its word along.
  const auto wrapped = LayOutText("夕暮れのホームのベンチに、女の子がひとりだ。", preview, {0, 0, 273, 41});
  ASSERT_EQ(wrapped.size(), 2U);
  EXPECT_EQ(Shown(wrapped[1]), U"だ。");
  EXPECT_EQ(wrapped[1].first, 20U);
  EXPECT_FLOAT_EQ(wrapped[1].baseline - wrapped[0].baseline, LinePitch(13));

  // Lines follow each other at the pitch, whole lines only: a third has no room in 27 pixels.
  const auto three = LayOutText("一行目\r\n二行目\r\n三行目", preview, {0, 0, 273, 27});
  EXPECT_EQ(ShownLines(three), (std::vector<std::u32string>{U"一行目", U"二行目"}));
  EXPECT_EQ(three[1].first, 4U) << "CR LF counts as one break";
}

TEST(TextLayout, ALineALittleTooWideIsNarrowedRatherThanWrapped) {
  const TextStyle story{27, Alignment::Left};
  // 23 full-width characters at 27 pixels are 621 wide, a hair more than the 617 of a story line: the space
  // between glyphs gives way, the glyphs keep their shape.
  const std::string line = "ああああああああああああああああああああああ。";
  const auto quiet = LayOutText(line, story, {16, 8, 617, 33});
  ASSERT_EQ(quiet.size(), 1U);
  EXPECT_EQ(quiet[0].squeeze, 1);
  EXPECT_NEAR(quiet[0].glyphs.back().x + 27, 16 + 617, 0.01) << "the line ends at the box's edge";

  // Much wider on a one-line label: the glyphs narrow, up to 12 %.
  const auto narrowed = LayOutText("あああああああああああああああああああああああああ", story, {16, 8, 617, 33});
  ASSERT_EQ(narrowed.size(), 1U);
  EXPECT_NEAR(narrowed[0].squeeze, 617.0f / (25 * 27), 0.001);

  // Wider still, it wraps: the rest is out of sight rather than unreadable.
  const auto cut = LayOutText(std::string(30, 'x'), story, {0, 0, 100, 33});
  EXPECT_EQ(cut.size(), 1U);
}

TEST(TextLayout, LatinWrapsBetweenWordsAndCentresByItsInk) {
  const TextStyle style{20, Alignment::Left};
  const float space = StageFont::Advance(U' ') * 20;
  const float word = LineWidth(U"harbour", 20);
  const auto lines = LayOutText("harbour harbour harbour", style, {0, 0, 2 * word + space + 1, 200});
  ASSERT_EQ(lines.size(), 2U);
  EXPECT_EQ(Shown(lines[0]), U"harbour harbour ") << "the space hangs at the end of the line";
  EXPECT_EQ(Shown(lines[1]), U"harbour");

  const auto centred = LayOutText("harbour ", {20, Alignment::Centre}, {0, 0, 200, 30});
  EXPECT_NEAR(centred[0].glyphs.front().x, (200 - word) / 2, 0.01) << "a trailing space does not shift it";

  // A word wider than the box is cut where it must be, not lost.
  const auto long_word = LayOutText("lighthouse", style, {0, 0, word, 90});
  EXPECT_GE(long_word.size(), 2U);
}

TEST(TextLayout, TheFontShowsHalfWidthKatakanaAndMarksWhatItLacks) {
  EXPECT_EQ(StageFont::Shown(U'ｶ'), U'ｶ');
  EXPECT_FLOAT_EQ(StageFont::Advance(U'ｶ'), 0.5f) << "half-width katakana are half an em";
  EXPECT_EQ(StageFont::Shown(U'髙'), U'髙') << "an IBM extension kanji of code page 932";
  EXPECT_EQ(StageFont::Shown(U'\uE000'), StageFont::kMissing) << "a game's own private character";
  EXPECT_EQ(StageFont::Shown(U'\U0001F600'), StageFont::kMissing);
  const auto line = LayOutText("ｼｵﾐ\xEE\x80\x80", {12, Alignment::Left}, {0, 0, 200, 20});
  EXPECT_EQ(Shown(line[0]), U"ｼｵﾐ〓");
}

TEST(TextLayout, ElisionCutsALongLineAndLeavesAShortOne) {
  EXPECT_EQ(Elided(U"セーブしました", 14, 200), U"セーブしました");
  const std::u32string cut =
      Elided(U"スクリーンショットを保存しました: /home/reader/Pictures/shiori-20261207.png", 14, 200);
  EXPECT_EQ(cut.back(), U'…');
  EXPECT_LE(LineWidth(cut, 14), 200);
  EXPECT_GT(LineWidth(cut, 14), 200 - 14) << "as much as fits is kept";
}

}  // namespace
}  // namespace shiori::stage
