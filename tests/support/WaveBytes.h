#pragma once

#include <cstdint>
#include <string>

namespace shiori::test {

// The bytes of an 8-bit mono PCM wave file at `rate` samples (bytes) a second, with an extra chunk before the data
// as editors write them. The data chunk claims `data_bytes` and holds `samples`, which may be fewer than claimed:
// a length check reads only the header.
inline std::string WaveBytes(std::uint32_t rate, std::uint32_t data_bytes, const std::string& samples = {}) {
  const auto little = [](std::uint32_t v, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
    return out;
  };
  const std::string format =
      little(1, 2) + little(1, 2) + little(rate, 4) + little(rate, 4) + little(1, 2) + little(8, 2);
  const std::string bytes = "WAVEfmt " + little(16, 4) + format + "LIST" + little(3, 4) + "abc" + std::string(1, '\0') +
                            "data" + little(data_bytes, 4);
  return "RIFF" + little(static_cast<std::uint32_t>(bytes.size()) + data_bytes, 4) + bytes + samples;
}

}  // namespace shiori::test
