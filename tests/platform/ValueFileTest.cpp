#include <gtest/gtest.h>

#include "platform/ValueFile.h"
#include "support/TempDir.h"

namespace shiori {
namespace {

// "セーブデータがありません" in Shift-JIS.
constexpr std::string_view kNoSaveData =
    "\x83\x5A\x81\x5B\x83\x75\x83\x66\x81\x5B\x83\x5E\x82\xAA\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1";

ValueLine ParseOk(std::string_view content) {
  auto values = ParseValueLine(content);
  EXPECT_TRUE(values.ok()) << values.error();
  return values.ok() ? values.value() : ValueLine{};
}

std::string ParseError(std::string_view content) {
  auto values = ParseValueLine(content);
  EXPECT_FALSE(values.ok()) << "accepted: " << content;
  return values.ok() ? "" : values.error();
}

TEST(ValueFileTest, FormatsTheExactBytes) {
  const ValueLine empty_slot{1L, std::string("セーブデータがありません"), false};
  EXPECT_EQ(FormatValueLine(empty_slot), "1,\"" + std::string(kNoSaveData) + "\",#FALSE#\r\n");
  EXPECT_EQ(FormatValueLine({true}), "#TRUE#\r\n");
  EXPECT_EQ(FormatValueLine({-12L, 0L, 2147483648L}), "-12,0,2147483648\r\n");
  EXPECT_EQ(ParseOk(FormatValueLine(empty_slot)), empty_slot);
}

TEST(ValueFileTest, ParsesWhatOtherEditorsWrite) {
  const ValueLine expected{12L, std::string("a, b"), true};
  EXPECT_EQ(ParseOk("12,\"a, b\",#TRUE#\r\n"), expected);
  EXPECT_EQ(ParseOk("12\n\"a, b\"\n#true#\n"), expected);  // LF only
  EXPECT_EQ(ParseOk("12\r\"a, b\"\r#True#"), expected);    // CR only, no final line end
  EXPECT_EQ(ParseOk("  12 ,\t\"a, b\" , #TRUE#  \r\n\r\n"), expected);
  EXPECT_EQ(ParseOk("-3,#false#"), (ValueLine{-3L, false}));
  EXPECT_EQ(ParseOk("\"\""), (ValueLine{std::string()}));
}

TEST(ValueFileTest, RejectsMalformedContentSayingWhy) {
  EXPECT_NE(ParseError("").find("no values"), std::string::npos);
  EXPECT_NE(ParseError(" \r\n").find("no values"), std::string::npos);
  EXPECT_NE(ParseError("1,abc").find("not a whole number"), std::string::npos);
  EXPECT_NE(ParseError("1.5").find("not a whole number"), std::string::npos);
  EXPECT_NE(ParseError("#MAYBE#").find("not a whole number"), std::string::npos);
  EXPECT_NE(ParseError("1,,2").find("empty"), std::string::npos);
  EXPECT_NE(ParseError("\"open").find("quote"), std::string::npos);
  EXPECT_NE(ParseError("99999999999999999999999").find("range"), std::string::npos);
  ParseError("\"a\"b");
  ParseError("1 2");
}

TEST(ValueFileTest, FilesRoundTripAndNameTheFileOnFailure) {
  test::TempDir dir;
  const ValueLine bookmark{57L, std::string("2024/01/02 03:04:05"), std::string("「こんにちは」")};
  ASSERT_TRUE(WriteValueFile(dir.path() / "data2.rgd", bookmark).ok());
  EXPECT_EQ(dir.Read("data2.rgd"), FormatValueLine(bookmark));
  const auto read = ReadValueFile(dir.path() / "data2.rgd");
  ASSERT_TRUE(read.ok()) << read.error();
  EXPECT_EQ(read.value(), bookmark);

  const auto missing = ReadValueFile(dir.path() / "data3.rgd");
  ASSERT_FALSE(missing.ok());
  EXPECT_NE(missing.error().find("data3.rgd"), std::string::npos);

  const auto malformed = ReadValueFile(dir.Write("conf2.rgd", "fast\r\n"));
  ASSERT_FALSE(malformed.ok());
  EXPECT_NE(malformed.error().find("conf2.rgd"), std::string::npos);
  EXPECT_NE(malformed.error().find("fast"), std::string::npos);
}

}  // namespace
}  // namespace shiori
