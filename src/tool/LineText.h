#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Result.h"

namespace shiori {

// The text of a message line as scenario text shows it: Shift-JIS characters as UTF-8, every other byte as an
// escape, so that writing the text back gives the same bytes.

// Bytes of a line (without its padding) as escaped UTF-8 text.
[[nodiscard]] std::string EscapeLineBytes(std::string_view bytes);

// A character CP932 holds only under another code point, written as that one: input methods and web pages give
// 〜 (U+301C) where CP932 has ～ (U+FF5E) at 0x8160, and the reader sees the same mark either way.
struct LookAlike {
  std::string written;  // as the text has it, UTF-8
  std::string stored;   // the character whose code was written instead, UTF-8
  std::string code;     // its CP932 code, "0x8160"
};

struct LineBytes {
  std::string bytes;                   // Shift-JIS
  bool pause = false;                  // the text ended in the pause mark
  std::vector<LookAlike> look_alikes;  // each character written as its look-alike, once, in the order met
};

enum class LookAlikes { kReplace, kRefuse };

// The Shift-JIS bytes of escaped UTF-8 text. Fails with a message (without file and line) on a bad escape, a
// character Shift-JIS cannot hold (with kRefuse, one of the look-alikes too), or text that is not UTF-8.
[[nodiscard]] Result<LineBytes> UnescapeLineText(std::string_view text, LookAlikes look_alikes = LookAlikes::kReplace);

// How many characters the player counts in these bytes: a double-byte character is one, an undecodable byte one.
[[nodiscard]] std::size_t ShownLength(std::string_view bytes);

// The offset of the first byte that does not decode as Shift-JIS, if any.
[[nodiscard]] std::optional<std::size_t> FirstUndecodableByte(std::string_view bytes);

}  // namespace shiori
