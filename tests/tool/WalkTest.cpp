#include <gtest/gtest.h>

#include "Walk.h"
#include "support/JsonCheck.h"
#include "tool/ToolFixtures.h"

namespace shiori {
namespace {

// Page 1 pauses once and leads to a choice: the first choice ends the story at page 4, the second reaches the CG
// page 94 of route 3 and a second choice between a short ending (96) and the CG page 142 of route 2, which ends
// the story in full two pages later. Page 50 is on no path. Every page that ends the story pauses, and so does
// the page before it, as the player's ending test needs (see Story.h).
constexpr std::string_view kBranching = R"(
page 1
next 2
| 一\p
| 二
page 2
type choice
choice 3
| 川
choice 94
| 丘
page 3
next 4
| a\p
| a
page 4
next 9501
ending 9501
| b\p
| c
page 50
next 1
| nowhere
page 94
next 95
| cg\p
| more
page 95
type choice
choice 96
| x
choice 142
| y
page 96
next 9502
ending 9502
| short\p
| end
page 142
next 143
| cg2
page 143
next 144
| a\p
| b
page 144
next 9501
ending 9501
| fin\p
| fin
)";

WalkReport Walk() {
  const auto bytes = test::BuildText(kBranching);
  return WalkStory(bytes);
}

TEST(WalkTest, FindsTheFewestClicksToEveryEnding) {
  const WalkReport report = Walk();
  EXPECT_EQ(report.page_count, 144u);
  EXPECT_EQ(report.reachable, (std::vector<std::size_t>{1, 2, 3, 4, 94, 95, 96, 142, 143, 144}));
  ASSERT_EQ(report.endings.size(), 3u);
  EXPECT_EQ(report.endings[0].code, 9501);
  EXPECT_EQ(report.endings[0].page, 4u);
  EXPECT_EQ(FormatPath(report.endings[0].path), "click x 2, choose 1, click x 3");
  EXPECT_EQ(report.endings[1].page, 144u);
  EXPECT_EQ(FormatPath(report.endings[1].path), "click x 2, choose 2, click x 2, choose 2, click x 4");
  EXPECT_EQ(report.endings[2].code, 9502);
  EXPECT_EQ(FormatPath(report.endings[2].path), "click x 2, choose 2, click x 2, choose 1, click x 1");
}

TEST(WalkTest, SplitsTheStoryByGalleryRoute) {
  const WalkReport report = Walk();
  ASSERT_EQ(report.routes.size(), 3u);
  const RouteReach& route1 = report.routes[0];
  EXPECT_TRUE(route1.pages.empty());
  EXPECT_TRUE(std::none_of(route1.cgs.begin(), route1.cgs.end(), [](const CgReach& cg) { return cg.reachable; }));

  const RouteReach& route2 = report.routes[1];
  EXPECT_EQ(route2.pages, (std::vector<std::size_t>{1, 2, 94, 95, 142, 143, 144}));
  EXPECT_EQ(route2.endings, (std::vector<std::int16_t>{9501}));
  const CgReach& cg142 = route2.cgs[1];
  EXPECT_EQ(cg142.page, 142);
  EXPECT_EQ(cg142.picture, "log/0002.log");
  EXPECT_TRUE(cg142.reachable);
  EXPECT_FALSE(cg142.read);  // entered by a choice and never paused on: the player does not mark it

  const RouteReach& route3 = report.routes[2];
  EXPECT_EQ(route3.pages, (std::vector<std::size_t>{1, 2, 94, 95, 96, 142, 143, 144}));
  EXPECT_EQ(route3.endings, (std::vector<std::int16_t>{9501, 9502}));
  ASSERT_EQ(route3.choices.size(), 2u);
  EXPECT_EQ(route3.choices[1].page, 95u);
  EXPECT_EQ(route3.choices[1].targets, (std::array<std::int16_t, 2>{96, 142}));
  EXPECT_TRUE(route3.cgs[10].read);  // page 94 pauses, so the click on its pause marks it
}

TEST(WalkTest, PrintsTextAndJson) {
  const WalkReport report = Walk();
  const std::string text = FormatWalkText(report);
  EXPECT_NE(text.find("data1.rgd: 144 pages, 10 reachable from page 1"), std::string::npos) << text;
  EXPECT_NE(text.find("route 3: 8 pages, 2 choice pages, 1 of 12 CGs can be unlocked\n  pages: 1-2, 94-96, 142-144\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("  CG 2 log/0002.log at page 142: reachable, but never marked read, so never unlocked\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("ending 9502 (short) at page 96: click x 2, choose 2, click x 2, choose 1, click x 1\n"),
            std::string::npos)
      << text;
  const std::string json = FormatWalkJson(report);
  EXPECT_NE(json.find("{\"code\":9501,\"kind\":\"full\",\"page\":4,\"path\":[{\"click\":2},{\"choose\":1},"
                      "{\"click\":3}],\"path_text\":\"click x 2, choose 1, click x 3\"}"),
            std::string::npos)
      << json;
  EXPECT_EQ(json.rfind("{\"pages\":144,\"reachable\":[1,2,3,4,94,95,96,142,143,144],", 0), 0u) << json;
  EXPECT_TRUE(test::IsJsonLine(json.substr(0, json.size() - 1))) << json;

  EXPECT_NE(FormatWalkText(WalkStory({})).find("no ending is reachable"), std::string::npos);
}

TEST(WalkTest, FollowsTheRecordThePlayersEndingTestReads) {
  // Page 1 ends in the run that began it, so the test reads page 2's mark and the short ending starts at once.
  const auto early = WalkStory(test::BuildText("page 1\nnext 2\n| a\npage 2\nnext 9501\nending 9501\n| b\\p\n| c\n"));
  ASSERT_EQ(early.endings.size(), 1u);
  EXPECT_EQ(early.endings[0].code, 2);
  EXPECT_EQ(early.endings[0].page, 1u);
  // With a pause on page 1 the reader gets to page 2, whose own mark starts the full ending.
  const auto full =
      WalkStory(test::BuildText("page 1\nnext 2\n| a\\p\n| a\npage 2\nnext 9501\nending 9501\n| b\\p\n| c\n"));
  ASSERT_EQ(full.endings.size(), 1u);
  EXPECT_EQ(full.endings[0].code, 9501);
  EXPECT_EQ(FormatPath(full.endings[0].path), "click x 3");
  // An ending page without a pause: the test reads the record of page 9501, which the file does not hold.
  EXPECT_TRUE(WalkStory(test::BuildText("page 1\nnext 9501\nending 9501\n| a\n")).endings.empty());
}

TEST(WalkTest, NamesEachDeadEndAndTheWayThere) {
  // The second choice leads to page 5, which pauses and then has no line that ends it; page 6 leads past the file.
  const WalkReport report =
      WalkStory(test::BuildText("page 1\nnext 2\n| a\\p\n| b\n"
                                "page 2\ntype choice\nchoice 3\n| x\nchoice 5\n| y\n"
                                "page 3\nnext 6\n| c\n"
                                "page 5\n| d\\p\n10 | e\n"
                                "page 6\nnext 40\n| f\n"));
  ASSERT_EQ(report.dead_ends.size(), 2u);
  EXPECT_EQ(report.dead_ends[0].page, 5u);
  EXPECT_EQ(report.dead_ends[0].why, "no line ends the page");
  EXPECT_EQ(report.dead_ends[0].pages, (std::vector<std::size_t>{1, 2, 5}));
  EXPECT_EQ(FormatPath(report.dead_ends[0].path), "click x 2, choose 2, click x 1");
  EXPECT_EQ(report.dead_ends[1].why, "its next page 40 is outside the file");
  const std::string text = FormatWalkText(report);
  EXPECT_NE(text.find("no ending is reachable\n"
                      "dead end at page 5 (no line ends the page), reached by pages 1 -> 2 -> 5: click x 2, choose 2, "
                      "click x 1\n"
                      "dead end at page 6 (its next page 40 is outside the file), reached by pages 1 -> 2 -> 3 -> 6: "
                      "click x 2, choose 1, click x 1\n"),
            std::string::npos)
      << text;
  const std::string json = FormatWalkJson(report);
  EXPECT_NE(json.find("\"dead_ends\":[{\"page\":5,\"why\":\"no line ends the page\",\"pages\":[1,2,5],"),
            std::string::npos)
      << json;

  // No dead end, and still no ending: the story goes round.
  const std::string loop = FormatWalkText(WalkStory(test::BuildText("page 1\nnext 2\n| a\npage 2\nnext 1\n| b\n")));
  EXPECT_NE(loop.find("no ending is reachable: every way from page 1 goes round without end, through pages 1-2\n"),
            std::string::npos)
      << loop;
}

}  // namespace
}  // namespace shiori
