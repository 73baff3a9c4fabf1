// The portable CP932 converter against glibc's iconv, which the player used before: both must give the same
// text for every byte sequence, in both directions.
#include <gtest/gtest.h>
#include <iconv.h>

#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>

#include "platform/ShiftJis.h"
#include "platform/Utf8.h"

namespace shiori {
namespace {

// iconv the way the player drove it: convert what converts; where it stops, append `replacement` and skip
// the offending byte (decoding) or the offending UTF-8 sequence (encoding).
class IconvReference {
 public:
  IconvReference(const char* to, const char* from) : descriptor_(iconv_open(to, from)) {}
  ~IconvReference() {
    if (available()) iconv_close(descriptor_);
  }
  [[nodiscard]] bool available() const { return descriptor_ != reinterpret_cast<iconv_t>(-1); }

  std::string Convert(std::string_view input, std::string_view replacement, bool skip_utf8_sequence) {
    std::string out;
    while (!input.empty()) {
      std::array<char, 4096> buffer;
      char* in = const_cast<char*>(input.data());
      std::size_t in_left = input.size();
      char* out_ptr = buffer.data();
      std::size_t out_left = buffer.size();
      iconv(descriptor_, &in, &in_left, &out_ptr, &out_left);
      out.append(buffer.data(), out_ptr - buffer.data());
      const std::size_t converted = input.size() - in_left;
      input.remove_prefix(converted);
      if (converted == 0) {
        out += replacement;
        input.remove_prefix(skip_utf8_sequence ? Utf8CodePointSize(input, 0) : 1);
      }
    }
    return out;
  }

 private:
  iconv_t descriptor_;
};

class ShiftJisDifferentialTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(decoder_.available() && encoder_.available()) << "this system's iconv lacks CP932";
  }

  void ExpectSameDecoding(const std::string& bytes) {
    ASSERT_EQ(DecodeShiftJis(bytes), decoder_.Convert(bytes, "\xEF\xBF\xBD", false)) << Hex(bytes);
  }
  void ExpectSameEncoding(const std::string& utf8) {
    ASSERT_EQ(EncodeShiftJis(utf8), encoder_.Convert(utf8, "?", true)) << Hex(utf8);
  }

  static std::string Hex(std::string_view bytes) {
    std::string hex = "bytes:";
    for (const char c : bytes) hex += " " + std::to_string(static_cast<std::uint8_t>(c));
    return hex;
  }

  IconvReference decoder_{"UTF-8", "CP932"};
  IconvReference encoder_{"CP932", "UTF-8"};
};

TEST_F(ShiftJisDifferentialTest, EveryOneAndTwoByteSequenceConvertsAsIconvDoes) {
  for (int first = 0; first < 256; ++first) {
    const std::string one(1, static_cast<char>(first));
    ExpectSameDecoding(one);
    ExpectSameEncoding(one);
    for (int second = 0; second < 256; ++second) {
      const std::string two{static_cast<char>(first), static_cast<char>(second)};
      ExpectSameDecoding(two);
      ExpectSameEncoding(two);
    }
  }
}

TEST_F(ShiftJisDifferentialTest, EveryCodePointEncodesAsIconvDoes) {
  for (char32_t code_point = 0; code_point <= 0x10FFFF; ++code_point) {
    if (code_point >= 0xD800 && code_point < 0xE000) continue;
    std::string utf8;
    AppendUtf8(utf8, code_point);
    ExpectSameEncoding(utf8);
  }
  // Surrogates written as UTF-8 are no characters.
  ExpectSameEncoding("\xED\xA0\x80");
}

// Random strings mix whole characters with lead bytes and stray bytes, so that cut and broken sequences fall at
// every position, in the middle of text as well as at its end (a 46-byte field cutting a character).
TEST_F(ShiftJisDifferentialTest, RandomStringsConvertAsIconvDoes) {
  std::mt19937 random(932);
  const std::string fragments[] = {"\x81",
                                   "\x82",
                                   "\x87",
                                   "\xA0",
                                   "\xE0",
                                   "\xED",
                                   "\xFC",
                                   "\xFF",
                                   "\x40",
                                   "\x7F",
                                   "\x80",
                                   "\xB1",
                                   "a",
                                   "\\",
                                   "~",
                                   "\xC3",
                                   "\xE3\x81",
                                   "\xF0\x9F",
                                   "\x82\xA0",
                                   "\x87\x40",
                                   "\xEF\xBF\xBD",
                                   "①",
                                   "～",
                                   "漢",
                                   "😀",
                                   "\xF3\xA0\x80\x81"};
  std::uniform_int_distribution<std::size_t> pick(0, std::size(fragments) - 1);
  std::uniform_int_distribution<int> length(1, 46);
  for (int i = 0; i < 20000; ++i) {
    std::string text;
    for (int n = length(random); n > 0; --n) text += fragments[pick(random)];
    ExpectSameDecoding(text);
    ExpectSameEncoding(text);
    ExpectSameEncoding(DecodeShiftJis(text));
  }
}

}  // namespace
}  // namespace shiori
