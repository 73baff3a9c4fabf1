#include "platform/Utf8.h"

namespace shiori {

std::size_t Utf8CodePointSize(std::string_view text, std::size_t pos) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  std::size_t expected = 1;
  if (lead >= 0xF0 && lead < 0xF8) {
    expected = 4;
  } else if (lead >= 0xE0 && lead < 0xF0) {
    expected = 3;
  } else if (lead >= 0xC0 && lead < 0xE0) {
    expected = 2;
  }
  std::size_t size = 1;
  while (size < expected && pos + size < text.size() && (static_cast<unsigned char>(text[pos + size]) & 0xC0) == 0x80) {
    ++size;
  }
  return size;
}

std::optional<char32_t> Utf8CodePointAt(std::string_view text, std::size_t pos) {
  const std::size_t size = Utf8CodePointSize(text, pos);
  const auto lead = static_cast<unsigned char>(text[pos]);
  if (size == 1) return lead < 0x80 ? std::optional<char32_t>(lead) : std::nullopt;
  // The lead byte's own bits, then six from each continuation byte.
  char32_t code_point = lead & (0x7F >> size);
  for (std::size_t i = 1; i < size; ++i)
    code_point = code_point << 6 | (static_cast<unsigned char>(text[pos + i]) & 0x3F);
  constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  const bool complete = (size == 2 && lead < 0xE0) || (size == 3 && lead >= 0xE0 && lead < 0xF0) || size == 4;
  if (!complete || code_point < kSmallest[size] || code_point > 0x10FFFF ||
      (code_point >= 0xD800 && code_point < 0xE000)) {
    return std::nullopt;
  }
  return code_point;
}

void AppendUtf8(std::string& out, char32_t code_point) {
  if (code_point < 0x80) {
    out += static_cast<char>(code_point);
  } else if (code_point < 0x800) {
    out += static_cast<char>(0xC0 | code_point >> 6);
    out += static_cast<char>(0x80 | (code_point & 0x3F));
  } else if (code_point < 0x10000) {
    out += static_cast<char>(0xE0 | code_point >> 12);
    out += static_cast<char>(0x80 | (code_point >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (code_point & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | code_point >> 18);
    out += static_cast<char>(0x80 | (code_point >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (code_point >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (code_point & 0x3F));
  }
}

bool IsValidUtf8(std::string_view text) {
  for (std::size_t pos = 0; pos < text.size();) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    const std::size_t expected = lead < 0x80                   ? 1
                                 : lead >= 0xF0 && lead < 0xF8 ? 4
                                 : lead >= 0xE0                ? 3
                                 : lead >= 0xC0                ? 2
                                                               : 0;
    const std::size_t size = Utf8CodePointSize(text, pos);
    if (expected == 0 || lead >= 0xF8 || size != expected) return false;
    pos += size;
  }
  return true;
}

std::size_t Utf8Length(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t pos = 0; pos < text.size(); pos += Utf8CodePointSize(text, pos)) {
    ++count;
  }
  return count;
}

std::string Utf8Prefix(std::string_view text, std::size_t count) {
  std::size_t pos = 0;
  for (std::size_t taken = 0; taken < count && pos < text.size(); ++taken) {
    pos += Utf8CodePointSize(text, pos);
  }
  return std::string(text.substr(0, pos));
}

}  // namespace shiori
