#pragma once

#include <filesystem>
#include <optional>

namespace shiori {

// The playing time of a RIFF WAVE file in milliseconds, from its format and data chunks; none when the file is
// missing or is no wave file.
[[nodiscard]] std::optional<int> WaveDurationMs(const std::filesystem::path& file);

}  // namespace shiori
