#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace shiori {

// Characters on screen are counted as Unicode code points: a double-byte Shift-JIS character counts as one.

// Number of code points in valid UTF-8 text (a stray continuation byte counts as one character).
[[nodiscard]] std::size_t Utf8Length(std::string_view text);

// Bytes taken by the code point starting at byte `pos` (< text.size()): a lead byte claims only the continuation
// bytes that follow it, so broken text still advances by at least one byte and never past the end.
[[nodiscard]] std::size_t Utf8CodePointSize(std::string_view text, std::size_t pos);

// The code point whose UTF-8 sequence starts at byte `pos` (< text.size()), or nullopt when the sequence there is
// broken: cut, overlong, a surrogate, beyond U+10FFFF, or a stray continuation byte.
[[nodiscard]] std::optional<char32_t> Utf8CodePointAt(std::string_view text, std::size_t pos);

// Appends `code_point` (a Unicode scalar value) as UTF-8.
void AppendUtf8(std::string& out, char32_t code_point);

// True when every code point is whole: a lead byte followed by all its continuation bytes, nothing stray.
[[nodiscard]] bool IsValidUtf8(std::string_view text);

// The first `count` code points of `text` (all of it when it is shorter).
[[nodiscard]] std::string Utf8Prefix(std::string_view text, std::size_t count);

}  // namespace shiori
