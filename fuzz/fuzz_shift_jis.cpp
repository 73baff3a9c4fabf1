// Shift-JIS decoding and encoding of any bytes: never fails, always gives well-formed text.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/ShiftJis.h"

namespace {

// Well-formed UTF-8: every sequence complete, shortest form, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const int length = lead < 0x80                    ? 1
                       : lead >= 0xC2 && lead <= 0xDF ? 2
                       : lead >= 0xE0 && lead <= 0xEF ? 3
                       : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                      : 0;
    if (length == 0 || i + length > text.size()) return false;
    char32_t code = length == 1 ? lead : lead & (0x7F >> length);
    for (int k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      code = (code << 6) | (next & 0x3F);
    }
    static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
    i += static_cast<std::size_t>(length);
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::string text = shiori::DecodeShiftJis(bytes);
  if (!IsValidUtf8(text)) std::abort();
  const std::string encoded = shiori::EncodeShiftJis(text);
  if (!shiori::IsValidShiftJis(encoded)) std::abort();
  // Valid input decodes to as many characters as it has, so encoding them gives back as many bytes or fewer.
  if (shiori::IsValidShiftJis(bytes) && encoded.size() != bytes.size()) std::abort();
  static_cast<void>(shiori::EncodeShiftJis(bytes));  // the same bytes taken as (mostly invalid) UTF-8
  return 0;
}
