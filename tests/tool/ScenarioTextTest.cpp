#include <gtest/gtest.h>

#include "ScenarioText.h"
#include "scenario/ScenarioRecord.h"
#include "tool/ToolFixtures.h"

namespace shiori {
namespace {

using Bytes = std::vector<std::uint8_t>;

void ExpectRoundTrip(const Bytes& original) {
  const std::string text = DumpScenario(original);
  const auto rebuilt = BuildScenario(text, "dump.txt");
  ASSERT_TRUE(rebuilt.ok()) << rebuilt.error() << "\n" << text;
  ASSERT_EQ(rebuilt.value(), original) << text;
}

Bytes Record(const ScenarioRecord& record) { return record.Encode(); }

ScenarioRecord TextPage(std::int16_t next, std::vector<std::string> lines, std::vector<std::uint8_t> codes) {
  ScenarioRecord record = ScenarioRecord::Empty();
  record.pictureNo = 3;
  record.musicNo = 4;
  record.target[0] = next;
  for (std::size_t k = 0; k < lines.size(); ++k) record.lineText[k] = lines[k];
  std::copy(codes.begin(), codes.end(), record.lineCode.begin());
  return record;
}

TEST(ScenarioTextTest, MadeUpScenariosComeBackByteForByte) {
  Bytes file;
  const auto append = [&](const Bytes& record) { file.insert(file.end(), record.begin(), record.end()); };
  // An ordinary text page, with a pause, a code of 99 and lines the code cuts short.
  append(Record(TextPage(2, {"春の朝。", "鳥が鳴く。", "続き", "終わり"}, {4, 105, 99, 203})));
  // A choice page laid out as the player expects, and one whose layout the `choice` blocks cannot hold.
  ScenarioRecord choice = TextPage(0, {"川へ", "丘へ", "寄り道"}, {2, 2, 3});
  choice.pageType = 2;
  choice.target = {5, 6, 0, 0};
  choice.choiceLines = {1, 2};
  append(Record(choice));
  choice.choiceLines = {5, 0};
  choice.target = {5, 6, 7, -8};
  append(Record(choice));
  // An empty page in between, then a page with every field odd: negative numbers, a type no one tests,
  // reserved bytes, NUL padding, bytes that are no Shift-JIS, a cut double-byte character, a backslash.
  append(Bytes(600, 0));
  ScenarioRecord odd = TextPage(9501, {}, {0, 255, 99, 100, 200});
  odd.startMark = -1;
  odd.pageType = 3;
  odd.endingMark = 9502;
  Bytes bytes = Record(odd);
  bytes[18] = 0xAB;
  bytes[35] = 1;
  bytes[47] = 0xFF;
  for (std::size_t i = 48; i < 600; ++i) bytes[i] = 0;
  const std::string line = "a\\b\x85\x40\x01 \xFF" + std::string(35, 'x') + "\x82";  // 46 bytes
  std::copy(line.begin(), line.end(), bytes.begin() + 48);
  bytes[48 + 46] = ' ';  // a line of one blank and NULs on a NUL-padded page
  append(bytes);
  ExpectRoundTrip(file);

  // Empty records at the end of the file and a cut-short last record.
  append(Bytes(1200, 0));
  ExpectRoundTrip(file);
  file.push_back(0);
  file.push_back(7);
  ExpectRoundTrip(file);
  ExpectRoundTrip({});
  ExpectRoundTrip(Bytes(599, 0x20));
}

TEST(ScenarioTextTest, HandWrittenTextGetsItsCodesComputed) {
  const Bytes bytes = test::BuildText(R"(# a comment
page 1
picture 17
music 4
next 2
| 　春の朝。\p
|

| 窓の外で鳥が鳴いている。

page 3
type choice
  choice 4
  | 川へ
  choice 0
  | 丘の
  | 神社へ
page 4
type inert
| 三文字\p
| abc
120 | 明示
)");
  ASSERT_EQ(bytes.size(), 4u * 600);
  const ScenarioRecord first = ScenarioRecord::Decode(std::span(bytes).subspan(0, 600));
  EXPECT_EQ(first.pictureNo, 17);
  EXPECT_EQ(first.musicNo, 4);
  EXPECT_EQ(first.target[0], 2);
  EXPECT_EQ(test::CodeOf(bytes, 1, 0), 105);  // full-width blank and four characters, then a pause
  EXPECT_EQ(test::CodeOf(bytes, 1, 1), 0);    // an empty line
  EXPECT_EQ(test::CodeOf(bytes, 1, 2), 212);  // the last line ends the page
  EXPECT_EQ(test::CodeOf(bytes, 1, 3), 0);
  EXPECT_EQ(first.lineText[2].substr(0, 36), "窓の外で鳥が鳴いている。");
  EXPECT_EQ(std::count(bytes.begin(), bytes.begin() + 600, 0x20), 12 * 46 - 2 - 8 - 24);

  EXPECT_TRUE(std::all_of(bytes.begin() + 600, bytes.begin() + 1200, [](auto b) { return b == 0; }));

  const ScenarioRecord choice = ScenarioRecord::Decode(std::span(bytes).subspan(1200, 600));
  EXPECT_EQ(choice.pageType, 2);
  EXPECT_EQ(choice.target, (std::array<std::int16_t, 4>{4, 0, 0, 0}));
  EXPECT_EQ(choice.choiceLines, (std::array<std::uint8_t, 2>{1, 2}));
  EXPECT_EQ(test::CodeOf(bytes, 3, 0), 2);
  EXPECT_EQ(test::CodeOf(bytes, 3, 2), 3);  // the last line of a choice page gets its count, not an end code

  EXPECT_EQ(test::CodeOf(bytes, 4, 0), 103);
  EXPECT_EQ(test::CodeOf(bytes, 4, 1), 3);  // an inert page is no text page: no end code either
  EXPECT_EQ(test::CodeOf(bytes, 4, 2), 120);

  // Escapes give exact bytes; a line fills its 46 bytes exactly, and double-byte characters count once.
  const Bytes escaped =
      test::BuildText("page 1\n| a\\\\b\\x82\\xA0c\\x20\n| xxあいうえおかきくけこさしすせそたちつてとなに\n");
  EXPECT_EQ(std::string(escaped.begin() + 48, escaped.begin() + 55),
            "a\\b\x82\xA0"
            "c ");
  EXPECT_EQ(test::CodeOf(escaped, 1, 0), 6);
  EXPECT_EQ(test::CodeOf(escaped, 1, 1), 200 + 2 + 22);
}

TEST(ScenarioTextTest, DumpOfHandWrittenTextIsTheReadableForm) {
  const std::string text = R"(page 1
start 1
picture 2
music 4
next 2
| 　春の朝。\p
| 　……起きなきゃ。

page 2
picture 2
type choice
choice 3
| 川沿いの道
choice 9
| 少し遠回りして、
| 丘の上へ

page 3
picture 5
next 9501
ending 9501
7 | 二十文字のうち七文字だけ見せる行です
|

)";
  EXPECT_EQ(DumpScenario(test::BuildText(text)), text);
}

TEST(ScenarioTextTest, MalformedTextNamesFileAndLine) {
  const std::string long_line(47, 'x');
  std::string thirteen_lines = "page 1\n";
  for (int i = 0; i < 13; ++i) thirteen_lines += "| line\n";
  std::string long_tail = "tail";
  for (int i = 0; i < 600; ++i) long_tail += " 00";
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"picture 1\n", "story.txt:1: error: 'picture' outside a page"},
      {"| text\n", "story.txt:1: error: a text line outside a page"},
      {"page 0\n", "story.txt:1: error: '0' is not a page number"},
      {"page 1\n\nfoo 3\n", "story.txt:3: error: unknown keyword 'foo'"},
      {"page 1\npicture 40000\n", "story.txt:2: error: '40000' is not a number from -32768 to 32767"},
      {"page 1\npicture\n", "story.txt:2: error: expected"},
      {"page 1\nmusic 1\nmusic 2\n", "story.txt:3: error: 'music' is given twice"},
      {"page 1\nnext 2\ntargets 1 2 3 4\n", "story.txt:3: error: the targets are given twice"},
      {"page 2\npage 2\n", "story.txt:2: error: page 2 is written twice (first at line 1)"},
      {"page 1\n| " + long_line + "\n", "story.txt:2: error: the text takes 47 bytes in Shift-JIS; a line holds 46"},
      {"page 1\n| €\n", "story.txt:2: error: '€' cannot be written in Shift-JIS"},
      {"page 1\n| a\\q\n", "story.txt:2: error: bad escape '\\q'"},
      {"page 1\n| a\\pb\n", "story.txt:2: error: the pause mark \\p may only end a line"},
      {"page 1\n| a\\x4\n", "story.txt:2: error: bad escape"},
      {"page 1\n| \xFF\n", "story.txt:2: error: the text is not valid UTF-8"},
      {"page 1\n105 | a\\p\n", "story.txt:2: error: a line has either a code or the pause mark"},
      {"page 1\n300 | a\n", "story.txt:2: error: line code '300' is not a number from 0 to 255"},
      {"page 1\n12 a\n", "story.txt:2: error: expected a text line"},
      {thirteen_lines, "story.txt:14: error: a page holds 12 lines"},
      {"page 1\nchoice 3\n| a\n", "story.txt:2: error: 'choice' on a page that is not 'type choice'"},
      {"page 1\ntype choice\n| a\nchoice 3\n", "story.txt:3: error: a text line before the first 'choice'"},
      {"page 1\ntype choice\nchoice 1\nchoice 2\nchoice 3\n", "story.txt:5: error: a choice page lays out two"},
      {"page 1\ntype choice\nnext 4\nchoice 3\n", "story.txt:4: error: 'choice' cannot be used with 'next'"},
      {"page 1\ntype story\n", "story.txt:2: error: unknown page type 'story'"},
      {"page 1\nreserved 16 01\n", "story.txt:2: error: byte 16 is not reserved"},
      {"page 1\nreserved 18 1\n", "story.txt:2: error: '1' is not a byte in two hexadecimal digits"},
      {"page 1\npad zero\n", "story.txt:2: error: pad is 'nul' or 'blank'"},
      {long_tail, "story.txt:1: error: the tail holds at most 599 bytes"},
      {"pages x\n", "story.txt:1: error: 'x' is not a page count"},
  };
  for (const auto& [text, expected] : cases) {
    const auto result = BuildScenario(text, "story.txt");
    ASSERT_FALSE(result.ok()) << text;
    EXPECT_NE(result.error().find(expected), std::string::npos) << "got: " << result.error();
  }
  // Every problem is reported, not only the first.
  const auto several = BuildScenario("page 1\nfoo\nmusic x\n| ok\nbar\n", "s.txt");
  ASSERT_FALSE(several.ok());
  EXPECT_EQ(several.error(),
            "s.txt:2: error: unknown keyword 'foo'\n"
            "s.txt:3: error: 'x' is not a number from -32768 to 32767\n"
            "s.txt:5: error: unknown keyword 'bar'");
}

TEST(ScenarioTextTest, LookAlikesAreWrittenAsCp932HasThemUnlessStrict) {
  const std::string text = "page 1\n| 〜と—\n| −‖¢£¬〜\n";
  const auto built = BuildScenarioText(text, "story.txt", LookAlikes::kReplace);
  ASSERT_TRUE(built.ok()) << built.error();
  EXPECT_EQ(built.value().bytes, test::BuildText("page 1\n| ～と―\n| －∥￠￡￢～\n"));
  EXPECT_EQ(built.value().warnings,
            (std::vector<std::string>{
                "story.txt:2: warning: written as CP932 has them: 〜 as ～ (0x8160), — as ― (0x815C)",
                "story.txt:3: warning: written as CP932 has them: − as － (0x817C), ‖ as ∥ (0x8161), ¢ as ￠ (0x8191), "
                "£ as ￡ (0x8192), ¬ as ￢ (0x81CA), 〜 as ～ (0x8160)"}));
  // The dump shows what the file holds, which builds again to the same bytes without a word.
  const auto again = BuildScenarioText(DumpScenario(built.value().bytes), "dump.txt", LookAlikes::kReplace);
  ASSERT_TRUE(again.ok()) << again.error();
  EXPECT_EQ(again.value().bytes, built.value().bytes);
  EXPECT_TRUE(again.value().warnings.empty());

  const auto strict = BuildScenarioText(text, "story.txt", LookAlikes::kRefuse);
  ASSERT_FALSE(strict.ok());
  EXPECT_EQ(strict.error(),
            "story.txt:2: error: '〜' is not in Shift-JIS as it stands; CP932 has '～' (0x8160) for it (a build "
            "without --strict writes that)\n"
            "story.txt:3: error: '−' is not in Shift-JIS as it stands; CP932 has '－' (0x817C) for it (a build "
            "without --strict writes that)");
}

TEST(ScenarioTextTest, LayoutIsForgiving) {
  // CR LF line ends, a byte-order mark, indentation, trailing blanks and comments between lines.
  const Bytes bytes = test::BuildText("\xEF\xBB\xBFpage 1\r\n  # note\r\n\tnext 2  \r\n  |  two blanks   \r\n");
  EXPECT_EQ(bytes[8], 2);
  EXPECT_EQ(std::string(bytes.begin() + 48, bytes.begin() + 59), " two blanks");
  EXPECT_EQ(test::CodeOf(bytes, 1, 0), 211);
}

}  // namespace
}  // namespace shiori
