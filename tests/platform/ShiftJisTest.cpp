#include <gtest/gtest.h>

#include "platform/ShiftJis.h"
#include "platform/Utf8.h"

namespace shiori {
namespace {

constexpr std::string_view kBad = "\xEF\xBF\xBD";  // U+FFFD

TEST(ShiftJisTest, DecodesDoubleByteHalfWidthAndAscii) {
  EXPECT_EQ(DecodeShiftJis("\x8A\xBF\x8E\x9A"), "漢字");
  EXPECT_EQ(DecodeShiftJis("\xB1"), "ｱ");
  EXPECT_EQ(DecodeShiftJis("\x87\x40"), "①");  // an NEC extension that plain Shift-JIS lacks
  // Trail bytes may look like ASCII ('\' and '@' here); they must not be taken as such.
  EXPECT_EQ(DecodeShiftJis("a\\\x81\x5C\x87\x40z"), "a\\―①z");
  EXPECT_EQ(DecodeShiftJis("plain text 123"), "plain text 123");
  EXPECT_EQ(DecodeShiftJis(""), "");
}

TEST(ShiftJisTest, UndecodableBytesBecomeOneReplacementEachAndDecodingGoesOn) {
  // A double-byte character cut by the end of a fixed field.
  EXPECT_EQ(DecodeShiftJis("AB\x82"), std::string("AB") + std::string(kBad));
  // Bytes that start no character, then good text again.
  EXPECT_EQ(DecodeShiftJis("\x80\xA0\xFF\x82\xA0"), std::string(kBad) + std::string(kBad) + std::string(kBad) + "あ");
  // A lead byte followed by a byte that cannot trail it: only the lead is lost.
  EXPECT_EQ(DecodeShiftJis("\x82 x"), std::string(kBad) + " x");
  EXPECT_FALSE(IsValidShiftJis("AB\x82"));
  EXPECT_FALSE(IsValidShiftJis("\xFF"));
  EXPECT_TRUE(IsValidShiftJis("\x8A\xBF\x8E\x9A and ASCII"));
}

TEST(ShiftJisTest, EncodesAndReplacesWhatCp932CannotHold) {
  EXPECT_EQ(EncodeShiftJis("漢字"), "\x8A\xBF\x8E\x9A");
  EXPECT_EQ(EncodeShiftJis("▽ｱ①"), "\x81\xA4\xB1\x87\x40");
  EXPECT_EQ(EncodeShiftJis("a😀b"), "a?b");          // one '?' per character, not per byte
  EXPECT_EQ(EncodeShiftJis("a\xFF\x80z"), "a??z");  // invalid UTF-8
  EXPECT_EQ(EncodeShiftJis("\xE6\xBC"), "?");       // a character cut at the end
  const std::string text = "セーブデータがありません";
  EXPECT_EQ(DecodeShiftJis(EncodeShiftJis(text)), text);
}

TEST(Utf8Test, CountsAndCutsCodePoints) {
  EXPECT_EQ(Utf8Length("漢字ab"), 4u);
  EXPECT_EQ(Utf8Length(""), 0u);
  EXPECT_EQ(Utf8Length("a\x80z"), 3u);    // a stray continuation byte counts as one
  EXPECT_EQ(Utf8Length("\xE6\xBC"), 1u);  // a cut sequence too
  EXPECT_EQ(Utf8Prefix("漢字ab", 1), "漢");
  EXPECT_EQ(Utf8Prefix("漢字ab", 3), "漢字a");
  EXPECT_EQ(Utf8Prefix("漢字ab", 99), "漢字ab");
  EXPECT_EQ(Utf8Prefix("漢字", 0), "");
}

}  // namespace
}  // namespace shiori
