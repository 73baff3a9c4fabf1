#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace shiori {

// Characters on screen are counted as Unicode code points: a double-byte Shift-JIS character counts as one.

// Number of code points in valid UTF-8 text (a stray continuation byte counts as one character).
[[nodiscard]] std::size_t Utf8Length(std::string_view text);

// Bytes taken by the code point starting at byte `pos` (< text.size()): a lead byte claims only the continuation
// bytes that follow it, so broken text still advances by at least one byte and never past the end.
[[nodiscard]] std::size_t Utf8CodePointSize(std::string_view text, std::size_t pos);

// True when every code point is whole: a lead byte followed by all its continuation bytes, nothing stray.
[[nodiscard]] bool IsValidUtf8(std::string_view text);

// The first `count` code points of `text` (all of it when it is shorter).
[[nodiscard]] std::string Utf8Prefix(std::string_view text, std::size_t count);

}  // namespace shiori
