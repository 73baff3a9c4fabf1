#include "support/JsonCheck.h"

#include <cctype>
#include <cstddef>
#include <cstring>

namespace shiori::test {
namespace {

// A recursive-descent recogniser of RFC 8259 JSON; it builds nothing, it only says whether the text is JSON.
class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  bool Document() { return Value(0) && (Blanks(), at_ == text_.size()); }

 private:
  static constexpr int kDeepest = 64;

  [[nodiscard]] unsigned char Peek() const { return at_ < text_.size() ? text_[at_] : 0; }
  bool Take(char c) {
    if (Peek() != static_cast<unsigned char>(c)) return false;
    ++at_;
    return true;
  }
  void Blanks() {
    while (at_ < text_.size() && std::strchr(" \t\r\n", text_[at_]) != nullptr) ++at_;
  }
  bool Word(std::string_view word) {
    if (text_.substr(at_, word.size()) != word) return false;
    at_ += word.size();
    return true;
  }

  bool Value(int depth) {
    Blanks();
    if (depth > kDeepest) return false;
    switch (Peek()) {
      case '{':
        return Members('}', depth, true);
      case '[':
        return Members(']', depth, false);
      case '"':
        return String();
      case 't':
        return Word("true");
      case 'f':
        return Word("false");
      case 'n':
        return Word("null");
      default:
        return Number();
    }
  }

  bool Members(char close, int depth, bool keyed) {
    ++at_;
    Blanks();
    if (Take(close)) return true;
    do {
      Blanks();
      if (keyed && !(String() && (Blanks(), Take(':')))) return false;
      if (!Value(depth + 1)) return false;
      Blanks();
    } while (Take(','));
    return Take(close);
  }

  bool Digits() {
    const std::size_t from = at_;
    while (Peek() >= '0' && Peek() <= '9') ++at_;
    return at_ > from;
  }

  bool Number() {
    Take('-');
    if (!Take('0') && !(Peek() >= '1' && Peek() <= '9' && Digits())) return false;
    if (Take('.') && !Digits()) return false;
    if (Take('e') || Take('E')) {
      if (!Take('+')) Take('-');
      if (!Digits()) return false;
    }
    return true;
  }

  bool String() {
    if (!Take('"')) return false;
    while (at_ < text_.size()) {
      if (Take('"')) return true;
      if (Peek() < 0x20) return false;
      if (Take('\\') ? !Escape() : !Utf8Character()) return false;
    }
    return false;
  }

  bool Escape() {
    if (Take('u')) {
      for (int i = 0; i < 4; ++i, ++at_) {
        if (std::isxdigit(Peek()) == 0) return false;
      }
      return true;
    }
    if (Peek() == 0 || std::strchr("\"\\/bfnrt", Peek()) == nullptr) return false;
    ++at_;
    return true;
  }

  // One well-formed UTF-8 character: no overlong form, no surrogate, nothing above U+10FFFF.
  bool Utf8Character() {
    const unsigned char lead = Peek();
    std::size_t size = 1;
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
      size = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      size = 3;
      low = lead == 0xE0 ? 0xA0 : 0x80;
      high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      size = 4;
      low = lead == 0xF0 ? 0x90 : 0x80;
      high = lead == 0xF4 ? 0x8F : 0xBF;
    } else if (lead >= 0x80) {
      return false;
    }
    for (std::size_t i = 1; i < size; ++i) {
      if (at_ + i >= text_.size()) return false;
      const auto c = static_cast<unsigned char>(text_[at_ + i]);
      if (c < (i == 1 ? low : 0x80) || c > (i == 1 ? high : 0xBF)) return false;
    }
    at_ += size;
    return true;
  }

  std::string_view text_;
  std::size_t at_ = 0;
};

}  // namespace

bool IsJsonLine(std::string_view line) { return Reader(line).Document(); }

}  // namespace shiori::test
