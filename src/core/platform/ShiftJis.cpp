#include "platform/ShiftJis.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "Cp932Table.h"
#include "platform/Utf8.h"

namespace shiori {

namespace {

constexpr char32_t kReplacementCharacter = 0xFFFD;

bool IsAscii(std::string_view text) {
  return std::none_of(text.begin(), text.end(), [](char c) { return (c & 0x80) != 0; });
}

std::optional<char16_t> DoubleByteCharacter(std::uint8_t lead, std::uint8_t trail) {
  std::size_t row = 0;
  if (lead >= 0x81 && lead <= 0x9F) {
    row = lead - 0x81;
  } else if (lead >= 0xE0 && lead <= 0xFC) {
    row = lead - 0xE0 + (0xA0 - 0x81);
  } else {
    return std::nullopt;
  }
  if (trail < cp932::kFirstTrail || trail >= cp932::kFirstTrail + cp932::kTrailCount) return std::nullopt;
  const char16_t character = cp932::kDouble[row * cp932::kTrailCount + (trail - cp932::kFirstTrail)];
  if (character == cp932::kNone) return std::nullopt;
  return character;
}

// Decodes `bytes` into `out`; returns false when anything had to be replaced. A byte that starts no character
// gets one replacement, and decoding goes on with the next byte, which may well start a good character (a lead
// byte cut off by the end of a field, stray bytes).
bool Decode(std::string_view bytes, std::string& out) {
  out.reserve(bytes.size() * 3 / 2);
  bool clean = true;
  for (std::size_t at = 0; at < bytes.size();) {
    const auto byte = static_cast<std::uint8_t>(bytes[at]);
    if (at + 1 < bytes.size()) {
      if (const auto character = DoubleByteCharacter(byte, static_cast<std::uint8_t>(bytes[at + 1]))) {
        AppendUtf8(out, *character);
        at += 2;
        continue;
      }
    }
    const char16_t single = cp932::kSingle[byte];
    clean = clean && single != cp932::kNone;
    AppendUtf8(out, single == cp932::kNone ? kReplacementCharacter : single);
    ++at;
  }
  return clean;
}

// Language tags are invisible: text carrying them encodes as if they were not there.
bool IsLanguageTag(char32_t code_point) { return code_point >= 0xE0000 && code_point <= 0xE007F; }

void AppendEncoded(std::string& out, char32_t code_point) {
  if (IsLanguageTag(code_point)) return;
  const auto found =
      std::lower_bound(cp932::kEncodings.begin(), cp932::kEncodings.end(), code_point,
                       [](const cp932::Encoding& entry, char32_t wanted) { return entry.code_point < wanted; });
  if (found == cp932::kEncodings.end() || found->code_point != code_point) {
    out += '?';
  } else if (found->bytes > 0xFF) {
    out += static_cast<char>(found->bytes >> 8);
    out += static_cast<char>(found->bytes & 0xFF);
  } else {
    out += static_cast<char>(found->bytes);
  }
}

}  // namespace

std::string DecodeShiftJis(std::string_view bytes) {
  if (IsAscii(bytes)) return std::string(bytes);
  std::string out;
  Decode(bytes, out);
  return out;
}

std::string EncodeShiftJis(std::string_view utf8) {
  if (IsAscii(utf8)) return std::string(utf8);
  std::string out;
  out.reserve(utf8.size());
  // A whole character that CP932 lacks, or a broken sequence, becomes a single '?'.
  for (std::size_t at = 0; at < utf8.size(); at += Utf8CodePointSize(utf8, at)) {
    const std::optional<char32_t> code_point = Utf8CodePointAt(utf8, at);
    if (code_point) {
      AppendEncoded(out, *code_point);
    } else {
      out += '?';
    }
  }
  return out;
}

bool IsValidShiftJis(std::string_view bytes) {
  if (IsAscii(bytes)) return true;
  std::string ignored;
  return Decode(bytes, ignored);
}

}  // namespace shiori
