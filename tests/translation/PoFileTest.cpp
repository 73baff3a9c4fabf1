#include <gtest/gtest.h>

#include <string>

#include "translation/PoFile.h"

namespace shiori::test {
namespace {

std::vector<PoEntry> Parsed(std::string_view text) {
  Result<std::vector<PoEntry>> entries = ParsePo(text, "en.po");
  EXPECT_TRUE(entries.ok()) << (entries.ok() ? "" : entries.error());
  return entries.ok() ? entries.value() : std::vector<PoEntry>{};
}

TEST(PoFile, ReadsWhatEditorsWriteAndLeavesOutHeaderAndObsoleteEntries) {
  const std::vector<PoEntry> entries = Parsed(
      "\xEF\xBB\xBF# translator's comment\r\n"
      "msgid \"\"\r\n"
      "msgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\r\n"
      "\r\n"
      "#. speaker: 【七海】\n"
      "#: data1.rgd:12\n"
      "msgctxt \"page 12, line 3\"\n"
      "msgid \"「やっぱり！」\"\n"
      "msgstr \"\"\n"
      "\"\\\"I knew it!\\\" \"\n"
      "  \"she said.\\tThen:\\n\\101\\x42\"\n"
      "\n"
      "#, fuzzy, c-format\n"
      "msgctxt \"page 12, line 4\"\n"
      "msgid \"七海\"\n"
      "msgstr \"Nanami\"\n"
      "\n"
      "#~ msgctxt \"page 1, line 1\"\n"
      "#~ msgid \"古い\"\n"
      "#~ msgstr \"old\"\n"
      "msgid \"plural\"\n"
      "msgid_plural \"plurals\"\n"
      "msgstr[0] \"one\"\n"
      "msgstr[1] \"many\"\n");
  ASSERT_EQ(entries.size(), 3U);
  EXPECT_EQ(entries[0].context, "page 12, line 3");
  EXPECT_EQ(entries[0].original, "「やっぱり！」");
  EXPECT_EQ(entries[0].translation, "\"I knew it!\" she said.\tThen:\nAB") << "strings join, escapes decode";
  EXPECT_EQ(entries[0].line, 8U);
  EXPECT_FALSE(entries[0].fuzzy);
  EXPECT_TRUE(entries[1].fuzzy) << "the flag belongs to the entry after it";
  EXPECT_EQ(entries[2].translation, "one") << "the first form of a plural";
  EXPECT_FALSE(entries[2].fuzzy) << "a flag does not carry over";
}

TEST(PoFile, FaultsAreReportedWithTheFileAndTheLine) {
  const struct {
    const char* text;
    const char* where_and_what;
  } cases[] = {
      {"msgid \"a\"\nmsgstr \"b\n", "en.po:2: the string has no closing \""},
      {"msgid \"a\"\nmsgstr \"b\" x\n", "en.po:2: text after the closing"},
      {"msgid \"a\"\nmsgstr \"\\q\"\n", "en.po:2: unknown escape \\q"},
      {"msgid \"a\"\nmsgtext \"b\"\n", "en.po:2: unknown keyword msgtext"},
      {"\"stray\"\n", "en.po:1: a string that belongs to no keyword"},
      {"msgstr \"b\"\n", "en.po:1: msgstr is out of place"},
      {"msgctxt \"c\"\nmsgid \"a\"\n\nmsgid \"b\"\nmsgstr \"\"\n", "en.po:4: the message has no msgstr"},
      {"msgid \"a\"\n", "en.po:2: the message has no msgstr"},
      {"msgid \"a\"\nmsgstr \"\xff\"\n", "en.po:2: the string is not UTF-8 text"},
      {"msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=Shift_JIS\\n\"\n",
       "en.po:1: the file declares charset shift_jis"},
      {"msgctxt \"p\"\nmsgid \"a\"\nmsgstr \"\"\n\nmsgctxt \"p\"\nmsgid \"a\"\nmsgstr \"x\"\n",
       "en.po:6: the message \"p\" is given twice (first at line 2)"},
  };
  for (const auto& c : cases) {
    const Result<std::vector<PoEntry>> parsed = ParsePo(c.text, "en.po");
    ASSERT_FALSE(parsed.ok()) << c.text;
    EXPECT_EQ(parsed.error().rfind(c.where_and_what, 0), 0U) << parsed.error();
  }
}

TEST(PoFile, WrittenStringsReadBackAsTheyWere) {
  for (const std::string text :
       {"", "plain", "「引用」と\"quotes\" \\ back", "two\nlines", "ends\n", "\n\nlead", "tab\there"}) {
    const std::string po = "msgid " + PoString(text) + "\nmsgstr " + PoString(text) + "\n";
    if (text.empty()) continue;  // an empty msgid is the header
    const std::vector<PoEntry> entries = Parsed(po);
    ASSERT_EQ(entries.size(), 1U) << po;
    EXPECT_EQ(entries[0].original, text) << po;
  }
  EXPECT_EQ(PoString("a\nb"), "\"\"\n\"a\\n\"\n\"b\"") << "one line of the file per line of text";
}

}  // namespace
}  // namespace shiori::test
