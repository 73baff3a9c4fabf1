#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "LineText.h"
#include "platform/Result.h"

namespace shiori {

// The scenario file as text for authors and translators (docs/scenario-format.md). DumpScenario writes any file,
// whatever its content or size, so that BuildScenario gives back the same bytes; BuildScenario also takes text
// written by hand and computes the line codes it leaves out.

[[nodiscard]] std::string DumpScenario(std::span<const std::uint8_t> bytes);

struct BuiltScenario {
  std::vector<std::uint8_t> bytes;
  std::vector<std::string> warnings;  // "FILE:LINE: warning: message", in the order of the text
};

// The scenario file's bytes and what the build had to change to write them, or every problem found, one per line
// as "FILE:LINE: error: message" (`file_name` is the name the messages give the text). Characters that CP932 holds
// under another code point are written as that one with a warning, or refused as errors.
[[nodiscard]] Result<BuiltScenario> BuildScenarioText(std::string_view text, std::string_view file_name,
                                                      LookAlikes look_alikes);

// The bytes alone, look-alikes written without a word: for text that has been through a build already.
[[nodiscard]] Result<std::vector<std::uint8_t>> BuildScenario(std::string_view text, std::string_view file_name);

}  // namespace shiori
