#include "platform/ShiftJis.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstddef>

#include "platform/Utf8.h"

namespace shiori {

namespace {

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

// One iconv descriptor per direction and thread: opening one costs far more than converting a 46-byte line, and
// the scenario reader converts twelve of those for every page.
class Converter {
 public:
  Converter(const char* to, const char* from) : descriptor_(iconv_open(to, from)) {}
  ~Converter() {
    if (available()) iconv_close(descriptor_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts `input` into `out`. Where iconv refuses the input, `on_bad(rest, out)` appends a replacement and
  // returns how many bytes of `rest` to skip. Returns false when anything had to be replaced. Without a
  // descriptor (no gconv module for CP932 on this system) only ASCII gets through.
  template <class OnBad>
  bool Convert(std::string_view input, std::string& out, OnBad on_bad) {
    bool clean = true;
    while (!input.empty()) {
      const std::size_t converted = available() ? ConvertSome(input, out) : AsciiRun(input, out);
      input.remove_prefix(converted);
      if (converted == 0) {
        clean = false;
        input.remove_prefix(std::min(on_bad(input, out), input.size()));
      }
    }
    return clean;
  }

 private:
  [[nodiscard]] bool available() const { return descriptor_ != reinterpret_cast<iconv_t>(-1); }

  // Converts as much of `input` as iconv takes in one go (at most one buffer full) and returns the bytes consumed;
  // 0 means iconv stopped at a sequence it cannot convert.
  std::size_t ConvertSome(std::string_view input, std::string& out) {
    std::array<char, 4096> buffer;
    char* in = const_cast<char*>(input.data());  // iconv's signature; it does not write the input
    std::size_t in_left = input.size();
    char* out_ptr = buffer.data();
    std::size_t out_left = buffer.size();
    iconv(descriptor_, &in, &in_left, &out_ptr, &out_left);
    out.append(buffer.data(), out_ptr - buffer.data());
    return input.size() - in_left;
  }

  static std::size_t AsciiRun(std::string_view input, std::string& out) {
    const auto end = std::find_if(input.begin(), input.end(), [](char c) { return (c & 0x80) != 0; });
    out.append(input.begin(), end);
    return end - input.begin();
  }

  iconv_t descriptor_;
};

bool IsAscii(std::string_view text) {
  return std::none_of(text.begin(), text.end(), [](char c) { return (c & 0x80) != 0; });
}

// A byte that does not start a character CP932 knows: one replacement for it, then go on with the next byte, which
// may well be the start of a good character (a lead byte cut off by the end of a field, stray bytes).
std::size_t ReplaceBadByte(std::string_view /*rest*/, std::string& out) {
  out += kReplacementCharacter;
  return 1;
}

bool Decode(std::string_view bytes, std::string& out) {
  thread_local Converter converter("UTF-8", "CP932");
  out.reserve(bytes.size() * 3 / 2);
  return converter.Convert(bytes, out, ReplaceBadByte);
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
  thread_local Converter converter("CP932", "UTF-8");
  std::string out;
  out.reserve(utf8.size());
  // A whole character that CP932 lacks, or a broken sequence, becomes a single '?'.
  converter.Convert(utf8, out, [](std::string_view rest, std::string& text) {
    text += '?';
    return Utf8CodePointSize(rest, 0);
  });
  return out;
}

bool IsValidShiftJis(std::string_view bytes) {
  if (IsAscii(bytes)) return true;
  std::string ignored;
  return Decode(bytes, ignored);
}

}  // namespace shiori
