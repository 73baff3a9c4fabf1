#pragma once

#include <cstdint>
#include <string>

namespace shiori::test {

// Small pictures as encoders write them, for tests that need files a player can show.

// A BMP picture of `width` x `height` grey pixels, 24 bits each, rows padded to four bytes.
inline std::string BmpBytes(std::uint32_t width, std::uint32_t height) {
  const auto little = [](std::uint32_t v, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
    return out;
  };
  const std::uint32_t row = (width * 3 + 3) / 4 * 4;
  const std::string pixels(static_cast<std::size_t>(row) * height, '\x80');
  const std::string info = little(40, 4) + little(width, 4) + little(height, 4) + little(1, 2) + little(24, 2) +
                           little(0, 4) + little(static_cast<std::uint32_t>(pixels.size()), 4) + std::string(16, '\0');
  return "BM" + little(14 + 40 + static_cast<std::uint32_t>(pixels.size()), 4) + little(0, 4) + little(54, 4) + info +
         pixels;
}

// One red pixel as a PNG file: signature, IHDR, IDAT and IEND with their checksums.
inline const std::string kPngBytes(
    "\x89PNG\r\n\x1A\n\x00\x00\x00\x0DIHDR\x00\x00\x00\x01\x00\x00\x00\x01\x08\x02\x00\x00\x00\x90\x77\x53\xDE"
    "\x00\x00\x00\x0CIDAT\x78\x9C\x63\xF8\xCF\xC0\x00\x00\x03\x01\x01\x00\xC9\xFE\x92\xEF"
    "\x00\x00\x00\x00IEND\xAE\x42\x60\x82",
    69);

// One pixel as a GIF file: header, screen with a two-colour table, an image of one sub-block, trailer.
inline const std::string kGifBytes(
    "GIF89a\x01\x00\x01\x00\x80\x00\x00\x00\x00\x00\xFF\xFF\xFF"
    "\x2C\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00\x3B",
    35);

// A JPEG file's segments around a scan of a few bytes: the structure a decoder walks, with a stuffed 0xFF and a
// restart marker in the scan.
inline const std::string kJpegBytes(
    "\xFF\xD8\xFF\xE0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00"
    "\xFF\xC0\x00\x0B\x08\x00\x01\x00\x01\x01\x01\x11\x00"
    "\xFF\xDA\x00\x08\x01\x01\x00\x00\x3F\x00\x12\xFF\x00\x34\xFF\xD0\x56\xFF\xD9",
    52);

}  // namespace shiori::test
