#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "HeadlessDriver.h"
#include "support/FolderSnapshot.h"
#include "support/JsonCheck.h"
#include "support/TestGame.h"

namespace shiori::test {
namespace {

struct DriverRun {
  int status = -1;
  std::vector<std::string> lines;  // standard output, line by line
  std::string err;
};

// A game folder with a two-page story; the driver runs on it in this process.
class DriverContract : public ::testing::Test {
 protected:
  DriverContract() {
    game_.Page(1, TestPage::Text({"一二三"}, {203}, 2));
    game_.Page(2, TestPage::Text({"四"}, {201}, 3));
    game_.Create();  // writes the scenario; this engine is never started
  }

  DriverRun Drive(const std::string& script) {
    HeadlessOptions options{.game_dir = game_.dir().path(), .now = "2026-12-01 14:05:09"};
    std::istringstream in(script);
    std::ostringstream out;
    std::ostringstream err;
    DriverRun run;
    run.status = RunHeadless(options, in, out, err, nullptr);
    std::istringstream printed(out.str());
    for (std::string line; std::getline(printed, line);) run.lines.push_back(line);
    run.err = err.str();
    return run;
  }

  [[nodiscard]] std::map<std::string, std::string> Files() { return SnapshotFolder(game_.dir().path()); }

  TestGame game_;
};

TEST_F(DriverContract, AMalformedCommandStopsWithItsLineNumber) {
  const auto files = Files();
  for (const char* bad : {"fly away", "click", "click lblNOWHERE", "wait soon", "wait -5", "wait 1e3",
                          "wait 99999999999999999", "wait 1e300", "wait 86400001", "wait nan", "answer maybe",
                          "menu menuNOWHERE", "key ctrl+q", "text lblMLT(0) x", "screenshot"}) {
    const DriverRun run = Drive("dump\n\n# a comment\n" + std::string(bad) + "\nclose\n");
    EXPECT_EQ(run.status, 2) << bad;
    EXPECT_NE(run.err.find("line 4"), std::string::npos) << bad << ": " << run.err;
    ASSERT_EQ(run.lines.size(), 1U) << bad;
    EXPECT_EQ(run.lines[0].front(), '{') << "the dump before it ran";
  }
  EXPECT_EQ(Files(), files) << "the close after the bad line never ran";
}

TEST_F(DriverContract, CloseUnloadsAndEndsTheRun) {
  const DriverRun run = Drive("menu menuBGM\nclose\nfly away\n");
  EXPECT_EQ(run.status, 0) << "nothing is read after the end";
  ASSERT_EQ(run.lines.size(), 1U);
  EXPECT_EQ(run.lines[0], R"re({"ended":true})re");
  EXPECT_EQ(game_.dir().Read("conf.rgd"), "#FALSE#\r\n");
  EXPECT_EQ(game_.dir().Read("conf2.rgd"), "2\r\n");

  const DriverRun quit = Drive("click lblMLT(3)\n");
  EXPECT_EQ(quit.lines, std::vector<std::string>{R"re({"ended":true})re"});
  EXPECT_EQ(game_.dir().Read("conf.rgd"), "#FALSE#\r\n");
}

TEST_F(DriverContract, PointsAndShortcutsReachWhatTheWindowWould) {
  // The title's first entry lies at 280, 240; the quick save is Ctrl+W once the story runs.
  const DriverRun run = Drive("click 300 245\nclick lblMLT(3)\nwait 1000\nkey ctrl+w\nanswer yes\nclose\n");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(game_.dir().Read("data2.rgd"), "2,\"12/01 14:05\",#TRUE#\r\n");
}

TEST_F(DriverContract, TheDumpHoldsTheWholeState) {
  const DriverRun run = Drive(
      "rclick lblMLT(0)\nanswer no\nclick lblMLT(0)\nclick lblMLT(3)\nwait 1234.5\nrclick Picture1\n"
      "answer no\nclick lblMLT(0)\ndump\ndump\n");
  ASSERT_EQ(run.lines.size(), 3U) << "one line per dump, then the end";
  const std::string& dump = run.lines[0];
  const auto has = [&dump](const std::string& pattern) {
    EXPECT_TRUE(std::regex_search(dump, std::regex(pattern))) << pattern;
  };
  has(R"re(^\{"time_ms":1234\.5,)re");
  has(R"re("state":\{"CurrentPage":2,"PageState":2,"LineCounter":0,"BlinkPhase":\d,"LastChoicePage":0,"MenuMode":3,)re"
      R"re("CurrentSlot":3,"TextSpeed":2,)re");
  for (const char* member : {"CurrentMusicNo", "EndingStep"}) has(std::string("\"") + member + "\":\\d+");
  has(R"re("ViewerRoute":100,"ViewerStep":100)re");
  has(R"re("RouteSeenCount":\[0,0,0\])re");
  // After a finished page the buffer holds the page that follows.
  has(R"re("PageBuffer":\{"startMark":1,"pictureNo":1,"musicNo":1,"pageType":0,"target":\[3,0,0,0\],)re"
      R"re("choiceLines":\[0,0\],"lineCode":\[201(,0){11}\],"endingMark":0,"lineText":\["四 *"(," *"){11}\]\})re");
  has(R"re("window":\{"picture":null)re");
  has(R"re("layers":\{"Picture1":\{"visible":false,"picture":"data/0001.rgd")re");
  has(R"re("Picture2":\{"visible":true,"picture":"data/rg01.rgd")re");
  has(R"re("Picture3":\{"visible":false)re");
  has(R"re("Picture4":\{"visible":false,"picture":"log/0000.log")re");
  has(R"re("lbl1\(0\)":\{"caption":"一二三","visible":true,"enabled":true,"fore":"[0-9A-F]{6}","back":null,)re"
      R"re("left":\d+,"top":\d+,"width":\d+,"height":\d+,"font":[0-9.]+)re");
  has(R"re("lblMLT\(2\)":\{"caption":"▽前の選択肢に戻る▽","visible":true,"enabled":false,"fore":"C0C0C0",)re"
      R"re("back":null,"left":40,"top":248,"width":249,"height":33,"font":14)re");
  has(R"re("menus":\{"menuCONF":\{"caption":"[^"]*","checked":false,"enabled":true)re");
  has(R"re("menuBGM":\{"caption":"音楽演奏","checked":true,"enabled":true)re");
  has(R"re("menuSAVE\(3\)":\{"caption":"データ３","checked":false,"enabled":true)re");
  has(R"re("timers":\{"timBGM":\{"enabled":(true|false),"interval":\d+\},"timEND":\{"enabled":false,)re"
      R"re("interval":9000\},"timYAZIRUSI":\{"enabled":true,"interval":500\}\})re");
  has(R"re("wave":\["device WaveAudio","command stop","command close",[^\]]*"notify off","wait on",)re"
      R"re("shareable off","device waveAudio","command close","file data/0001.wav","command open","command play"\])re");
  has(R"re("questions":\[\{"text":"現在のゲームを終了しますか？","title":"確認","answer":"no"\}\],"speech":\[\],"textOut":\[)re");
  EXPECT_EQ(run.lines[1], dump) << "a dump changes nothing";
}

// Every utterance and stop with its virtual time, so a script can tell what was said and when it was cut short;
// the text offered to screen readers and the clipboard beside it.
TEST_F(DriverContract, TheDumpListsWhatWasSaidAndTheTextOffered) {
  const DriverRun run = Drive(
      "pref self_voicing on\npref copy_page_text on\npref speech_voice Otoya Enhanced\nclick lblMLT(0)\n"
      "click lblMLT(3)\nwait 1000.5\nclick Picture1\nkey v\ndump\n");
  ASSERT_EQ(run.status, 0) << run.err;
  ASSERT_EQ(run.lines.size(), 2U);
  const std::string& dump = run.lines[0];
  EXPECT_NE(dump.find(R"("speech":[{"say":"一二三","at_ms":0},{"stop":true,"at_ms":1000.5},{"say":"四",)"
                      R"("at_ms":1000.5},{"stop":true,"at_ms":1000.5}],)"),
            std::string::npos)
      << dump;
  EXPECT_NE(dump.find(R"("textOut":[{"kind":"page","text":"一二三","copy":true,"at_ms":0},)"
                      R"({"kind":"page","text":"四","copy":true,"at_ms":1000.5},)"
                      R"({"kind":"notice","text":"読み上げ：オフ","copy":false,"at_ms":1000.5}])"),
            std::string::npos)
      << dump;
  EXPECT_NE(
      dump.find(R"("self_voicing":false,"copy_page_text":true,"speech_rate":100,"speech_voice":"Otoya Enhanced")"),
      std::string::npos)
      << "a voice's name keeps its blanks";
  EXPECT_EQ(Drive("pref self_voicing maybe\n").status, 2);
}

TEST_F(DriverContract, EveryLineIsJsonWhateverTheText) {
  // A stray byte, a quote and a character cut short.
  const DriverRun run = Drive("text txtDES a\xff\"b\xe3\x81\ndump\nwait 86400000\n");
  ASSERT_EQ(run.status, 0) << run.err;
  ASSERT_EQ(run.lines.size(), 2U);
  for (const std::string& line : run.lines) EXPECT_TRUE(IsJsonLine(line)) << line;
  EXPECT_NE(run.lines[0].find("\"txtDES\":{\"caption\":\"a\uFFFD\\\"b\uFFFD\uFFFD\""), std::string::npos)
      << run.lines[0];
}

}  // namespace
}  // namespace shiori::test
