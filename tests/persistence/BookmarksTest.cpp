#include <gtest/gtest.h>

#include "persistence/Bookmarks.h"
#include "support/FolderSnapshot.h"
#include "support/TestGame.h"

namespace shiori::test {
namespace {

void WriteStory(TestGame& game) {
  for (int page = 1; page <= 9; ++page) game.Page(page, TestPage::Text({"頁" + std::to_string(page)}, {202}, page + 1));
}

TEST(Bookmarks, StampIsMonthDayHourMinute) {
  EXPECT_EQ(Bookmarks::Stamp("2026/12/01", "14:05:09"), "12/01 14:05");
  EXPECT_EQ(Bookmarks::Stamp("2027/01/31", "00:00:59"), "01/31 00:00");
}

TEST(Bookmarks, FilesInTheExistingFormatAreRead) {
  TestGame game;
  WriteStory(game);
  game.dir().Write("data2.rgd", "7,\"01/02 03:04\",#TRUE#\r\n");
  game.dir().Write("data3.rgd", "8,\"05/06 07:08\",#FALSE#\n");  // line end of another editor
  game.dir().Write("data4.rgd", Sjis("1,\"セーブデータがありません\",#FALSE#\r\n"));
  game.Start();
  // The quick-save menu shows the stamps from the start, not only after a save in this run.
  EXPECT_EQ(game.form().menuSAVE[1]->caption(), "データ１：01/02 03:04");
  EXPECT_EQ(game.form().menuSAVE[2]->caption(), "データ２：05/06 07:08");
  EXPECT_EQ(game.form().menuSAVE[3]->caption(), "データ３") << "an empty slot keeps its plain name";
  const auto files = SnapshotFolder(game.dir().path());
  game.Click("lblMLT(0)");
  EXPECT_EQ(game.Caption("lblMLT(0)"), "ロードデータ　その１\r\n01/02 03:04");
  EXPECT_EQ(game.Caption("lblMLT(1)"), "ロードデータ　その２\r\n05/06 07:08");
  EXPECT_EQ(game.Caption("lblMLT(2)"), "ロードデータ　その３\r\nセーブデータがありません");
  game.Click("lblMLT(1)");
  EXPECT_EQ(game.state().CurrentPage, 8);
  EXPECT_EQ(game.Caption("lbl1(0)"), "頁");
  EXPECT_EQ(SnapshotFolder(game.dir().path()), files) << "reading writes nothing";
}

TEST(Bookmarks, DamagedFilesAreEmptySlotsLeftAsTheyAre) {
  TestGame game;
  WriteStory(game);
  game.dir().Write("data2.rgd", "\x81\x40 not a bookmark");
  game.dir().Write("data3.rgd", "99999,\"01/02 03:04\",#TRUE#\r\n");  // no page number
  game.dir().Write("data4.rgd", "\"01/02 03:04\",5,#TRUE#\r\n");      // values out of order
  game.Start();
  const auto files = SnapshotFolder(game.dir().path());
  game.Click("lblMLT(0)");
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(game.Caption("lblMLT(" + std::to_string(i) + ")").ends_with("\r\nセーブデータがありません")) << i;
  }
  EXPECT_EQ(SnapshotFolder(game.dir().path()), files);

  // Resuming one starts at page 1 and keeps the slot; only a save replaces the file.
  game.Click("lblMLT(0)");
  EXPECT_EQ(game.state().CurrentPage, 1);
  EXPECT_EQ(game.state().CurrentSlot, 1);
  game.Wait(1000);
  EXPECT_EQ(SnapshotFolder(game.dir().path()), files);
  game.RightClick("Picture1");
  game.Click("lblMLT(1)");
  EXPECT_EQ(game.dir().Read("data2.rgd"), "2,\"12/01 14:05\",#TRUE#\r\n");
}

TEST(Bookmarks, OnlySlotsOneToThreeAreWritten) {
  TestGame game;
  WriteStory(game);
  game.Start();
  const auto files = SnapshotFolder(game.dir().path());
  game.state().CurrentPage = 5;
  EXPECT_FALSE(game.engine().bookmarks().SaveBookmark(0)) << "slot 0 would be the scenario file";
  EXPECT_FALSE(game.engine().bookmarks().SaveBookmark(4)) << "slot 4 would be the read-page record";
  EXPECT_EQ(SnapshotFolder(game.dir().path()), files);
  EXPECT_TRUE(game.engine().bookmarks().SaveBookmark(2));
  EXPECT_EQ(game.dir().Read("data3.rgd"), "5,\"12/01 14:05\",#TRUE#\r\n");
  EXPECT_EQ(game.form().menuSAVE[2]->caption(), "データ２：12/01 14:05");
}

TEST(Bookmarks, TheStampFollowsTheClockAtTheMomentOfSaving) {
  TestGame game;
  WriteStory(game);
  game.now = "2026-03-09 23:59:58";
  game.Start();
  game.Click("lblMLT(0)");
  game.Click("lblMLT(3)");
  game.Wait(1000);
  game.Menu("menuSAVE(3)");
  EXPECT_EQ(game.dir().Read("data4.rgd"), "2,\"03/09 23:59\",#TRUE#\r\n");
  game.Wait(2000);  // past midnight
  game.Menu("menuSAVE(3)");
  EXPECT_EQ(game.dir().Read("data4.rgd"), "2,\"03/10 00:00\",#TRUE#\r\n");
  EXPECT_EQ(game.form().menuSAVE[3]->caption(), "データ３：03/10 00:00");
}

}  // namespace
}  // namespace shiori::test
