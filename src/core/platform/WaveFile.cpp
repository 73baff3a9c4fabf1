#include "platform/WaveFile.h"

#include <fstream>
#include <limits>
#include <string>

namespace shiori {
namespace {

std::uint32_t Little32(const char* bytes) {
  const auto* b = reinterpret_cast<const unsigned char*>(bytes);
  return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
}

std::uint16_t Little16(const char* bytes) {
  const auto* b = reinterpret_cast<const unsigned char*>(bytes);
  return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
}

constexpr std::uint16_t kExtensibleTag = 0xFFFE;

// Reads the format chunk of `size` bytes into `layout`; false when it is too short to say what it must.
bool ReadFormat(std::ifstream& in, std::uint32_t size, WaveLayout& layout) {
  char format[26];
  const std::uint32_t read = size >= sizeof format ? sizeof format : 16;
  if (size < 16 || !in.read(format, read)) return false;
  layout.format_tag = Little16(format);
  layout.channels = Little16(format + 2);
  layout.sample_rate = Little32(format + 4);
  layout.byte_rate = Little32(format + 8);
  layout.bits_per_sample = Little16(format + 14);
  // The extensible header names its real format by the first two bytes of a sub-format GUID.
  if (layout.format_tag == kExtensibleTag) layout.format_tag = read == sizeof format ? Little16(format + 24) : 0;
  in.seekg(size - read + (size & 1), std::ios::cur);
  return true;
}

// The limits of the sound server the window plays through (PA_CHANNELS_MAX, PA_RATE_MAX).
constexpr std::uint16_t kMostChannels = 32;
constexpr std::uint32_t kHighestRate = 384000;

}  // namespace

std::optional<WaveLayout> ReadWaveLayout(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  char header[12];
  if (!in.read(header, sizeof header) || std::string(header, 4) != "RIFF" || std::string(header + 8, 4) != "WAVE") {
    return std::nullopt;
  }
  WaveLayout layout;
  bool has_format = false;
  char chunk[8];
  while (in.read(chunk, sizeof chunk)) {
    const std::string id(chunk, 4);
    const std::uint32_t size = Little32(chunk + 4);
    if (id == "fmt ") {
      if (!ReadFormat(in, size, layout)) return std::nullopt;
      has_format = true;
    } else if (id == "data") {
      if (!has_format) return std::nullopt;
      layout.data_offset = static_cast<std::uint64_t>(in.tellg());
      layout.data_bytes = size;
      return layout;
    } else {
      in.seekg(size + (size & 1), std::ios::cur);
    }
  }
  return std::nullopt;
}

std::optional<int> WaveDurationMs(const std::filesystem::path& file) {
  const std::optional<WaveLayout> layout = ReadWaveLayout(file);
  if (!layout || layout->byte_rate == 0) return std::nullopt;
  // A header whose length does not fit a timer interval is garbage, not a piece of music.
  const std::uint64_t ms = static_cast<std::uint64_t>(layout->data_bytes) * 1000 / layout->byte_rate;
  if (ms > static_cast<std::uint64_t>(std::numeric_limits<int>::max())) return std::nullopt;
  return static_cast<int>(ms);
}

// Integer PCM of 8 to 32 bits, 32-bit floating point, A-law and mu-law.
std::optional<SampleFormat> PlayedFormat(const WaveLayout& wave) {
  const int bits = wave.bits_per_sample;
  switch (wave.format_tag) {
    case 1:
      if (bits == 8) return SampleFormat::Unsigned8;
      if (bits == 16) return SampleFormat::Signed16;
      if (bits == 24) return SampleFormat::Signed24;
      if (bits == 32) return SampleFormat::Signed32;
      return std::nullopt;
    case 3:
      return bits == 32 ? std::optional(SampleFormat::Float32) : std::nullopt;
    case 6:
      return bits == 8 ? std::optional(SampleFormat::ALaw) : std::nullopt;
    case 7:
      return bits == 8 ? std::optional(SampleFormat::MuLaw) : std::nullopt;
    default:
      return std::nullopt;
  }
}

std::optional<std::string> WaveProblem(const std::filesystem::path& file) {
  const std::optional<WaveLayout> wave = ReadWaveLayout(file);
  if (!wave) return "not a wave file: no RIFF WAVE header with a format chunk before its data";
  if (!PlayedFormat(*wave)) {
    return "a wave file in a sample format the player does not play: format " + std::to_string(wave->format_tag) +
           " with " + std::to_string(wave->bits_per_sample) + " bits (it plays integer PCM, 32-bit float, A-law " +
           "and mu-law)";
  }
  if (wave->channels == 0 || wave->channels > kMostChannels || wave->sample_rate == 0 ||
      wave->sample_rate > kHighestRate || wave->byte_rate == 0) {
    return "a wave file with a damaged format chunk (" + std::to_string(wave->channels) + " channels, " +
           std::to_string(wave->sample_rate) + " samples a second, " + std::to_string(wave->byte_rate) +
           " bytes a second)";
  }
  if (wave->data_bytes == 0) return "a wave file without samples";
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(file, error);
  const std::uint64_t held = error || size < wave->data_offset ? 0 : size - wave->data_offset;
  if (held < wave->data_bytes) {
    return "a wave file cut short (it holds " + std::to_string(held) + " of the " + std::to_string(wave->data_bytes) +
           " bytes of samples its header gives)";
  }
  return std::nullopt;
}

}  // namespace shiori
