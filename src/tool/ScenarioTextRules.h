#pragma once

// What the dump and the build of scenario text must agree on, so that one undoes the other.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "scenario/LineCode.h"
#include "scenario/ScenarioRecord.h"

namespace shiori::scenario_text {

constexpr std::size_t kMaxPages = 100000;
constexpr std::size_t kMaxTailBytes = ScenarioRecord::kSize - 1;

struct ByteRange {
  std::size_t offset;
  std::size_t length;
};
// Bytes of the record's header that no field uses.
constexpr std::array<ByteRange, 3> kReservedRanges{{{18, 3}, {33, 3}, {38, 10}}};

struct TypeName {
  std::int16_t value;
  std::string_view name;
};
constexpr std::array<TypeName, 3> kTypeNames{
    {{0, "text"}, {ScenarioRecord::kChoicePage, "choice"}, {ScenarioRecord::kInertPage, "inert"}}};

// The code a line gets when none is written: see the table "Line codes" of the format.
[[nodiscard]] constexpr std::size_t ImplicitCode(std::size_t shown_length, bool pause, bool last_of_text_page) {
  const LineStop stop = pause ? LineStop::Pause : last_of_text_page ? LineStop::PageEnd : LineStop::None;
  return LineCode::Encode(shown_length, stop);
}

[[nodiscard]] constexpr std::size_t LineOffset(std::size_t k) {
  return ScenarioRecord::kHeaderSize + k * ScenarioRecord::kLineBytes;
}

}  // namespace shiori::scenario_text
