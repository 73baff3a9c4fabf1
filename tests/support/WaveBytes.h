#pragma once

#include <cstdint>
#include <string>

namespace shiori::test {

// The header of a PCM wave file whose data chunk claims `data_bytes` at `byte_rate` bytes a second, with an extra
// chunk before the data as editors write them. The samples themselves are left out: only the header is read.
inline std::string WaveHeader(std::uint32_t byte_rate, std::uint32_t data_bytes) {
  const auto little32 = [](std::uint32_t v) {
    return std::string{static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                       static_cast<char>(v >> 24)};
  };
  std::string format = std::string("\x01\x00\x02\x00", 4) + little32(byte_rate / 4) + little32(byte_rate) +
                       std::string("\x04\x00\x10\x00", 4);
  std::string bytes = "WAVEfmt " + little32(16) + format + "LIST" + little32(3) + "abc" + std::string(1, '\0') +
                      "data" + little32(data_bytes);
  return "RIFF" + little32(static_cast<std::uint32_t>(bytes.size()) + data_bytes) + bytes;
}

}  // namespace shiori::test
