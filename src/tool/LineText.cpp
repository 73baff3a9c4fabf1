#include "LineText.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <utility>

#include "platform/ShiftJis.h"
#include "platform/Utf8.h"

namespace shiori {
namespace {

bool IsLeadByte(std::uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool IsTrailByte(std::uint8_t b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }
bool IsControl(std::uint8_t b) { return b < 0x20 || b == 0x7F; }

// The length of the Shift-JIS character that starts `bytes`, judged by its byte ranges alone.
std::size_t CharacterLength(std::string_view bytes) {
  const auto lead = static_cast<std::uint8_t>(bytes[0]);
  return IsLeadByte(lead) && bytes.size() > 1 && IsTrailByte(static_cast<std::uint8_t>(bytes[1])) ? 2 : 1;
}

// The character as UTF-8 when it comes back as the same bytes once written again; empty when it must be escaped.
std::string Printable(std::string_view character) {
  if (character.size() == 1 && IsControl(static_cast<std::uint8_t>(character[0]))) return {};
  if (!IsValidShiftJis(character)) return {};
  std::string decoded = DecodeShiftJis(character);
  if (EncodeShiftJis(decoded) != character) return {};
  return decoded;
}

std::string HexEscape(std::uint8_t b) {
  char buffer[5];
  std::snprintf(buffer, sizeof buffer, "\\x%02X", b);
  return buffer;
}

// The length of the UTF-8 sequence at the start of `text`, or 0 when it is not valid UTF-8.
std::size_t Utf8SequenceLength(std::string_view text) {
  const auto lead = static_cast<std::uint8_t>(text[0]);
  const std::size_t length = lead < 0x80           ? 1
                             : (lead >> 5) == 0x6  ? 2
                             : (lead >> 4) == 0xE  ? 3
                             : (lead >> 3) == 0x1E ? 4
                                                   : 0;
  if (length == 0 || length > text.size()) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((static_cast<std::uint8_t>(text[i]) & 0xC0) != 0x80) return 0;
  }
  return length;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The characters of JIS X 0208 that CP932 holds under another code point, with that code point: the well-known
// differences between the JIS and the Microsoft mappings of the same bytes.
constexpr std::array<std::pair<char32_t, char32_t>, 7> kLookAlikes{{{U'\u301C', U'\uFF5E'},
                                                                    {U'\u2014', U'\u2015'},
                                                                    {U'\u2212', U'\uFF0D'},
                                                                    {U'\u2016', U'\u2225'},
                                                                    {U'\u00A2', U'\uFFE0'},
                                                                    {U'\u00A3', U'\uFFE1'},
                                                                    {U'\u00AC', U'\uFFE2'}}};

std::string CodeText(std::string_view bytes) {
  std::string text = "0x";
  char buffer[3];
  for (const char b : bytes) {
    std::snprintf(buffer, sizeof buffer, "%02X", static_cast<std::uint8_t>(b));
    text += buffer;
  }
  return text;
}

// The look-alike CP932 holds for `character`, when it is one of them.
std::optional<LookAlike> LookAlikeOf(std::string_view character) {
  const std::optional<char32_t> code_point = Utf8CodePointAt(character, 0);
  const auto found =
      std::find_if(kLookAlikes.begin(), kLookAlikes.end(), [&](const auto& pair) { return code_point == pair.first; });
  if (found == kLookAlikes.end()) return std::nullopt;
  std::string stored;
  AppendUtf8(stored, found->second);
  return LookAlike{std::string(character), stored, CodeText(EncodeShiftJis(stored))};
}

// The bytes of one UTF-8 character, its look-alike's when it has one and `look_alikes` allows it.
Result<std::string> EncodeCharacter(std::string_view character, LookAlikes look_alikes, LineBytes& line) {
  const std::string encoded = EncodeShiftJis(character);
  if (DecodeShiftJis(encoded) == character) return encoded;
  const std::optional<LookAlike> look_alike = LookAlikeOf(character);
  if (!look_alike)
    return Result<std::string>::Failure("'" + std::string(character) + "' cannot be written in Shift-JIS");
  if (look_alikes == LookAlikes::kRefuse) {
    return Result<std::string>::Failure("'" + look_alike->written + "' is not in Shift-JIS as it stands; CP932 has '" +
                                        look_alike->stored + "' (" + look_alike->code +
                                        ") for it (a build without --strict writes that)");
  }
  const bool known = std::any_of(line.look_alikes.begin(), line.look_alikes.end(),
                                 [&](const LookAlike& seen) { return seen.written == look_alike->written; });
  if (!known) line.look_alikes.push_back(*look_alike);
  return EncodeShiftJis(look_alike->stored);
}

// Appends the escape that starts at text[0] ('\\') and returns its length, or 0 when it is not one.
std::size_t AppendEscape(std::string_view text, LineBytes& line) {
  if (text.size() < 2) return 0;
  if (text[1] == '\\') {
    line.bytes += '\\';
    return 2;
  }
  if (text[1] == 'p' && text.size() == 2) {
    line.pause = true;
    return 2;
  }
  if (text[1] == 'x' && text.size() >= 4 && HexDigit(text[2]) >= 0 && HexDigit(text[3]) >= 0) {
    line.bytes += static_cast<char>(HexDigit(text[2]) * 16 + HexDigit(text[3]));
    return 4;
  }
  return 0;
}

}  // namespace

std::string EscapeLineBytes(std::string_view bytes) {
  std::string text;
  std::size_t end = bytes.size();
  while (end > 0 && bytes[end - 1] == ' ') --end;  // blanks at the end would be lost in a text file
  for (std::size_t i = 0; i < end;) {
    const std::string_view character = bytes.substr(i, CharacterLength(bytes.substr(i)));
    const std::string printable = Printable(character);
    if (printable == "\\") {
      text += "\\\\";
    } else if (!printable.empty()) {
      text += printable;
    } else {
      text += HexEscape(static_cast<std::uint8_t>(bytes[i]));
      i += 1;
      continue;
    }
    i += character.size();
  }
  for (std::size_t i = end; i < bytes.size(); ++i) text += HexEscape(' ');
  return text;
}

Result<LineBytes> UnescapeLineText(std::string_view text, LookAlikes look_alikes) {
  LineBytes line;
  for (std::size_t i = 0; i < text.size();) {
    const std::string_view rest = text.substr(i);
    if (rest[0] == '\\') {
      const std::size_t length = AppendEscape(rest, line);
      if (length == 0) {
        return Result<LineBytes>::Failure(rest.substr(0, 2) == "\\p" ? "the pause mark \\p may only end a line"
                                                                     : "bad escape '" + std::string(rest.substr(0, 2)) +
                                                                           "' (use \\\\, \\xHH or \\p at the end)");
      }
      i += length;
      continue;
    }
    const std::size_t length = Utf8SequenceLength(rest);
    if (length == 0) return Result<LineBytes>::Failure("the text is not valid UTF-8");
    const Result<std::string> encoded = EncodeCharacter(rest.substr(0, length), look_alikes, line);
    if (!encoded) return Result<LineBytes>::Failure(encoded.error());
    line.bytes += encoded.value();
    i += length;
  }
  return line;
}

std::optional<std::size_t> FirstUndecodableByte(std::string_view bytes) {
  for (std::size_t i = 0; i < bytes.size();) {
    const std::size_t length = CharacterLength(bytes.substr(i));
    if (!IsValidShiftJis(bytes.substr(i, length))) return i;
    i += length;
  }
  return std::nullopt;
}

std::size_t ShownLength(std::string_view bytes) { return Utf8Length(DecodeShiftJis(bytes)); }

}  // namespace shiori
