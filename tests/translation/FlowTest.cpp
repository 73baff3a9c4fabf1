#include <gtest/gtest.h>

#include <string>

#include "stage/StageFont.h"
#include "stage/TextLayout.h"
#include "translation/Flow.h"

namespace shiori::test {
namespace {

using Lines = std::array<std::optional<FlowText>, ScenarioRecord::kLineCount>;

constexpr MessageArea kArea{};
const std::string kLong =
    "The train of only two carriages came to a stop at the end of July, and when I stepped down, the smell of "
    "the sea came in.";

float Width(const std::string& row) { return stage::LineWidth(stage::CodePoints(row), kArea.pixel_size); }

std::string Joined(const FlowedLine& line) {
  std::string all;
  for (const std::string& row : line.rows) all += (all.empty() ? "" : " ") + row;
  return all;
}

TEST(Flow, LongLinesWrapBetweenWordsAndPushTheLinesAfterThemDown) {
  Lines lines;
  lines[0] = FlowText{kLong, 0};
  lines[1] = FlowText{"　短い原文の行", 7};
  lines[2] = FlowText{"Two\nparts", 0};
  const FlowedPage page = FlowLines(lines, kArea);
  EXPECT_FALSE(page.cut);
  const FlowedLine& first = page.lines[0];
  ASSERT_EQ(first.rows.size(), 3U);
  EXPECT_EQ(Joined(first), kLong) << "every word is shown, the spaces at the breaks dropped";
  for (const std::string& row : first.rows) {
    EXPECT_LE(Width(row), kArea.width * 1.02f) << row;
    EXPECT_FALSE(row.ends_with(' ')) << row;
  }
  EXPECT_EQ(first.steps, kLong.size() - 2) << "a step per character shown";
  EXPECT_EQ(page.lines[1].first_row, 3);
  EXPECT_EQ(page.lines[1].rows, std::vector<std::string>{"　短い原文の行"}) << "an original line as it is";
  EXPECT_EQ(page.lines[1].steps, 7U);
  EXPECT_EQ(page.lines[2].first_row, 4);
  EXPECT_EQ(page.lines[2].rows, (std::vector<std::string>{"Two", "parts"})) << "a translator's break";
  EXPECT_FALSE(page.lines[3].rows.size()) << "lines never shown take no row";
}

TEST(Flow, TypingWalksThroughTheRowsOfALine) {
  FlowedLine line{2, {"abc", "de"}, 9};
  EXPECT_EQ(line.Typed(1), std::pair(2, std::string("a")));
  EXPECT_EQ(line.Typed(3), std::pair(2, std::string("abc")));
  EXPECT_EQ(line.Typed(4), std::pair(3, std::string("d")));
  EXPECT_EQ(line.Typed(9), std::pair(3, std::string("de"))) << "steps past the text keep the row whole";
  EXPECT_FALSE(FlowedLine{}.Typed(1)) << "a line without rows shows nothing";
}

TEST(Flow, BlankLinesGiveWayBeforeAnythingIsCutAndACutIsShown) {
  Lines lines;
  for (std::size_t k = 0; k < 12; k += 2) {
    lines[k] = FlowText{"A sentence that is short.", 0};
    lines[k + 1] = FlowText{" ", 1};
  }
  lines[0] = FlowText{kLong, 0};  // three rows: with every blank line the page needs fourteen
  const FlowedPage fits = FlowLines(lines, kArea);
  EXPECT_FALSE(fits.cut);
  EXPECT_TRUE(fits.lines[1].rows.empty()) << "the blank line gave its row away";
  EXPECT_EQ(fits.lines[1].steps, 1U) << "and keeps its pacing";
  EXPECT_EQ(fits.lines[10].first_row, 7);
  EXPECT_EQ(RowsNeeded(lines, kArea), 8U);

  for (std::size_t k = 1; k < 12; k += 2) lines[k] = FlowText{kLong, 0};
  const FlowedPage cut = FlowLines(lines, kArea);
  EXPECT_TRUE(cut.cut);
  int last_row = -1;
  std::string last_text;
  for (const FlowedLine& line : cut.lines) {
    for (std::size_t i = 0; i < line.rows.size(); ++i) {
      last_row = line.first_row + static_cast<int>(i);
      last_text = line.rows[i];
    }
  }
  EXPECT_EQ(last_row, 11) << "nothing lands below the message area";
  EXPECT_TRUE(last_text.ends_with("…")) << last_text;
  EXPECT_GT(RowsNeeded(lines, kArea), 12U);
}

TEST(Flow, ALabelFitsItsTextOrNot) {
  EXPECT_TRUE(FitsLabel("Go to the sea", 27, 560, 30));
  EXPECT_FALSE(FitsLabel(kLong, 27, 560, 30));
  EXPECT_TRUE(FitsLabel(kLong, 27, 560, 90));
  EXPECT_FALSE(FitsLabel("one\r\ntwo", 27, 560, 30)) << "a second line needs a second row";
}

}  // namespace
}  // namespace shiori::test
