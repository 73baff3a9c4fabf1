#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace shiori {

// Each of a page's twelve lines carries a code byte telling the typewriter how many characters of the line to
// show and what follows it: 0 shows one character; 1..98 show that many; 99 shows as many as the line before it
// in the same typing run; 100 + n shows n and pauses for a click; 200 + n shows n and ends the page.
enum class LineStop : std::uint8_t { None, Pause, PageEnd };

struct LineCode {
  static constexpr std::uint8_t kKeepCount = 99;
  static constexpr std::uint8_t kPause = 100;
  static constexpr std::uint8_t kPageEnd = 200;

  std::optional<std::size_t> count;  // none: keep the count of the line before
  LineStop stop = LineStop::None;

  [[nodiscard]] static constexpr LineCode Decode(std::uint8_t code) {
    if (code == 0) return {1, LineStop::None};
    if (code < kKeepCount) return {code, LineStop::None};
    if (code == kKeepCount) return {std::nullopt, LineStop::None};
    if (code < kPageEnd) return {code - kPause, LineStop::Pause};
    return {code - kPageEnd, LineStop::PageEnd};
  }

  // The code that shows `count` characters and then stops as told.
  [[nodiscard]] static constexpr std::size_t Encode(std::size_t count, LineStop stop) {
    return count + (stop == LineStop::Pause ? kPause : stop == LineStop::PageEnd ? kPageEnd : 0);
  }
};

}  // namespace shiori
