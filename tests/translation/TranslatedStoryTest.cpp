#include <gtest/gtest.h>

#include <sstream>

#include "HeadlessDriver.h"
#include "comforts/Comforts.h"
#include "host/Host.h"
#include "menus/PreviewPassages.h"
#include "support/TestGame.h"
#include "translation/PlayerWords.h"
#include "translation/StoryTranslation.h"

namespace shiori::test {
namespace {

const std::string kArrival =
    "At the end of July the little two-carriage train stopped, and when I stepped onto the platform the sea was "
    "in the air.";

std::string Po(const std::string& entries) {
  return "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n\n" + entries;
}

std::string Entry(const std::string& context, const std::string& original, const std::string& translation,
                  const std::string& flags = "") {
  return flags + "msgctxt \"" + context + "\"\nmsgid \"" + original + "\"\nmsgstr \"" + translation + "\"\n\n";
}

// A story with a translation in its folder, at the text speed `speed` (0: no pause between characters).
class TranslatedStory : public ::testing::Test {
 protected:
  void Begin(int speed = 0) {
    game.dir().Write("conf.rgd", "#FALSE#\r\n");
    game.dir().Write("conf2.rgd", std::to_string(speed) + "\r\n");
    game.Start();
    ASSERT_TRUE(comforts().SetPreference("translation", "en").ok());
    game.Click("lblMLT(0)");
    game.Click("lblMLT(3)");
  }
  void Advance() {
    game.Wait(500);
    game.Click("Picture1");
  }
  Comforts& comforts() { return game.engine().comforts(); }
  std::vector<std::string> Rows() {
    std::vector<std::string> rows;
    for (int k = 0; k < 12; ++k) {
      std::string row = game.Caption("lbl1(" + std::to_string(k) + ")");
      row.erase(row.find_last_not_of(' ') + 1);  // the original lines come padded, as the record holds them
      rows.push_back(row);
    }
    return rows;
  }

  TestGame game;
};

TEST_F(TranslatedStory, LinesFlowAcrossTheMessageAreaAndStopWhereTheOriginalStops) {
  game.Page(1, TestPage::Text({"　七月の終わり、電車が止まった。", "　潮見駅。", "「……あれ？」"}, {46, 146, 246}, 2));
  game.dir().Write("translations/EN.po", Po(Entry("page 1, line 1", "七月の終わり、電車が止まった。", kArrival) +
                                            Entry("page 1, line 2", "潮見駅。", "Shiomi Station.")));
  Begin();
  const std::vector<std::string> first = Rows();
  EXPECT_EQ(first[0] + " " + first[1] + " " + first[2], kArrival) << "three rows, wrapped between words";
  EXPECT_EQ(first[3], "Shiomi Station.") << "the next line starts on the row after";
  EXPECT_EQ(first[4], "") << "the pause stops typing where the original's does";
  EXPECT_EQ(game.state().PageState, PageProgress::Paused);
  EXPECT_EQ(game.state().LineCounter, 3) << "the story's own state is that of the original";

  Advance();
  EXPECT_EQ(Rows()[4], "「……あれ？」") << "an untranslated line shows the original";
  EXPECT_EQ(game.state().PageState, PageProgress::Finished);
  EXPECT_EQ(game.state().CurrentPage, 2);
  const std::vector<std::string>& history = comforts().backlog().entries().back().lines;
  EXPECT_EQ(history[3], "Shiomi Station.") << "the history holds what was shown";
}

TEST_F(TranslatedStory, ATranslatedLineTypesACharacterAtATimeAtTheReadersPace) {
  game.Page(1, TestPage::Text({"七月"}, {202}, 2));
  game.dir().Write("translations/en.po", Po(Entry("page 1, line 1", "七月", "July came.")));
  Begin(1);  // fast: 0.4 ms after each character
  EXPECT_EQ(game.Caption("lbl1(0)"), "J");
  game.Wait(0.4 * 5);
  EXPECT_EQ(game.Caption("lbl1(0)"), "July c");
  game.Wait(0.4 * 5);
  EXPECT_EQ(game.Caption("lbl1(0)"), "July came.");
  EXPECT_EQ(game.state().PageState, PageProgress::Finished) << "ten characters, ten steps";
}

TEST_F(TranslatedStory, ChoicesAreTranslatedAndStaleEmptyOrFuzzyEntriesShowTheOriginal) {
  game.Page(1, TestPage::Text({"変わった行", "空の行", "迷う行"}, {46, 46, 246}, 2));
  game.Page(2, TestPage::Choice({"海へ行く", "山へ", "行く"}, 1, 2, {1, 1}));
  game.dir().Write("translations/en.po",
                   Po(Entry("page 1, line 1", "前の版の行", "Stale") + Entry("page 1, line 2", "空の行", "") +
                      Entry("page 1, line 3", "迷う行", "Fuzzy", "#, fuzzy\n") +
                      Entry("page 2, choice 1", "海へ行く", "Go to the sea") +
                      Entry("page 2, choice 2", "山へ\\n行く", "Go up\\ninto the hills")));
  Begin();
  EXPECT_EQ(Rows()[0], "変わった行") << "the line changed since it was translated";
  EXPECT_EQ(Rows()[1], "空の行");
  EXPECT_EQ(Rows()[2], "迷う行");
  Advance();
  EXPECT_EQ(game.Caption("lblSEL(0)"), "Go to the sea");
  EXPECT_EQ(game.Caption("lblSEL(1)"), "Go up\r\ninto the hills") << "a translator's break is the label's CR LF";
  game.Click("lblSEL(1)");
  const auto& history = comforts().backlog().entries();
  EXPECT_EQ(history[history.size() - 2].lines.back(), "→ Go upinto the hills") << "the choice taken, translated";
}

TEST_F(TranslatedStory, ABrokenTranslationIsNamedWithItsLineAndTheStoryShowsAsWritten) {
  game.Page(1, TestPage::Text({"七月"}, {202}, 2));
  game.dir().Write("translations/en.po", Po(Entry("page 1, line 1", "七月", "July")) + "msgid \"oops\n");
  Begin();
  EXPECT_NE(game.warnings().find("en.po:8: the string has no closing \""), std::string::npos) << game.warnings();
  EXPECT_EQ(comforts().preferences().translation, "off");
  EXPECT_EQ(comforts().notice(), "翻訳を読めませんでした。原文で表示します");
  EXPECT_EQ(game.Caption("lbl1(0)"), "七月");
  EXPECT_FALSE(comforts().SetPreference("translation", "ja").ok() && game.engine().translation().active())
      << "a language the game does not bring";
}

TEST_F(TranslatedStory, TheTextOfAPageTooLongForTheAreaIsCutVisiblyAndReported) {
  std::string long_text;
  for (int i = 0; i < 8; ++i) long_text += kArrival + " ";
  game.Page(1, TestPage::Text({"長い"}, {202}, 2));
  game.dir().Write("translations/en.po", Po(Entry("page 1, line 1", "長い", long_text)));
  Begin();
  EXPECT_TRUE(game.Caption("lbl1(11)").ends_with("…")) << game.Caption("lbl1(11)");
  EXPECT_NE(game.warnings().find("page 1 does not fit the message area"), std::string::npos) << game.warnings();
}

TEST_F(TranslatedStory, PreviewPassagesAreTranslatedAndSetAsTheOriginalIs) {
  game.Page(1, TestPage::Text({"七月"}, {202}, 2));
  game.dir().Write("preview.txt", "# the beach\n\n「おそーい！」\n\n> -夏の浜辺-\n");
  const std::vector<PreviewSource> sources = PreviewSources(game.dir().Read("preview.txt"));
  ASSERT_EQ(sources.size(), 1U);
  EXPECT_EQ(sources[0].text, "「おそーい！」\n\n> -夏の浜辺-") << "as written, for the translator";
  EXPECT_EQ(sources[0].line, 3U);
  game.dir().Write("translations/en.po", Po(Entry("preview 1", "「おそーい！」\\n\\n> -夏の浜辺-",
                                                  "\\\"You're late!\\\"\\n\\n> - The beach -")));
  Begin();
  game.Menu("menuTITLE");
  game.Answer(true);
  game.Click("lblMLT(0)");
  const std::string preview = game.Caption("lblMLT(6)");
  EXPECT_TRUE(preview.starts_with("\"You're late!\"\r\n\r\n")) << preview;
  EXPECT_TRUE(preview.ends_with("\u3000- The beach -")) << "flush right, as the original's place name";
}

TEST(TranslatedDriver, TheCommandLineChoosesATranslationAndTheDumpShowsItAsDisplayed) {
  TestGame game;
  game.Page(1, TestPage::Text({"七月"}, {202}, 2));
  game.dir().Write("conf2.rgd", "0\r\n");
  game.Create();
  const auto drive = [&](const std::filesystem::path& po, std::string& err) {
    HeadlessOptions options{.game_dir = game.dir().path(), .translation = po};
    std::istringstream in("click lblMLT(0)\nclick lblMLT(3)\npref language en\ndump\n");
    std::ostringstream out;
    std::ostringstream errors;
    const int status = RunHeadless(options, in, out, errors, nullptr);
    err = errors.str();
    return std::pair(status, out.str());
  };
  std::string err;
  const auto [status, out] = drive(game.dir().Write("my.po", Po(Entry("page 1, line 1", "七月", "July"))), err);
  EXPECT_EQ(status, 0) << err;
  EXPECT_NE(out.find(R"x("lbl1(0)":{"caption":"July")x"), std::string::npos);
  EXPECT_NE(out.find(R"("language":"en","translation":")" + (game.dir().path() / "my.po").string() + "\""),
            std::string::npos)
      << out;
  const auto [bad_status, bad_out] = drive(game.dir().Write("bad.po", "msgid \"x\"\n"), err);
  EXPECT_EQ(bad_status, 1);
  EXPECT_NE(err.find("bad.po:2: the message has no msgstr"), std::string::npos) << err;
}

TEST(PlayerWords, ThePlayersOwnWordsFollowTheLanguagePreference) {
  EXPECT_EQ(ResolveLanguage("auto", ""), Language::Japanese) << "as the player has always spoken";
  EXPECT_EQ(ResolveLanguage("auto", "C.UTF-8"), Language::Japanese);
  EXPECT_EQ(ResolveLanguage("auto", "ja_JP.UTF-8"), Language::Japanese);
  EXPECT_EQ(ResolveLanguage("auto", "en-GB"), Language::English);
  EXPECT_EQ(ResolveLanguage("auto", "fr_FR"), Language::English) << "a reader who does not read Japanese";
  EXPECT_EQ(ResolveLanguage("ja", "en_US"), Language::Japanese);
  EXPECT_EQ(Say(Language::English, "まだ訳のない言葉"), "まだ訳のない言葉");

  TestGame game;
  game.Page(1, TestPage::Text({"七月"}, {202}, 2));
  game.dir().Write("conf2.rgd", "0\r\n");
  game.Start();
  Comforts& comforts = game.engine().comforts();
  Host host(game.engine(), ShellKind::Desktop);
  EXPECT_EQ(host.MenuBar().back().caption, "読書(&R)");
  comforts.SetSystemLocale("en_US.UTF-8");
  EXPECT_EQ(host.MenuBar().back().caption, "&Reading");
  EXPECT_EQ(host.MenuBar().back().items.front().caption, "Text &history");
  ASSERT_TRUE(comforts.SetPreference("language", "ja").ok());
  EXPECT_EQ(host.MenuBar().back().caption, "読書(&R)") << "the preference wins over the system";
  ASSERT_TRUE(comforts.SetPreference("language", "en").ok());
  game.Click("lblMLT(0)");
  game.Click("lblMLT(3)");
  game.Menu("menuSAVE(1)");
  EXPECT_EQ(comforts.notice(), "Saved to bookmark 1");
  comforts.OpenBacklog();
  EXPECT_EQ(game.form().overlay().backlog_title, "History");
  EXPECT_EQ(game.form().FindMenuItem("menuBGM")->caption(), "音楽演奏") << "the game's own menus stay as they are";
}

}  // namespace
}  // namespace shiori::test
