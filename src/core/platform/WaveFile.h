#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace shiori {

// What the header of a RIFF WAVE file says about its samples and where they lie.
struct WaveLayout {
  // 1 integer PCM, 3 floating point, 6 A-law, 7 mu-law; an extensible header gives its sub-format's tag here.
  std::uint16_t format_tag = 0;
  std::uint16_t channels = 0;
  std::uint32_t sample_rate = 0;
  std::uint32_t byte_rate = 0;
  std::uint16_t bits_per_sample = 0;
  std::uint64_t data_offset = 0;  // where the first sample lies in the file
  std::uint32_t data_bytes = 0;   // as the data chunk claims it: a cut file holds fewer
};

// The sample formats the shells hand to their sound output as they are.
enum class SampleFormat { Unsigned8, Signed16, Signed24, Signed32, Float32, ALaw, MuLaw };

// The format of the file's samples, or none for one the player does not play.
[[nodiscard]] std::optional<SampleFormat> PlayedFormat(const WaveLayout& wave);

// The header of a wave file, up to its data chunk; none when the file is missing or is no wave file.
[[nodiscard]] std::optional<WaveLayout> ReadWaveLayout(const std::filesystem::path& file);

// The playing time of a RIFF WAVE file in milliseconds, from its format and data chunks; none when the file is
// missing or is no wave file.
[[nodiscard]] std::optional<int> WaveDurationMs(const std::filesystem::path& file);

// Why the player cannot play a wave file as a piece of music, or none when it can: no wave file, samples in a
// format the shells do not play, or fewer samples than the header promises (the piece would repeat after a
// silence as long as what is missing).
[[nodiscard]] std::optional<std::string> WaveProblem(const std::filesystem::path& file);

}  // namespace shiori
