#include <gtest/gtest.h>

#include "Lint.h"
#include "support/TestGame.h"
#include "translation/PoFile.h"
#include "translation/Review.h"

namespace shiori::test {
namespace {

const std::string kLong =
    "At the end of July the little two-carriage train stopped, and when I stepped onto the platform the sea was in "
    "the air. ";

// A game with a text page, a choice page and a preview passage, and its template filled in by `translate`.
class Review : public ::testing::Test {
 protected:
  Review() {
    game.Page(1, TestPage::Text({"　七月の終わり。", "【七海】", "「おそーい！」"}, {46, 46, 246}, 2));
    game.Page(2, TestPage::Choice({"海へ", "山へ"}, 1, 1, {1, 1}));
    game.dir().Write("preview.txt", "# a scene\n夏の浜辺\n");
    game.Create();
  }

  std::string Template() {
    const Result<GameText> text = ReadGameText(game.dir().path());
    EXPECT_TRUE(text.ok());
    return PoTemplate(GameMessages(text.value()));
  }

  TranslationCheck Check(const std::string& po) {
    return CheckTranslation(game.dir().path(), game.dir().Write("en.po", po));
  }

  static std::string Messages(const TranslationCheck& check) {
    std::string all;
    for (const Diagnostic& d : check.diagnostics) all += d.ToString() + "\n";
    return all;
  }

  TestGame game;
};

TEST_F(Review, TheTemplateNamesEveryMessageWithItsReferenceAndSpeaker) {
  const std::string pot = Template();
  const Result<std::vector<PoEntry>> entries = ParsePo(pot, "game.pot");
  ASSERT_TRUE(entries.ok()) << entries.error();
  std::vector<std::string> contexts;
  for (const PoEntry& entry : entries.value()) contexts.push_back(entry.context);
  EXPECT_EQ(contexts, (std::vector<std::string>{"page 1, line 1", "page 1, line 2", "page 1, line 3",
                                                "page 2, choice 1", "page 2, choice 2", "preview 1"}));
  EXPECT_NE(pot.find("#. speaker: 【七海】\n#: data1.rgd:1\nmsgctxt \"page 1, line 3\""), std::string::npos) << pot;
  EXPECT_NE(pot.find("#: preview.txt:2\n"), std::string::npos) << "the passage's first line, after the comment";

  const TranslationCheck untouched = Check(pot);
  EXPECT_EQ(untouched.messages, 6U);
  EXPECT_EQ(untouched.translated, 0U);
  EXPECT_EQ(untouched.diagnostics.size(), 6U) << "each untranslated, as a warning";
  EXPECT_TRUE(
      untouched.diagnostics[0].ToString().ends_with("en.po: page 1: warning: untranslated: page 1, line 1 "
                                                    "\"七月の終わり。\""))
      << untouched.diagnostics[0].ToString();
}

TEST_F(Review, ACheckFindsWhatDoesNotFitAndWhatIsStaleFuzzyOrBroken) {
  std::string long_page;
  for (int i = 0; i < 6; ++i) long_page += kLong;
  const std::string po = "msgctxt \"page 1, line 1\"\nmsgid \"七月の終わり。\"\nmsgstr \"" + long_page +
                         "\"\n\n"
                         "msgctxt \"page 1, line 2\"\nmsgid \"【ナナミ】\"\nmsgstr \"[Nanami]\"\n\n"
                         "#, fuzzy\nmsgctxt \"page 1, line 3\"\nmsgid \"「おそーい！」\"\nmsgstr \"Late!\"\n\n"
                         "msgctxt \"page 2, choice 1\"\nmsgid \"海へ\"\nmsgstr \"" +
                         kLong +
                         "\"\n\n"
                         "msgctxt \"page 2, choice 2\"\nmsgid \"山へ\"\nmsgstr \"To the hills\"\n\n"
                         "msgctxt \"page 9, line 1\"\nmsgid \"消えた行\"\nmsgstr \"Gone\"\n";
  const TranslationCheck check = Check(po);
  const std::string found = Messages(check);
  const std::string file = (game.dir().path() / "en.po").string();
  EXPECT_NE(found.find(file + ": page 1: error: the text needs 17 rows, the message area has 12"), std::string::npos)
      << found;
  EXPECT_NE(found.find(file + ":6: page 1: warning: stale: page 1, line 2 was \"【ナナミ】\", is now \"【七海】\""),
            std::string::npos)
      << found;
  EXPECT_NE(found.find(file + ":11: page 1: warning: fuzzy: page 1, line 3"), std::string::npos) << found;
  EXPECT_NE(found.find("page 2: error: page 2, choice 1 does not fit its 560 x 30 label"), std::string::npos) << found;
  EXPECT_NE(found.find(file + ":23: warning: stale: the game has no page 9, line 1"), std::string::npos) << found;
  EXPECT_NE(found.find("warning: untranslated: preview 1 \"夏の浜辺\""), std::string::npos) << found;
  EXPECT_EQ(check.translated, 3U);

  const TranslationCheck broken = Check("msgid \"a\"\nmsgstr \"b\"\n\nmsgid \"c\n");
  ASSERT_EQ(broken.diagnostics.size(), 1U);
  EXPECT_EQ(broken.diagnostics[0].ToString(), file + ":4: error: the string has no closing \"");
}

}  // namespace
}  // namespace shiori::test
