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
