#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Result.h"

namespace shiori {

// The scenario file as text for authors and translators (docs/scenario-format.md). DumpScenario writes any file,
// whatever its content or size, so that BuildScenario gives back the same bytes; BuildScenario also takes text
// written by hand and computes the line codes it leaves out.

[[nodiscard]] std::string DumpScenario(std::span<const std::uint8_t> bytes);

// The scenario file's bytes, or every problem found, one per line as "FILE:LINE: error: message" (`file_name` is
// the name the messages give the text).
[[nodiscard]] Result<std::vector<std::uint8_t>> BuildScenario(std::string_view text, std::string_view file_name);

}  // namespace shiori
