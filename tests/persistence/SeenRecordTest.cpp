#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "persistence/SeenRecord.h"
#include "platform/ValueFile.h"
#include "support/TestGame.h"

namespace shiori::test {
namespace {

class ReadPages : public ::testing::Test {
 protected:
  void SetUp() override {
    game.Page(1, TestPage::Text({"頁"}, {201}, 2));
    game.Create();
  }

  void Mark(int page) {
    game.state().CurrentPage = static_cast<std::int16_t>(page);
    game.engine().seen().MarkPageSeen();
  }

  [[nodiscard]] std::string Record() { return game.dir().Read("data5.rgd"); }
  [[nodiscard]] SeenRecord& seen() { return game.engine().seen(); }

  TestGame game;
};

TEST_F(ReadPages, MarkingWritesTwoAndFillsGapsWithUnread) {
  Mark(5);
  EXPECT_EQ(Record(), std::string("\1\1\1\1\2", 5));
  Mark(5);
  Mark(2);
  EXPECT_EQ(Record(), std::string("\1\2\1\1\2", 5));

  Mark(0);
  Mark(-7);
  EXPECT_EQ(Record(), std::string("\1\2\1\1\2", 5)) << "no page below 1";

  Mark(12000);
  const std::string record = Record();
  ASSERT_EQ(record.size(), 12000u) << "a page above 9999 lengthens the file";
  EXPECT_EQ(record[11999], '\2');
  EXPECT_EQ(record.find_first_not_of('\1', 5), 11999u) << "the gap reads as unread, never as read";
}

TEST_F(ReadPages, OnlyTwoIsReadForTheGalleryWhileOnlyOneStopsASkip) {
  EXPECT_FALSE(seen().IsPageSeen(3));
  EXPECT_EQ(seen().ReadMark(3), SeenRecord::kUnread) << "a missing file is all unread";
  EXPECT_FALSE(std::filesystem::exists(game.dir().path() / "data5.rgd")) << "reading creates nothing";

  game.dir().Write("data5.rgd", std::string("\0\2\7", 3));
  EXPECT_FALSE(seen().IsPageSeen(1));
  EXPECT_EQ(seen().ReadMark(1), 0) << "the skip sees 0, which is not 1";
  EXPECT_TRUE(seen().IsPageSeen(2));
  EXPECT_FALSE(seen().IsPageSeen(3));
  EXPECT_FALSE(seen().IsPageSeen(4)) << "past the end";
  EXPECT_EQ(seen().ReadMark(4), SeenRecord::kUnread);
  EXPECT_FALSE(seen().IsPageSeen(0));
  EXPECT_FALSE(seen().IsPageSeen(-1));

  game.state().RouteSeenCount = {0, 0, 0};
  seen().CountIfSeen(2, 3);
  seen().CountIfSeen(1, 3);
  seen().CountIfSeen(2, 1);
  EXPECT_EQ(game.state().RouteSeenCount, (std::array<std::uint8_t, 3>{1, 0, 1}));
}

TEST_F(ReadPages, InitialisingMarksEveryPageUnreadAndKeepsALongerTail) {
  ASSERT_TRUE(seen().InitialiseSaveData().ok());
  EXPECT_EQ(Record(), std::string(9999, '\1')) << "a missing file is created whole";

  game.MarkRange(1, 100);
  ASSERT_TRUE(seen().InitialiseSaveData().ok());
  EXPECT_EQ(Record(), std::string(9999, '\1')) << "a shorter file grows to 9999";

  game.MarkRange(1, 10005);
  ASSERT_TRUE(seen().InitialiseSaveData().ok());
  EXPECT_EQ(Record(), std::string(9999, '\1') + std::string(6, '\2')) << "a longer file keeps its tail";
}

}  // namespace
}  // namespace shiori::test
