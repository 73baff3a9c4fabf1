#include <gtest/gtest.h>

#include "support/TestGame.h"
#include "translation/StoryText.h"

namespace shiori::test {
namespace {

TEST(StoryText, ShownLinesFollowTheCodesAsTheTypewriterDoes) {
  // A count of 99 keeps the count of the line before it in the same run; after a pause a run starts with none.
  const ScenarioRecord page =
      TestPage::Text({"一二三四五", "六七八九十", "あいうえお", "かきくけこ", "見えない"}, {3, 99, 102, 99, 204}, 2)
          .record;
  const auto lines = ShownLines(page);
  ASSERT_TRUE(lines[3] && lines[4]);
  EXPECT_EQ(lines[0]->text, "一二三");
  EXPECT_EQ(lines[1]->text, "六七八") << "99 keeps the 3 before it";
  EXPECT_EQ(lines[2]->stop, LineStop::Pause);
  EXPECT_EQ(lines[3]->text, "") << "a new run: 99 keeps nothing";
  EXPECT_EQ(lines[3]->count, 0U);
  EXPECT_EQ(lines[4]->text, "見えない");
  EXPECT_EQ(lines[4]->stop, LineStop::PageEnd);
  EXPECT_FALSE(lines[5]) << "nothing after the end of the page";
}

TEST(StoryText, MessagesAreTheShownTextTrimmedWithSpeakersAndChoices) {
  const ScenarioRecord text = TestPage::Text({"　地の文。", "【七海】", "「やっぱり！」", "", "「ふふ」", "隠れた行"},
                                             {8, 4, 7, 0, 104, 230}, 2)
                                  .record;
  const std::vector<StoryMessage> messages = PageMessages(12, text);
  ASSERT_EQ(messages.size(), 5U);
  EXPECT_EQ(messages[0].context, "page 12, line 1");
  EXPECT_EQ(messages[0].original, "地の文。") << "the ideographic indent is trimmed";
  EXPECT_EQ(messages[0].reference, "data1.rgd:12");
  EXPECT_EQ(messages[1].original, "【七海】");
  EXPECT_EQ(messages[2].comment, "speaker: 【七海】");
  EXPECT_EQ(messages[3].context, "page 12, line 5") << "the blank line has no message";
  EXPECT_EQ(messages[3].comment, "") << "a blank line ends what the speaker says";
  EXPECT_EQ(messages[4].original, "隠れた行");

  const ScenarioRecord choice = TestPage::Choice({"海へ行く", "山へ", "　行く"}, 1, 2, {3, 4}).record;
  const std::vector<StoryMessage> choices = PageMessages(7, choice);
  ASSERT_EQ(choices.size(), 2U);
  EXPECT_EQ(choices[1].context, "page 7, choice 2");
  EXPECT_EQ(choices[1].original, "山へ\n行く") << "a choice's lines, each trimmed, apart by LF";
  EXPECT_EQ(MessageOriginal("山へ\r\n　行く  "), "山へ\n行く");
}

}  // namespace
}  // namespace shiori::test
