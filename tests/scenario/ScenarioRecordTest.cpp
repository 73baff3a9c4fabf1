#include <gtest/gtest.h>

#include "platform/ShiftJis.h"
#include "scenario/ScenarioFile.h"
#include "scenario/ScenarioRecord.h"
#include "support/TempDir.h"

namespace shiori {
namespace {

std::vector<std::uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

TEST(ScenarioRecord, DecodesEveryFieldAtItsOffset) {
  std::vector<std::uint8_t> raw(600, ' ');
  const std::vector<std::uint8_t> header = {
      0x01, 0x00,                                                               // startMark 1
      0x11, 0x00,                                                               // pictureNo 17
      0x0C, 0x00,                                                               // musicNo 12
      0x02, 0x00,                                                               // pageType 2
      0x2E, 0x25, 0xFF, 0xFF,                                                   // target 9518, -1
      0x00, 0x80, 0x05, 0x00,                                                   // target -32768, 5
      0x02, 0x03,                                                               // choiceLines 2, 3
      0xAA, 0xBB, 0xCC,                                                         // reserved
      10,   110,  5,    205,  0, 99, 120, 246, 1, 2, 3, 255, 0xAA, 0xBB, 0xCC,  // reserved
      0x1E, 0x25,                                                               // endingMark 9502
  };
  std::copy(header.begin(), header.end(), raw.begin());
  const std::string line0 = EncodeShiftJis("夏の終わり、灯台の下で");
  std::copy(line0.begin(), line0.end(), raw.begin() + 48);
  raw[48 + 46 * 11] = 'Z';

  const ScenarioRecord r = ScenarioRecord::Decode(raw);
  EXPECT_EQ(r.startMark, 1);
  EXPECT_EQ(r.pictureNo, 17);
  EXPECT_EQ(r.musicNo, 12);
  EXPECT_EQ(r.pageType, 2);
  EXPECT_EQ(r.target, (std::array<std::int16_t, 4>{9518, -1, -32768, 5}));
  EXPECT_EQ(r.choiceLines, (std::array<std::uint8_t, 2>{2, 3}));
  EXPECT_EQ(r.lineCode[3], 205);
  EXPECT_EQ(r.lineCode[11], 255);
  EXPECT_EQ(r.endingMark, 9502);
  // Decoded to characters and padded with blanks to 46 characters.
  EXPECT_EQ(r.lineText[0], "夏の終わり、灯台の下で" + std::string(35, ' '));
  EXPECT_EQ(r.lineText[11], "Z" + std::string(45, ' '));
  EXPECT_EQ(r.lineText[5], std::string(46, ' '));
}

TEST(ScenarioRecord, SurvivesCutCharactersNulPaddingAndTruncation) {
  std::vector<std::uint8_t> raw(600, 0);
  raw[48 + 45] = 0x82;  // the lead byte of a double-byte character cut by the end of the line
  const ScenarioRecord cut = ScenarioRecord::Decode(raw);
  EXPECT_EQ(cut.lineText[0], std::string(45, ' ') + "\uFFFD");
  EXPECT_EQ(cut.lineText[1], std::string(46, ' ')) << "NUL padding reads as blanks";

  const ScenarioRecord short_record = ScenarioRecord::Decode(Bytes(std::string_view("\x01\x00\x07\x00", 4)));
  EXPECT_EQ(short_record.startMark, 1);
  EXPECT_EQ(short_record.pictureNo, 7);
  EXPECT_EQ(short_record.lineText[3], std::string(46, ' '));
}

TEST(ScenarioRecord, EncodesBackToTheSameBytes) {
  ScenarioRecord page = ScenarioRecord::Empty();
  page.pictureNo = -3;
  page.target = {2, 9501, 0, -7};
  page.lineCode[0] = 203;
  page.lineText[0] = "はい";
  const auto bytes = page.Encode();
  ASSERT_EQ(bytes.size(), 600u);
  EXPECT_EQ(ScenarioRecord::Decode(bytes).target, page.target);
  EXPECT_EQ(ScenarioRecord::Decode(bytes).pictureNo, -3);
  EXPECT_EQ(ScenarioRecord::Decode(bytes).lineText[0], "はい" + std::string(44, ' '));
}

TEST(ScenarioFile, ReadsPagesByNumberAndEmptyRecordsOutsideTheFile) {
  test::TempDir dir;
  std::string bytes(600 * 2 + 100, '\0');
  bytes[0] = 5;         // page 1: startMark 5
  bytes[600 + 2] = 9;   // page 2: pictureNo 9
  bytes[1200 + 2] = 4;  // page 3 is cut after 100 bytes
  const ScenarioFile file(dir.Write("data1.rgd", bytes));
  EXPECT_EQ(file.Read(1).value().startMark, 5);
  EXPECT_EQ(file.Read(2).value().pictureNo, 9);
  EXPECT_EQ(file.Read(3).value().pictureNo, 4);
  EXPECT_EQ(file.Read(3).value().lineText[11], std::string(46, ' '));
  for (const long page : {0L, -1L, 4L, 9501L}) {
    EXPECT_EQ(file.Read(page).value(), ScenarioRecord::Empty()) << page;
  }
  const ScenarioFile missing(dir.path() / "none.rgd");
  EXPECT_EQ(missing.Read(1).value(), ScenarioRecord::Empty());
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "none.rgd")) << "reading never creates the file";
}

}  // namespace
}  // namespace shiori
