#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "comforts/Comforts.h"
#include "comforts/Voice.h"
#include "host/Host.h"
#include "support/TestGame.h"

namespace shiori::test {
namespace {

constexpr const char* kStop = "(stop)";

// A story whose runs the voice must read as the typewriter will type them: a pause, a line that keeps the count
// of the line before, a choice, and pages after it. Text types at the normal speed, 30.1 ms a character.
class VoiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    game.dir().Write("conf.rgd", "#FALSE#\r\n");
    game.dir().Write("conf2.rgd", "2\r\n");
    game.Page(1, TestPage::Text({"一頁目", "つづき"}, {103, 203}, 2));
    game.Page(2, TestPage::Text({"あいうえお", "かきくけこ", "さしすせそ"}, {3, 99, 202}, 3));
    game.Page(3, TestPage::Choice({"海へ行く", "山へ行く"}, 1, 1, {4, 4}));
    game.Page(4, TestPage::Text({"四頁目"}, {203}, 5));
    game.Page(5, TestPage::Text({"五頁目"}, {203}, 6));
  }
  // The title, with self-voicing as the reader left it.
  void Start(bool voicing) {
    game.Start();
    host = std::make_unique<Host>(game.engine(), ShellKind::Desktop);
    if (voicing) Set("self_voicing", "on");
  }
  void NewStory() {
    game.Click("lblMLT(0)");
    game.Click("lblMLT(3)");
  }
  void ReadOn() {
    game.Wait(600);
    game.Click("Picture1");
  }
  void Set(const char* name, const char* value) { ASSERT_TRUE(comforts().SetPreference(name, value)) << name; }
  void Key(const char* key) { ASSERT_TRUE(comforts().Key(key)) << key; }
  Comforts& comforts() { return game.engine().comforts(); }
  // What was said since the log held `from` entries, a stop written as kStop.
  std::vector<std::string> Said(std::size_t from = 0) {
    std::vector<std::string> said;
    const auto& log = game.speaker().log();
    for (std::size_t i = from; i < log.size(); ++i) said.push_back(log[i].said.value_or(kStop));
    return said;
  }
  std::string ScreenText() {
    std::vector<std::string> lines;
    for (const Widget* line : game.form().lbl1) lines.push_back(line->caption());
    return MessageText(lines);
  }

  TestGame game;
  std::unique_ptr<Host> host;
};

TEST_F(VoiceTest, EachRunIsReadAsItBeginsChoicesAsTheyAppearAndReadingOnCutsItShort) {
  Start(true);
  NewStory();
  ASSERT_EQ(Said(), (std::vector<std::string>{"一頁目"}));
  EXPECT_EQ(game.Caption("lbl1(0)"), "一") << "said as its typing began, not when it ends";

  ReadOn();
  ReadOn();
  const auto& log = game.speaker().log();
  ASSERT_EQ(log.size(), 5U);
  EXPECT_EQ(log[1].at, Milliseconds(600)) << "the click that read on stopped the voice at once";
  EXPECT_EQ(log[3].at, Milliseconds(1200));
  game.Wait(1000);
  EXPECT_EQ(*log[4].said, ScreenText()) << "a line keeping the count before it is read as it is typed";
  EXPECT_EQ(ScreenText(), "あいう\nかきく\nさし");

  const std::size_t before_choice = log.size();
  game.Click("Picture1");
  Key("down");
  Key("2");
  EXPECT_EQ(Said(before_choice),
            (std::vector<std::string>{kStop, "1. 海へ行く\n2. 山へ行く", kStop, "海へ行く", kStop, "四頁目"}))
      << "the answers, the one the keyboard is on, and the page the choice leads to";
}

TEST_F(VoiceTest, AClickWhileTextTypesLeavesTheVoiceAlone) {
  Start(true);
  NewStory();
  game.Wait(40);
  game.Click("Picture1");
  EXPECT_EQ(Said(), (std::vector<std::string>{"一頁目"})) << "the click read nothing on";
  Set("click_shows_page", "on");
  game.Click("Picture1");
  EXPECT_EQ(Said(), (std::vector<std::string>{"一頁目"})) << "showing the rest of the run says nothing new";
}

TEST_F(VoiceTest, TheKeyboardsEntryIsSaidOnEveryScreenButNotWhatTheMouseHovers) {
  Start(true);
  const Rect& entry = game.form().lblMLT[1]->bounds();
  comforts().Hover(std::pair{entry.left + 1, entry.top + 1});
  EXPECT_TRUE(Said().empty()) << "hovering says nothing";
  Key("down");
  Key("down");
  // The title's arrows move by position: down from the first entry is the settings, below it.
  EXPECT_EQ(Said(),
            (std::vector<std::string>{OneLine(game.Caption("lblMLT(0)")), kStop, OneLine(game.Caption("lblMLT(2)"))}));
  Key("enter");  // the settings
  ASSERT_TRUE(game.form().Picture3.visible());
  std::size_t from = game.speaker().log().size();
  Key("right");
  EXPECT_EQ(Said(from), (std::vector<std::string>{kStop, "速い"}));
  Key("escape");
  Key("2");  // the gallery, whose route plates are pictures
  ASSERT_TRUE(game.form().Picture4.visible());
  from = game.speaker().log().size();
  Key("right");
  EXPECT_EQ(Said(from), (std::vector<std::string>{kStop, "ルート1　まだ１枚も見ていません"}));
}

TEST_F(VoiceTest, OffByDefaultTheTextStillGoesToScreenReadersAndToTheClipboardOnlyWhenAsked) {
  Start(false);
  NewStory();
  EXPECT_TRUE(Said().empty());
  EXPECT_EQ(host->TakeTextOut(), (std::vector<TextOut>{{TextOut::Kind::Page, "一頁目", false, 0}}));
  Set("copy_page_text", "on");
  ReadOn();
  EXPECT_EQ(host->TakeTextOut(), (std::vector<TextOut>{{TextOut::Kind::Page, "つづき", true, Milliseconds(600)}}));
  EXPECT_TRUE(host->TakeTextOut().empty()) << "each is handed out once";

  ASSERT_EQ(host->Choose(Milliseconds(0), "reading.voice"), ShellAction::None);
  EXPECT_EQ(Said(), (std::vector<std::string>{"読み上げ：オン"}));
  const auto entries = host->MenuBar().back().items;
  const auto voice = std::find_if(entries.begin(), entries.end(), [](auto& e) { return e.name == "reading.voice"; });
  ASSERT_NE(voice, entries.end());
  EXPECT_TRUE(voice->checkable && voice->checked);
  Key("v");
  EXPECT_EQ(comforts().notice(), "読み上げ：オフ");
  ReadOn();
  EXPECT_EQ(Said(), (std::vector<std::string>{"読み上げ：オン", kStop})) << "turned off, it stops and stays silent";
  EXPECT_EQ(host->TakeTextOut().back().text, "あいう\nかきく\nさし");
}

TEST_F(VoiceTest, WithoutAJapaneseVoiceNothingIsReadAndANoticeSaysWhy) {
  Start(true);
  NewStory();
  host->VoicesFound(0, VoiceSupport::kNoJapanese);
  EXPECT_EQ(comforts().notice(), "日本語の音声がないため読み上げできません");
  ReadOn();
  EXPECT_EQ(Said(), (std::vector<std::string>{"一頁目", kStop})) << "no kanji read by another language's voice";
  EXPECT_EQ(host->TakeTextOut().back().text, "つづき") << "the text still reaches screen readers";
  Key("v");
  Key("v");
  EXPECT_EQ(comforts().notice(), "日本語の音声がないため読み上げできません") << "turning it on again says why";

  host->VoicesFound(0, VoiceSupport::kJapanese);
  Set("speech_rate", "150");
  Set("speech_voice", "Kyoko (ja-JP)");
  ReadOn();
  ASSERT_EQ(Said().back(), "あいう\nかきく\nさし");
  EXPECT_EQ(game.speaker().log().back().voicing.rate_percent, 150);
  EXPECT_EQ(game.speaker().log().back().voicing.voice, "Kyoko (ja-JP)");
}

TEST_F(VoiceTest, SkippingIsSilentUntilItStops) {
  game.MarkRange(1, 3);
  Start(true);
  NewStory();
  game.Wait(100);
  Key("tab");
  game.Wait(2000);
  ASSERT_TRUE(game.form().lblSEL[0]->visible()) << "skip ran up to the choice";
  EXPECT_EQ(Said(), (std::vector<std::string>{"一頁目", kStop, "1. 海へ行く\n2. 山へ行く"}));
}

TEST_F(VoiceTest, AShellThatDoesNotAskKeepsOnlyTheNewestText) {
  Start(false);
  for (std::size_t i = 0; i < Host::kTextOutKept + 6; ++i) Key("down");
  const std::vector<TextOut> kept = host->TakeTextOut();
  ASSERT_EQ(kept.size(), Host::kTextOutKept);
  EXPECT_EQ(kept.back().text, OneLine(game.Caption(*comforts().FocusName())));
}

TEST_F(VoiceTest, VoicePreferencesReadBackAndRefuseWhatNoVoiceCouldBeCalled) {
  Preferences changed;
  ASSERT_TRUE(changed.Set("self_voicing", "on"));
  ASSERT_TRUE(changed.Set("speech_voice", "Microsoft Haruka Desktop - Japanese"));
  ASSERT_TRUE(changed.Set("speech_rate", "80"));
  std::vector<std::string> problems;
  EXPECT_EQ(Preferences::Parse(changed.Format(), problems), changed);
  EXPECT_TRUE(problems.empty());
  EXPECT_FALSE(changed.Set("speech_rate", "20"));
  EXPECT_FALSE(changed.Set("speech_voice", std::string(Preferences::kMaxVoiceName + 1, 'a')));
  EXPECT_FALSE(changed.Set("copy_page_text", "sometimes"));
}

}  // namespace
}  // namespace shiori::test
