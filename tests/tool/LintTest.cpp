#include <gtest/gtest.h>

#include <filesystem>

#include "Lint.h"
#include "support/PictureBytes.h"
#include "support/WaveBytes.h"
#include "tool/ToolFixtures.h"

namespace shiori {
namespace {

using test::ChainStory;
using test::GameFixture;

std::vector<std::string> Lines(const LintReport& report) {
  std::vector<std::string> lines;
  for (const Diagnostic& d : report.diagnostics) lines.push_back(d.ToString());
  return lines;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\n";
  return text;
}

// The clean story with `extra` page blocks added after it.
LintReport LintWith(const std::string& extra) {
  GameFixture game;
  game.WriteScenario(ChainStory(test::CgPagesInOrder()) + extra);
  return LintGame(game.dir().path());
}

void ExpectFinding(const LintReport& report, const std::string& expected) {
  const auto lines = Lines(report);
  EXPECT_NE(std::find(lines.begin(), lines.end(), expected), lines.end()) << "want: " << expected << "\ngot:\n"
                                                                          << Joined(lines);
}

TEST(LintTest, ACompleteGameIsClean) {
  const LintReport report = LintWith("");
  EXPECT_TRUE(report.diagnostics.empty()) << Joined(Lines(report));
  EXPECT_FALSE(report.HasErrors());
}

TEST(LintTest, FindsBrokenTargets) {
  const LintReport report = LintWith(
      "page 2\npicture 1\nnext 0\n| a\n"
      "page 3\npicture 1\nnext 4000\n| a\n"
      "page 4\npicture 1\nnext 5\n| a\n"  // page 5 is an empty record between the pages
      "page 6\npicture 1\nnext 9501\n| a\\p\n| b\n"
      "page 8\npicture 1\nnext 9501\nending 9501\n| a\n"
      "page 9\npicture 1\nnext 10\n| a\npage 10\npicture 1\nnext 9501\nending 9501\n| b\\p\n| c\n");
  EXPECT_TRUE(report.HasErrors());
  ExpectFinding(report, "data1.rgd: page 2: error: the next page is 0");
  ExpectFinding(report, "data1.rgd: page 3: error: the next page is page 4000, outside the file (pages 1-3198)");
  ExpectFinding(report, "data1.rgd: page 4: error: the next page is page 5, an empty record");
  ExpectFinding(report,
                "data1.rgd: page 6: error: next is the ending code 9501 but the page's endingMark is 0: "
                "the ending would not start (give the page an endingMark above 9500)");
  ExpectFinding(report,
                "data1.rgd: page 8: error: the ending would not start: the page does not pause, so when it ends "
                "the ending test reads record 9501, which carries no endingMark above 9500 (write page 9501 with "
                "'ending 9501', or give this page a pause and the mark)");
  ExpectFinding(report,
                "data1.rgd: page 9: error: the next page 10 carries endingMark 9501, and this page does not "
                "pause, so the ending test reads that page's record when this page ends: the short ending "
                "starts before page 10 is shown (give this page a pause)");
  ExpectFinding(report,
                "data1.rgd: warning: no path from page 1 reaches 7 pages (likely cut off by the broken links above): "
                "2-4, 6, 8-10");
}

TEST(LintTest, OneBrokenLinkComesFirstAndWhatItCutsOffIsGroupedAfter) {
  GameFixture game;
  std::string story = ChainStory(test::CgPagesInOrder());
  const std::string link = "next 94\n";
  story.replace(story.find(link), link.size(), "next 5000\n");  // page 1 no longer leads anywhere
  game.WriteScenario(story);
  const std::vector<std::string> lines = Lines(LintGame(game.dir().path()));
  ASSERT_EQ(lines.size(), 3U) << Joined(lines);
  EXPECT_EQ(lines[0], "data1.rgd: page 1: error: the next page is page 5000, outside the file (pages 1-3198)");
  EXPECT_TRUE(
      lines[1].starts_with("data1.rgd: error: 38 CGs unlock on pages that no path from page 1 reaches "
                           "(likely cut off by the broken links above): log/0001.log (page 394), "))
      << lines[1];
  EXPECT_TRUE(lines[2].starts_with("data1.rgd: warning: no path from page 1 reaches 38 pages")) << lines[2];

  const LintReport clean = LintWith("");
  EXPECT_EQ(clean.Summary(), "data1.rgd: 39 of 39 pages reachable, 0 problems");
  EXPECT_EQ(LintGame(game.dir().path()).Summary(),
            "data1.rgd: 1 of 39 pages reachable, 3 problems (2 errors, 1 warning)");
}

TEST(LintTest, FindsPagesThatHoldTheReader) {
  const LintReport report = LintWith(
      "page 2\npicture 1\nnext 1\n10 | no stop code\n"
      "page 3\npicture 1\ntype 3\n"
      "page 4\npicture 1\ntype inert\n"
      "page 5\npicture 1\ntype choice\nchoice 0\n| a\nchoice 0\n| b\n"
      "page 6\npicture 1\ntype choice\nchoice-lines 5 1\ntargets 1 0 0 7\n| a\n"
      "page 7\npicture 1\nnext 1\nending 9502\n| a\\p\n| b\n");
  ExpectFinding(report,
                "data1.rgd: page 2: error: no line ends the page (a code from 200 to 255): the reader "
                "would be stuck after its last line");
  ExpectFinding(report, "data1.rgd: page 3: error: unknown page type 3 (0 or 1 text, 2 choice, 5 inert)");
  ExpectFinding(report,
                "data1.rgd: page 4: warning: an inert page (type 5): a click cannot leave it, only the menus can");
  ExpectFinding(report, "data1.rgd: page 5: error: neither choice has a target: the reader would be stuck");
  ExpectFinding(report, "data1.rgd: page 6: error: choiceLines 5 1: each of the two choices takes 1 to 4 lines");
  ExpectFinding(report, "data1.rgd: page 6: warning: choice 2 has target 0: clicking it does nothing");
  ExpectFinding(report, "data1.rgd: page 6: warning: target[3] is never offered: the player shows two choices");
  ExpectFinding(report,
                "data1.rgd: page 7: warning: endingMark 9502 starts the short ending when the page ends; its "
                "next page 1 is never shown (use 'next 9501' for the full ending)");
}

TEST(LintTest, FindsTextTheReaderNeverSees) {
  const LintReport report = LintWith(
      "page 2\npicture 1\nnext 1\n3 | 五文字の行\n203 | end\n| after the end\n"
      "page 3\npicture 1\ntype choice\nchoice 1\n| 川へ\nchoice 1\n| 丘へ\n| \n| \n| \n| \n| \n| \n"
      "page 4\npicture 1\nnext 1\n| ab\\xFFcd\n");
  ExpectFinding(report, "data1.rgd: page 2: warning: line 0 shows 3 of its 5 characters");
  ExpectFinding(report,
                "data1.rgd: page 2: warning: line 2 has text but comes after the line that ends the page, so it "
                "is never shown");
  ExpectFinding(report, "data1.rgd: page 3: error: choiceLines 1 7: each of the two choices takes 1 to 4 lines");
  ExpectFinding(report,
                "data1.rgd: page 4: error: line 0 is not valid Shift-JIS from its byte 2 on (the player shows "
                "U+FFFD there)");
}

TEST(LintTest, FindsMissingFilesAsThePlayerLooksThemUp) {
  GameFixture game;
  game.dir().Write("data/0007.RGD", test::kGifBytes);  // found although its case differs
  std::filesystem::remove(game.dir().path() / "data/op01.rgd");
  std::filesystem::remove(game.dir().path() / "log/0024.log");
  std::filesystem::remove(game.dir().path() / "data/0032.wav");
  game.WriteScenario(ChainStory(test::CgPagesInOrder()) +
                     "page 2\npicture 7\nnext 1\n| a\npage 3\npicture 8\nmusic 9\nnext 1\n| a\n"
                     "page 4\npicture 1\nmusic 300\nnext 1\n| a\n");
  const LintReport report = LintGame(game.dir().path());
  const auto lines = Lines(report);
  ExpectFinding(report, "data/op01.rgd: error: the title screen's picture: missing");
  ExpectFinding(report, "log/0024.log: error: a CG: missing");
  ExpectFinding(report, "data/0032.wav: error: the full ending's music: missing");
  ExpectFinding(report, "data/0008.rgd: error: the picture of page 3: missing");
  ExpectFinding(report, "data/0009.wav: error: the music of page 3: missing");
  ExpectFinding(report, "data1.rgd: page 4: warning: music number 300 is outside 0..255; the player ignores it");
  EXPECT_EQ(Joined(lines).find("page 2: error"), std::string::npos) << Joined(lines);

  std::filesystem::remove(game.dir().path() / "data1.rgd");
  ExpectFinding(LintGame(game.dir().path()), "data1.rgd: error: the scenario file is missing");
}

TEST(LintTest, FindsCgPagesTheGalleryWouldNeverCount) {
  std::vector<int> pages = test::CgPagesInOrder();
  pages.erase(std::find(pages.begin(), pages.end(), 142));
  GameFixture game;
  game.WriteScenario(ChainStory(pages) + "page 142\npicture 1\nnext 1\n| a\n");
  ExpectFinding(LintGame(game.dir().path()),
                "data1.rgd: error: 1 CG unlocks on pages that no path from page 1 reaches: log/0002.log (page 142)");

  // Page 94 entered only by a choice is marked read by the click on its pause; without a pause it never is.
  const std::vector<int> from_94(pages.begin() + 1, pages.end());
  const std::string rest = ChainStory(from_94) + "page 142\npicture 1\nnext 1\n| a\n";
  const std::string choice = "page 1\npicture 1\ntype choice\nchoice 94\n| a\nchoice 94\n| b\n";
  game.WriteScenario(choice + rest);
  EXPECT_EQ(Joined(Lines(LintGame(game.dir().path()))).find("page 94: error"), std::string::npos);
  std::string no_pause = rest;
  const std::string pause = "| 頁94\\p\n";
  no_pause.replace(no_pause.find(pause), pause.size(), "");
  game.WriteScenario(choice + no_pause);
  ExpectFinding(LintGame(game.dir().path()),
                "data1.rgd: page 94: error: CG log/0024.log (route 3, step 11) unlocks on this page, but the player "
                "never marks it read: it is only entered by a choice and does not pause (open it with a click, or "
                "give it a pause)");
}

TEST(LintTest, ReportsAnEmptyStartAndACutShortFile) {
  GameFixture game;
  game.dir().Write("data1.rgd", std::string(650, '\0'));
  const LintReport report = LintGame(game.dir().path());
  ExpectFinding(report, "data1.rgd: page 1: error: page 1, where the story starts, is empty");
  ExpectFinding(report,
                "data1.rgd: error: the file holds 1 page and a cut-short record (50 of 600 bytes), but 38 "
                "references lead past its end, so it looks cut short: 38 CGs (pages 94 to 3198)");

  // A whole story with a few bytes more: nothing lies past the end, and the odd tail is a finding of its own.
  const std::vector<std::uint8_t> story = test::BuildText(ChainStory(test::CgPagesInOrder()));
  game.dir().Write("data1.rgd", std::string(story.begin(), story.end()) + std::string(50, '\0'));
  EXPECT_EQ(Joined(Lines(LintGame(game.dir().path()))),
            "data1.rgd: warning: the file ends in a cut-short record (50 of 600 bytes); the player reads the missing "
            "bytes as zero\n");
}

TEST(LintTest, ReportsEachFileThePlayerCouldNotShowOrPlayOnce) {
  GameFixture game;
  game.dir().Write("data/op01.rgd", std::string(3000, '\x5A'));
  game.dir().Write("data/0001.rgd", test::BmpBytes(640, 400).substr(0, 20000));
  game.dir().Write("data/0004.wav", test::WaveBytes(8000, 16000, std::string(500, '\x80')));
  game.dir().Write("log/0000.log", test::kJpegBytes);  // a JPEG under any name is a picture
  game.WriteScenario(ChainStory(test::CgPagesInOrder()));
  const std::vector<std::string> lines = Lines(LintGame(game.dir().path()));
  EXPECT_EQ(Joined(lines),
            "data/0001.rgd: error: the picture of 39 pages (1, 94, 142, 394, 501, 511, 527, 534, 562, 575, 581, 617, "
            "634, 665, 668, 675, 679, 685, 701, 713, 725, 756, 758, 767, 777, 821, 825, 831, 841, 853, 2004, 3107, "
            "3128, 3177, 3185, 3189, 3192, 3195, 3198): a BMP picture cut short in its pixels (10 of 400 rows)\n"
            "data/0004.wav: error: the music of 39 pages (1, 94, 142, 394, 501, 511, 527, 534, 562, 575, 581, 617, "
            "634, 665, 668, 675, 679, 685, 701, 713, 725, 756, 758, 767, 777, 821, 825, 831, 841, 853, 2004, 3107, "
            "3128, 3177, 3185, 3189, 3192, 3195, 3198): a wave file cut short (it holds 500 of the 16000 bytes of "
            "samples its header gives)\n"
            "data/op01.rgd: error: the title screen's picture: not a picture: it starts with 5A 5A 5A 5A, as no BMP, "
            "JPEG, GIF or PNG file does\n");

  // Without its folder, the gallery is one finding, not one per picture.
  std::filesystem::remove_all(game.dir().path() / "log");
  ExpectFinding(LintGame(game.dir().path()),
                "log/: error: the folder is missing, and with it 39 files the game "
                "needs (the gallery)");
  EXPECT_EQ(Lines(LintGame(game.dir().path())).size(), 4U);
}

TEST(LintTest, PutsOneRootFaultAboveWhatFollowsFromIt) {
  GameFixture game;
  const std::vector<std::uint8_t> story = test::BuildText(ChainStory(test::CgPagesInOrder()));
  // Cut inside page 400: the way on from page 394 and 35 CG pages now lie past the end.
  game.dir().Write("data1.rgd", std::string(story.begin(), story.begin() + 399 * 600 + 50));
  const std::vector<std::string> lines = Lines(LintGame(game.dir().path()));
  ASSERT_EQ(lines.size(), 1U) << Joined(lines);
  EXPECT_EQ(lines[0],
            "data1.rgd: error: the file holds 399 pages and a cut-short record (50 of 600 bytes), but 36 references "
            "lead past its end, so it looks cut short: the way on from page 394 and 35 CGs (pages 501 to 3198)");

  // Bytes of another kind under the scenario's name: one finding, not one per record.
  game.dir().Write("data1.rgd", std::string(30000, '\x7F'));
  EXPECT_EQ(Joined(Lines(LintGame(game.dir().path()))),
            "data1.rgd: error: not a scenario file: 50 of its 50 records have no page type the player knows (page "
            "1: type 32639)\n");

  // CG pages the scenario leaves as empty records: one line for them all.
  std::vector<int> pages = test::CgPagesInOrder();
  pages.erase(std::remove_if(pages.begin(), pages.end(), [](int page) { return page > 100 && page < 600; }),
              pages.end());
  game.WriteScenario(ChainStory(pages));
  const std::vector<std::string> empty = Lines(LintGame(game.dir().path()));
  ASSERT_EQ(empty.size(), 1U) << Joined(empty);
  EXPECT_TRUE(empty[0].starts_with("data1.rgd: error: 9 CGs unlock on pages the scenario holds as empty records: "))
      << empty[0];
}

}  // namespace
}  // namespace shiori
