#pragma once

#include <string>
#include <string_view>

namespace shiori {

// Text in files is Shift-JIS (code page 932); text in memory is UTF-8.

// Decodes CP932 bytes. A byte sequence that does not decode (a double-byte character cut at the end of a fixed
// field, garbage) becomes U+FFFD, one per offending byte, and decoding goes on with the next byte.
[[nodiscard]] std::string DecodeShiftJis(std::string_view bytes);

// Encodes UTF-8 text as CP932. A character CP932 cannot hold becomes '?'; invalid UTF-8 bytes become '?' too.
[[nodiscard]] std::string EncodeShiftJis(std::string_view utf8);

// True when every byte of `bytes` decodes as CP932 (used by tools that report undecodable text).
[[nodiscard]] bool IsValidShiftJis(std::string_view bytes);

}  // namespace shiori
