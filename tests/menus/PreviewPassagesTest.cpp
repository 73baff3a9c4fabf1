#include <gtest/gtest.h>

#include <set>
#include <string>

#include "menus/PreviewPassages.h"
#include "support/TestGame.h"

namespace shiori::test {
namespace {

TEST(PreviewPassages, AFileIsReadAsBlocksWithCommentsBlanksAndFlushRightLines) {
  const std::vector<std::string> passages = ParsePreviewPassages(
      "# the town\r\n\r\n一行目\r\n\r\n二行目\r\n\r\n> -岬の灯台-\r\n---\n\nonly line\n---\n---\n# nothing\n");
  ASSERT_EQ(passages.size(), 2U) << "empty blocks are no passages";
  // Ten columns of the box's 21 go to "-岬の灯台-" (four full-width characters and two half-width ones).
  std::string spaces;
  for (int i = 0; i < 16; ++i) spaces += "\u3000";
  EXPECT_EQ(passages[0], "一行目\r\n\r\n二行目\r\n\r\n" + spaces + "-岬の灯台-");
  EXPECT_EQ(passages[1], "only line");
  EXPECT_EQ(ParsePreviewPassages("> この行は二十一文字を超えるほど長い一行の文章です")[0],
            "この行は二十一文字を超えるほど長い一行の文章です")
      << "a line too long for the box is not pushed at all";
}

// Opens the load menu from the title `times` times and collects the passages it previewed.
std::set<std::string> PreviewsSeen(TestGame& game, int times) {
  std::set<std::string> seen;
  for (int i = 0; i < times; ++i) {
    game.Click("lblMLT(0)");
    seen.insert(game.Caption("lblMLT(6)"));
    game.Click("lblMLT(5)");  // back to the title
    game.Wait(137);           // the preview is drawn with the clock as its seed
  }
  return seen;
}

TEST(PreviewPassages, TheGamesOwnPassagesOrElsePagesAlreadyReadAndNoEnding) {
  TestGame game;
  game.Page(1, TestPage::Text({"最初の頁"}, {201}, 2));
  game.Page(2, TestPage::Text({"二頁の一行", "二頁の二行"}, {0, 201}, 3));
  game.Page(3, TestPage::Text({"まだ読んでいない"}, {201}, 4));
  game.Page(4, TestPage::Text({"結末の頁"}, {201}, 9501).EndingMark(9501));
  game.Page(5, TestPage::Choice({"右", "左"}, 1, 1, {1, 2}));
  game.MarkPages({1, 2, 4, 5});
  game.Start();
  EXPECT_EQ(PreviewsSeen(game, 30), (std::set<std::string>{"最初の頁", "二頁の一行\r\n二頁の二行"}));

  game.dir().Write(PreviewPassages::kFileName, "春\n---\n夏\n---\n秋\n");
  game.Start();
  EXPECT_EQ(PreviewsSeen(game, 40), (std::set<std::string>{"春", "夏", "秋"}));
}

}  // namespace
}  // namespace shiori::test
