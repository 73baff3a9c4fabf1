#include <gtest/gtest.h>
#include <stdlib.h>

#include "platform/GameFolder.h"
#include "support/TempDir.h"

namespace shiori {
namespace {

TEST(GameFolderTest, FourDigitsAndRelativeNames) {
  EXPECT_EQ(FourDigits(17), "0017");
  EXPECT_EQ(FourDigits(0), "0000");
  EXPECT_EQ(FourDigits(12345), "12345");
  EXPECT_EQ(FourDigits(-5), "-0005");
  EXPECT_EQ(RelativeName("\\data\\0017.rgd"), "data/0017.rgd");
  EXPECT_EQ(RelativeName("/log/0000.log"), "log/0000.log");
  EXPECT_EQ(RelativeName("data1.rgd"), "data1.rgd");
}

TEST(GameFolderTest, FindsNamesIgnoringCaseButPrefersTheExactOne) {
  test::TempDir dir;
  const auto upper = dir.Write("DATA/0001.RGD", "picture");
  EXPECT_EQ(FindCaseInsensitive(dir.path(), "data/0001.rgd"), upper);
  EXPECT_EQ(FindCaseInsensitive(dir.path(), "Data/0001.Rgd"), upper);
  EXPECT_EQ(FindCaseInsensitive(dir.path(), "data/0002.rgd"), std::nullopt);

  const auto exact = dir.Write("conf.rgd", "1");
  dir.Write("CONF.RGD", "2");
  EXPECT_EQ(FindCaseInsensitive(dir.path(), "conf.rgd"), exact);

  dir.Write("outside", "x");
  EXPECT_EQ(FindCaseInsensitive(dir.path() / "DATA", "../outside"), std::nullopt);
}

TEST(GameFolderTest, GameAndSaveFilesResolveBareAndBackslashNamesAlike) {
  test::TempDir dir;
  const auto picture = dir.Write("game/DATA/0001.RGD", "picture");
  const GameFolder folder(dir.path() / "game", dir.path() / "save");
  EXPECT_EQ(folder.GameFile("\\data\\0001.rgd"), picture);
  EXPECT_EQ(folder.GameFile("\\data\\0002.rgd"), dir.path() / "game" / "data" / "0002.rgd");
  EXPECT_EQ(folder.SaveFile("\\data2.rgd"), dir.path() / "save" / "data2.rgd");
  EXPECT_EQ(folder.SaveFile("data2.rgd"), folder.SaveFile("\\data2.rgd"));
}

TEST(GameFolderTest, OpenChoosesTheSaveFolder) {
  test::TempDir dir;
  std::filesystem::create_directory(dir.path() / "game");
  EXPECT_EQ(GameFolder::Open(dir.path() / "game").save(), dir.path() / "game");

  const auto chosen = GameFolder::Open(dir.path() / "game", dir.path() / "elsewhere");
  EXPECT_EQ(chosen.save(), dir.path() / "elsewhere");
  EXPECT_TRUE(std::filesystem::is_directory(chosen.save()));

  // A game folder that cannot be written (here: not there at all) saves under the data home.
  const char* old = std::getenv("XDG_DATA_HOME");
  const std::string saved_value = old != nullptr ? old : "";
  ::setenv("XDG_DATA_HOME", (dir.path() / "xdg").c_str(), 1);
  const auto read_only = GameFolder::Open(dir.path() / "cd-rom" / "story/");
  // A writable folder that carries the read-only marker (the bundled demo) is treated the same way.
  // Its bookmarks from before go along to the save folder once, unless that has its own.
  dir.Write(std::string("demo/") + GameFolder::kReadOnlyMarker, "");
  dir.Write("demo/DATA2.RGD", "5,\"01/02 03:04\",#TRUE#\r\n");
  dir.Write("demo/data3.rgd", "old");
  dir.Write("xdg/shiori/demo/data3.rgd", "newer");
  const auto marked = GameFolder::Open(dir.path() / "demo");
  if (old != nullptr) {
    ::setenv("XDG_DATA_HOME", saved_value.c_str(), 1);
  } else {
    ::unsetenv("XDG_DATA_HOME");
  }
  EXPECT_EQ(read_only.save(), dir.path() / "xdg" / "shiori" / "story");
  EXPECT_TRUE(std::filesystem::is_directory(read_only.save()));
  EXPECT_EQ(marked.save(), dir.path() / "xdg" / "shiori" / "demo");
  EXPECT_EQ(dir.Read("xdg/shiori/demo/data2.rgd"), "5,\"01/02 03:04\",#TRUE#\r\n");
  EXPECT_EQ(dir.Read("xdg/shiori/demo/data3.rgd"), "newer");
  EXPECT_EQ(dir.Read("demo/data3.rgd"), "old");
}

}  // namespace
}  // namespace shiori
