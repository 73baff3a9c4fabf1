#include <gtest/gtest.h>

#include <filesystem>

#include "support/FolderSnapshot.h"
#include "support/TestGame.h"

namespace shiori::test {
namespace {

constexpr Rgb kSelected = 0xFFFFFF;
constexpr Rgb kUnselected = 0x808080;

void WriteStory(TestGame& game) { game.Page(1, TestPage::Text({"一"}, {201}, 2)); }

bool Exists(TestGame& game, const char* name) { return std::filesystem::exists(game.dir().path() / name); }

void ExpectSpeedColours(TestGame& game, Rgb fast, Rgb normal, Rgb slow) {
  EXPECT_EQ(game.form().lblMOJI_F->fore(), fast);
  EXPECT_EQ(game.form().lblMOJI_N->fore(), normal);
  EXPECT_EQ(game.form().lblMOJI_S->fore(), slow);
}

TEST(Settings, StartUpTakesTheStoredSettingsAndCloseWritesThemBack) {
  TestGame game;
  WriteStory(game);
  game.dir().Write("conf.rgd", "#FALSE#\r\n");
  game.dir().Write("conf2.rgd", "3\r\n");
  game.Start();
  EXPECT_FALSE(game.form().menuBGM.checked());
  EXPECT_EQ(game.state().TextSpeed, 3);
  ExpectSpeedColours(game, kUnselected, kUnselected, kSelected);
  game.Menu("menuBGM");
  EXPECT_EQ(game.dir().Read("conf.rgd"), "#FALSE#\r\n") << "the switch is saved only at the end: a kill keeps it";

  game.dir().Write("conf.rgd", "stale");
  game.dir().Write("conf2.rgd", "stale");
  const std::size_t wave_before = game.wave().log().size();
  game.engine().Close();
  EXPECT_TRUE(game.engine().ended());
  EXPECT_EQ(game.dir().Read("conf.rgd"), "#TRUE#\r\n");
  EXPECT_EQ(game.dir().Read("conf2.rgd"), "3\r\n");
  EXPECT_EQ(game.WaveSince(wave_before),
            (std::vector<std::string>{"device waveaudio", "command stop", "command close"}));

  game.dir().Write("conf.rgd", "after the end");
  game.engine().Close();
  EXPECT_EQ(game.dir().Read("conf.rgd"), "after the end") << "the program ends only once";
}

TEST(Settings, MissingOrMalformedSettingsMeanTheDefaults) {
  {
    TestGame game;
    WriteStory(game);
    game.Start();
    EXPECT_TRUE(game.form().menuBGM.checked());
    EXPECT_EQ(game.state().TextSpeed, 2);
    ExpectSpeedColours(game, kUnselected, kSelected, kUnselected);
    EXPECT_FALSE(Exists(game, "conf.rgd")) << "reading creates nothing";
    EXPECT_FALSE(Exists(game, "conf2.rgd"));
    EXPECT_EQ(game.warnings(), "") << "no settings at all is a first start, nothing to warn about";
    game.engine().Close();
    EXPECT_EQ(game.dir().Read("conf.rgd"), "#TRUE#\r\n");
    EXPECT_EQ(game.dir().Read("conf2.rgd"), "2\r\n");
  }
  {
    TestGame game;
    WriteStory(game);
    game.dir().Write("conf.rgd", "yes\r\n");
    game.dir().Write("conf2.rgd", "\"fast\"\r\n");
    game.Start();
    EXPECT_TRUE(game.form().menuBGM.checked());
    EXPECT_EQ(game.state().TextSpeed, 2);
    EXPECT_EQ(game.dir().Read("conf.rgd"), "yes\r\n");
    EXPECT_EQ(game.dir().Read("conf2.rgd"), "\"fast\"\r\n");
    EXPECT_NE(game.warnings().find("conf2.rgd: no text speed"), std::string::npos) << game.warnings();
  }
  {
    TestGame game;  // a speed outside the three is kept as read
    WriteStory(game);
    game.dir().Write("conf2.rgd", "7\r\n");
    game.Start();
    EXPECT_EQ(game.state().TextSpeed, 7);
    ExpectSpeedColours(game, kUnselected, kUnselected, kUnselected);
    game.engine().Close();
    EXPECT_EQ(game.dir().Read("conf2.rgd"), "7\r\n");
  }
}

TEST(Settings, AFreshSaveFolderStartsFromTheSettingsTheGameCameWith) {
  TempDir saves;
  TestGame game;
  WriteStory(game);
  game.save_dir = saves.path();
  game.dir().Write("conf.rgd", "#FALSE#\r\n");
  game.dir().Write("conf2.rgd", "1\r\n");
  game.Start();
  EXPECT_FALSE(game.form().menuBGM.checked());
  EXPECT_EQ(game.state().TextSpeed, 1);
  game.Click("lblMLT(2)");
  game.Click("lblMOJI_S");
  EXPECT_EQ(saves.Read("conf2.rgd"), "3\r\n");
  EXPECT_EQ(game.dir().Read("conf2.rgd"), "1\r\n") << "the game's own settings are never written";

  // Once the save folder holds a setting, it wins over the game's.
  game.Start();
  EXPECT_EQ(game.state().TextSpeed, 3);
  EXPECT_FALSE(game.form().menuBGM.checked()) << "no music setting saved yet: still the game's";
}

TEST(Settings, ASpeedClickIsSavedAtOnce) {
  TestGame game;
  WriteStory(game);
  game.Start();
  game.Click("lblMOJI_F");
  EXPECT_EQ(game.state().TextSpeed, 2) << "the settings screen is not open";
  game.Click("lblMLT(2)");
  ASSERT_TRUE(game.form().Picture3.visible());

  game.Click("lblMOJI_F");
  EXPECT_EQ(game.state().TextSpeed, 1);
  EXPECT_EQ(game.dir().Read("conf2.rgd"), "1\r\n");
  EXPECT_FALSE(Exists(game, "conf.rgd"));
  ExpectSpeedColours(game, kSelected, kUnselected, kUnselected);
  game.Click("lblMOJI_S");
  EXPECT_EQ(game.dir().Read("conf2.rgd"), "3\r\n");
  ExpectSpeedColours(game, kUnselected, kUnselected, kSelected);
  std::filesystem::remove(game.dir().path() / "conf2.rgd");
  game.Click("lblMOJI_S");
  EXPECT_EQ(game.dir().Read("conf2.rgd"), "3\r\n") << "the chosen speed is written again";

  // Back: only the left button leaves.
  game.RightClick("Label8");
  EXPECT_TRUE(game.form().Picture3.visible());
  game.Click("Label8");
  EXPECT_FALSE(game.form().Picture3.visible());
  EXPECT_EQ(game.state().MenuMode, MenuKind::Title);
}

TEST(Settings, InitialisingTheSaveDataAsksThenEmptiesEverySlot) {
  TestGame game;
  WriteStory(game);
  game.dir().Write("conf.rgd", "#FALSE#\r\n");
  game.dir().Write("conf2.rgd", "1\r\n");
  game.dir().Write("data2.rgd", "7,\"01/02 03:04\",#TRUE#\r\n");
  game.dir().Write("data4.rgd", "garbage");
  game.MarkRange(1, 9999);
  game.Start();
  game.Click("lblMLT(2)");
  const auto files = SnapshotFolder(game.dir().path());

  game.RightClick("lblSYOK");
  EXPECT_TRUE(game.questions().asked().empty());
  game.Answer(false);
  game.Click("lblSYOK");
  ASSERT_EQ(game.questions().asked().size(), 1U);
  EXPECT_EQ(game.questions().asked()[0].text, "すべてのセーブデータが失われます");
  EXPECT_EQ(game.questions().asked()[0].title, "確認");
  EXPECT_EQ(SnapshotFolder(game.dir().path()), files);
  EXPECT_EQ(game.Caption("lblCG(0)"), "全てのＣＧを見ました");

  game.Answer(true);
  game.Click("lblSYOK");
  const std::string empty_slot =
      "1,\"\x83\x5a\x81\x5b\x83\x75\x83\x66\x81\x5b\x83\x5e\x82\xaa\x82\xa0\x82\xe8\x82\xdc"
      "\x82\xb9\x82\xf1\",#FALSE#\r\n";
  for (const char* slot : {"data2.rgd", "data3.rgd", "data4.rgd"}) EXPECT_EQ(game.dir().Read(slot), empty_slot) << slot;
  EXPECT_EQ(game.dir().Read("data5.rgd"), std::string(9999, '\x01'));
  EXPECT_EQ(game.dir().Read("conf.rgd"), "#FALSE#\r\n");
  EXPECT_EQ(game.dir().Read("conf2.rgd"), "1\r\n");
  for (const char* progress : {"lblCG(0)", "lblCG(1)", "lblCG(2)"}) {
    EXPECT_EQ(game.Caption(progress), "まだ１枚も見ていません");
  }
  EXPECT_TRUE(game.form().Picture3.visible());
}

}  // namespace
}  // namespace shiori::test
