#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Result.h"

namespace shiori {

// The text of a message line as scenario text shows it: Shift-JIS characters as UTF-8, every other byte as an
// escape, so that writing the text back gives the same bytes.

// Bytes of a line (without its padding) as escaped UTF-8 text.
[[nodiscard]] std::string EscapeLineBytes(std::string_view bytes);

struct LineBytes {
  std::string bytes;   // Shift-JIS
  bool pause = false;  // the text ended in the pause mark
};

// The Shift-JIS bytes of escaped UTF-8 text. Fails with a message (without file and line) on a bad escape, a
// character Shift-JIS cannot hold, or text that is not UTF-8.
[[nodiscard]] Result<LineBytes> UnescapeLineText(std::string_view text);

// How many characters the player counts in these bytes: a double-byte character is one, an undecodable byte one.
[[nodiscard]] std::size_t ShownLength(std::string_view bytes);

// The offset of the first byte that does not decode as Shift-JIS, if any.
[[nodiscard]] std::optional<std::size_t> FirstUndecodableByte(std::string_view bytes);

}  // namespace shiori
