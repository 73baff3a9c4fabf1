#include "platform/PictureFile.h"

#include <array>
#include <cstdint>
#include <cstdio>

namespace shiori {
namespace {

using Problem = std::optional<std::string>;

std::uint8_t Byte(std::string_view bytes, std::size_t at) { return static_cast<std::uint8_t>(bytes[at]); }

std::uint32_t Little(std::string_view bytes, std::size_t at, int count) {
  std::uint32_t value = 0;
  for (int i = count - 1; i >= 0; --i) value = value << 8 | Byte(bytes, at + static_cast<std::size_t>(i));
  return value;
}

std::uint32_t Big(std::string_view bytes, std::size_t at, int count) {
  std::uint32_t value = 0;
  for (int i = 0; i < count; ++i) value = value << 8 | Byte(bytes, at + static_cast<std::size_t>(i));
  return value;
}

std::string CutShort(std::string_view format, std::string_view where) {
  return "a " + std::string(format) + " picture cut short " + std::string(where);
}

// ---------------------------------------------------------------------------------------------------------- BMP

constexpr std::size_t kBmpFileHeader = 14;
constexpr std::uint32_t kOs2CoreHeader = 12;

struct BmpHeader {
  std::int64_t width = 0;
  std::int64_t height = 0;  // negative: stored top row first
  std::uint32_t planes = 0;
  std::uint32_t bits = 0;
  std::uint32_t compression = 0;
};

Problem BmpHeaderProblem(const BmpHeader& header) {
  constexpr std::array<std::uint32_t, 6> kBits{1, 4, 8, 16, 24, 32};
  if (header.width <= 0 || header.height == 0) return "a BMP picture of no size";
  if (header.planes != 1) return "a BMP picture with a damaged header (" + std::to_string(header.planes) + " planes)";
  bool known_bits = false;
  for (const std::uint32_t bits : kBits) known_bits = known_bits || bits == header.bits;
  if (!known_bits) return "a BMP picture of " + std::to_string(header.bits) + " bits a pixel, which no BMP has";
  // 0 plain, 1 and 2 run-length coded at 8 and 4 bits, 3 bit fields; the rest (JPEG or PNG inside) Qt cannot show.
  if (header.compression > 3) {
    return "a BMP picture in compression " + std::to_string(header.compression) + ", which the player cannot show";
  }
  return std::nullopt;
}

Problem BmpProblem(std::string_view bytes) {
  if (bytes.size() < kBmpFileHeader + 4) return CutShort("BMP", "in its header");
  const std::uint32_t info_size = Little(bytes, kBmpFileHeader, 4);
  if (info_size != kOs2CoreHeader && info_size < 40) return "a BMP picture with a damaged header";
  if (bytes.size() < kBmpFileHeader + info_size) return CutShort("BMP", "in its header");
  const std::size_t at = kBmpFileHeader + 4;
  BmpHeader header;
  if (info_size == kOs2CoreHeader) {
    header = {Little(bytes, at, 2), Little(bytes, at + 2, 2), Little(bytes, at + 4, 2), Little(bytes, at + 6, 2), 0};
  } else {
    header = {static_cast<std::int32_t>(Little(bytes, at, 4)), static_cast<std::int32_t>(Little(bytes, at + 4, 4)),
              Little(bytes, at + 8, 2), Little(bytes, at + 10, 2), Little(bytes, at + 12, 4)};
  }
  if (Problem problem = BmpHeaderProblem(header)) return problem;
  const std::uint64_t offset = Little(bytes, 10, 4);
  if (offset >= bytes.size()) return CutShort("BMP", "before its pixels");
  if (header.compression == 1 || header.compression == 2) return std::nullopt;  // runs of any length
  const std::uint64_t row = (static_cast<std::uint64_t>(header.width) * header.bits + 31) / 32 * 4;
  const std::uint64_t rows = static_cast<std::uint64_t>(header.height < 0 ? -header.height : header.height);
  // Compared by division: a damaged header's width and height may multiply past any integer.
  if ((bytes.size() - offset) / row < rows) {
    return CutShort("BMP", "in its pixels (" + std::to_string((bytes.size() - offset) / row) + " of " +
                               std::to_string(rows) + " rows)");
  }
  return std::nullopt;
}

// ---------------------------------------------------------------------------------------------------------- PNG

constexpr std::string_view kPngSignature{"\x89PNG\r\n\x1A\n", 8};

std::uint32_t Crc32(std::string_view bytes) {
  static const std::array<std::uint32_t, 256> kTable = [] {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) != 0 ? 0xEDB88320U ^ (c >> 1) : c >> 1;
      table[n] = c;
    }
    return table;
  }();
  std::uint32_t crc = 0xFFFFFFFFU;
  for (const char b : bytes) crc = kTable[(crc ^ static_cast<std::uint8_t>(b)) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFU;
}

// The chunks in turn, up to IEND. A decoder refuses a critical chunk (its type starts upper case) whose checksum
// fails, and passes over an ancillary one, so only the critical ones are checked.
Problem PngProblem(std::string_view bytes) {
  bool header = false;
  bool data = false;
  for (std::size_t at = kPngSignature.size();;) {
    if (bytes.size() - at < 12) return CutShort("PNG", data ? "in its image data" : "before its image data");
    const std::uint32_t length = Big(bytes, at, 4);
    const std::string_view type = bytes.substr(at + 4, 4);
    if (length > bytes.size() - at - 12) return CutShort("PNG", "in its " + std::string(type) + " chunk");
    const bool critical = (Byte(type, 0) & 0x20) == 0;
    if (critical && Crc32(bytes.substr(at + 4, length + 4)) != Big(bytes, at + 8 + length, 4)) {
      return "a damaged PNG picture (its " + std::string(type) + " chunk fails its checksum)";
    }
    if (!header && type != "IHDR") return "a damaged PNG picture (it does not begin with its IHDR chunk)";
    if (type == "IHDR" && (length != 13 || Big(bytes, at + 8, 4) == 0 || Big(bytes, at + 12, 4) == 0)) {
      return "a damaged PNG picture (its IHDR chunk gives no size)";
    }
    if (type == "IEND") return data ? std::nullopt : Problem("a PNG picture without image data");
    header = true;
    data = data || type == "IDAT";
    at += 12 + length;
  }
}

// --------------------------------------------------------------------------------------------------------- JPEG

bool IsStartOfFrame(std::uint8_t marker) {
  return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// Where the entropy-coded data that starts at `at` ends: the next marker that is neither a stuffed 0xFF nor a
// restart; bytes.size() when the file ends first.
std::size_t EndOfScan(std::string_view bytes, std::size_t at) {
  for (; at + 1 < bytes.size(); ++at) {
    if (Byte(bytes, at) != 0xFF) continue;
    const std::uint8_t next = Byte(bytes, at + 1);
    if (next != 0x00 && next != 0xFF && !(next >= 0xD0 && next <= 0xD7)) return at;
  }
  return bytes.size();
}

// The segments in turn from the start of image to its end: a frame header with a size must come before the
// first scan, and the last scan must end in the end-of-image marker.
Problem JpegProblem(std::string_view bytes) {
  bool frame = false;
  bool scan = false;
  for (std::size_t at = 2;;) {
    while (at + 1 < bytes.size() && Byte(bytes, at) == 0xFF && Byte(bytes, at + 1) == 0xFF) ++at;  // fill bytes
    if (at + 1 >= bytes.size()) return CutShort("JPEG", scan ? "in its image data" : "before its image data");
    if (Byte(bytes, at) != 0xFF) return "a damaged JPEG picture (no marker where one must be)";
    const std::uint8_t marker = Byte(bytes, at + 1);
    if (marker == 0xD9) return scan ? std::nullopt : Problem("a JPEG picture without image data");
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {  // markers that stand alone, without a length
      at += 2;
      continue;
    }
    if (at + 4 > bytes.size()) return CutShort("JPEG", "in a segment's header");
    const std::uint32_t length = Big(bytes, at + 2, 2);
    if (length < 2) return "a damaged JPEG picture (a segment of no length)";
    if (at + 2 + length > bytes.size()) return CutShort("JPEG", scan ? "in its image data" : "before its image data");
    if (IsStartOfFrame(marker)) {
      if (length < 8 || Big(bytes, at + 7, 2) == 0) return "a damaged JPEG picture (its frame header gives no width)";
      frame = true;
    }
    if (marker == 0xDA) {
      if (!frame) return "a damaged JPEG picture (image data before its frame header)";
      scan = true;
      at = EndOfScan(bytes, at + 2 + length);
      continue;
    }
    at += 2 + length;
  }
}

// ---------------------------------------------------------------------------------------------------------- GIF

constexpr std::size_t kGifHeader = 13;

// The size of a colour table that `flags` announce, or 0.
std::size_t ColourTable(std::uint8_t flags) { return (flags & 0x80) != 0 ? 3U << ((flags & 0x07) + 1) : 0; }

// Steps over data sub-blocks from `at`; false when the file ends before their terminator.
bool SkipSubBlocks(std::string_view bytes, std::size_t& at) {
  while (at < bytes.size()) {
    const std::size_t size = Byte(bytes, at);
    at += 1 + size;
    if (size == 0) return true;
  }
  return false;
}

// The blocks in turn: extensions and images up to the trailer. Decoders show the images whole before a missing
// trailer, so a file that ends between blocks after an image is still a picture.
Problem GifProblem(std::string_view bytes) {
  if (bytes.size() < kGifHeader) return CutShort("GIF", "in its header");
  if (Little(bytes, 6, 2) == 0 || Little(bytes, 8, 2) == 0) return "a GIF picture of no size";
  std::size_t at = kGifHeader + ColourTable(Byte(bytes, 10));
  bool image = false;
  while (true) {
    if (at >= bytes.size()) return image ? std::nullopt : Problem(CutShort("GIF", "before its image"));
    const std::uint8_t block = Byte(bytes, at);
    if (block == 0x3B) return image ? std::nullopt : Problem("a GIF picture without an image");
    if (block == 0x21) {
      at += 2;
    } else if (block == 0x2C) {
      if (at + 11 > bytes.size()) return CutShort("GIF", "in an image's header");
      at += 10 + ColourTable(Byte(bytes, at + 9)) + 1;  // the descriptor, its colours, the code size
      image = true;
    } else {
      return "a damaged GIF picture (an unknown block)";
    }
    if (!SkipSubBlocks(bytes, at)) return CutShort("GIF", "in its image data");
  }
}

std::string FirstBytes(std::string_view bytes) {
  std::string text;
  char buffer[4];
  for (std::size_t i = 0; i < bytes.size() && i < 4; ++i) {
    std::snprintf(buffer, sizeof buffer, "%s%02X", i == 0 ? "" : " ", Byte(bytes, i));
    text += buffer;
  }
  return text;
}

}  // namespace

std::optional<std::string> PictureProblem(std::string_view bytes) {
  if (bytes.empty()) return "an empty file, not a picture";
  if (bytes.starts_with("BM")) return BmpProblem(bytes);
  if (bytes.starts_with(kPngSignature)) return PngProblem(bytes);
  if (bytes.starts_with("\xFF\xD8")) return JpegProblem(bytes);
  if (bytes.starts_with("GIF87a") || bytes.starts_with("GIF89a")) return GifProblem(bytes);
  return "not a picture: it starts with " + FirstBytes(bytes) + ", as no BMP, JPEG, GIF or PNG file does";
}

}  // namespace shiori
