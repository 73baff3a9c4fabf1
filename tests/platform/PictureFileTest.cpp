#include <gtest/gtest.h>

#include "platform/PictureFile.h"
#include "support/PictureBytes.h"
#include "support/WaveBytes.h"

namespace shiori::test {
namespace {

struct Sample {
  const char* format;
  std::string bytes;
};

std::vector<Sample> Pictures() {
  return {{"BMP", BmpBytes(3, 2)}, {"PNG", kPngBytes}, {"GIF", kGifBytes}, {"JPEG", kJpegBytes}};
}

TEST(PictureProblem, ShowsEveryFormatWhateverTheNameAndFindsEveryCut) {
  for (const Sample& picture : Pictures()) {
    EXPECT_EQ(PictureProblem(picture.bytes), std::nullopt) << picture.format;
    // A GIF whose image is whole shows without its trailer, as decoders show it.
    const std::size_t whole = picture.format == std::string("GIF") ? picture.bytes.size() - 1 : picture.bytes.size();
    for (std::size_t length = 1; length < whole; ++length) {
      const auto problem = PictureProblem(std::string_view(picture.bytes).substr(0, length));
      ASSERT_TRUE(problem) << picture.format << " cut to " << length << " bytes";
      EXPECT_NE(problem->find(length > 8 ? "cut short" : ""), std::string::npos) << *problem;
    }
  }
}

TEST(PictureProblem, NamesGarbageAndDamage) {
  EXPECT_EQ(PictureProblem(""), "an empty file, not a picture");
  EXPECT_EQ(PictureProblem(WaveBytes(8000, 4, "abcd")),
            "not a picture: it starts with 52 49 46 46, as no BMP, JPEG, GIF or PNG file does");

  std::string png = kPngBytes;
  png[43] ^= 0x01;  // a byte of the compressed pixels
  EXPECT_EQ(PictureProblem(png), "a damaged PNG picture (its IDAT chunk fails its checksum)");

  // A header whose size multiplies past any integer is a cut picture, not an overflow.
  std::string huge = BmpBytes(3, 2);
  huge.replace(18, 8, std::string(8, '\x7F'));
  EXPECT_NE(PictureProblem(huge).value_or("").find("cut short in its pixels"), std::string::npos);
  std::string no_size = BmpBytes(3, 2);
  no_size.replace(18, 4, std::string(4, '\0'));
  EXPECT_EQ(PictureProblem(no_size), "a BMP picture of no size");

  std::string jpeg_without_frame = kJpegBytes;
  jpeg_without_frame.erase(20, 13);  // the frame header
  EXPECT_EQ(PictureProblem(jpeg_without_frame), "a damaged JPEG picture (image data before its frame header)");
}

}  // namespace
}  // namespace shiori::test
