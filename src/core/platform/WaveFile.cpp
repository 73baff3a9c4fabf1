#include "platform/WaveFile.h"

#include <cstdint>
#include <fstream>
#include <limits>
#include <string>

namespace shiori {
namespace {

std::uint32_t Little32(const char* bytes) {
  const auto* b = reinterpret_cast<const unsigned char*>(bytes);
  return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
}

}  // namespace

std::optional<int> WaveDurationMs(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  char header[12];
  if (!in.read(header, sizeof header) || std::string(header, 4) != "RIFF" || std::string(header + 8, 4) != "WAVE") {
    return std::nullopt;
  }
  std::uint32_t byte_rate = 0;
  char chunk[8];
  while (in.read(chunk, sizeof chunk)) {
    const std::string id(chunk, 4);
    const std::uint32_t size = Little32(chunk + 4);
    if (id == "fmt ") {
      char format[16];
      if (size < sizeof format || !in.read(format, sizeof format)) return std::nullopt;
      byte_rate = Little32(format + 8);
      in.seekg(size - sizeof format + (size & 1), std::ios::cur);
    } else if (id == "data") {
      if (byte_rate == 0) return std::nullopt;
      // A header whose length does not fit a timer interval is garbage, not a piece of music.
      const std::uint64_t ms = static_cast<std::uint64_t>(size) * 1000 / byte_rate;
      if (ms > static_cast<std::uint64_t>(std::numeric_limits<int>::max())) return std::nullopt;
      return static_cast<int>(ms);
    } else {
      in.seekg(size + (size & 1), std::ios::cur);
    }
  }
  return std::nullopt;
}

}  // namespace shiori
