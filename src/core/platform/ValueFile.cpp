#include "platform/ValueFile.h"

#include <algorithm>
#include <charconv>

#include "platform/RecordFile.h"
#include "platform/ShiftJis.h"

namespace shiori {

namespace {

// The format has no escape for a quote inside a text; one would end the text early on reading, so it is written
// as an apostrophe instead.
std::string QuotedText(const std::string& text) {
  std::string encoded = EncodeShiftJis(text);
  std::replace(encoded.begin(), encoded.end(), '"', '\'');
  return '"' + encoded + '"';
}

struct ValueFormatter {
  std::string operator()(Number number) const { return std::to_string(number); }
  std::string operator()(const std::string& text) const { return QuotedText(text); }
  std::string operator()(bool flag) const { return flag ? "#TRUE#" : "#FALSE#"; }
};

// The separators and blanks are ASCII bytes below 0x40, which never occur inside a double-byte Shift-JIS
// character, so the content can be split byte by byte before it is decoded.
bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

bool EqualsIgnoringCase(std::string_view text, std::string_view upper) {
  return std::equal(text.begin(), text.end(), upper.begin(), upper.end(),
                    [](char a, char b) { return (a >= 'a' && a <= 'z' ? a - 'a' + 'A' : a) == b; });
}

class ValueParser {
 public:
  explicit ValueParser(std::string_view content) : content_(content) {}

  Result<ValueLine> Parse() {
    SkipLineEnds();
    if (AtEnd()) return Result<ValueLine>::Failure("no values");
    ValueLine values;
    while (!AtEnd()) {
      Result<Value> value = ParseValue(values.size() + 1);
      if (!value) return Result<ValueLine>::Failure(value.error());
      values.push_back(std::move(value.value()));
      SkipBlanks();
      if (AtEnd()) break;
      if (content_[pos_] == ',') {
        ++pos_;
      } else if (IsLineEnd(content_[pos_])) {
        SkipLineEnds();
      } else {
        return Result<ValueLine>::Failure("unexpected text after value " + std::to_string(values.size()));
      }
    }
    return values;
  }

 private:
  [[nodiscard]] bool AtEnd() const { return pos_ >= content_.size(); }

  void SkipBlanks() {
    while (!AtEnd() && IsBlank(content_[pos_])) ++pos_;
  }

  void SkipLineEnds() {
    while (!AtEnd() && (IsBlank(content_[pos_]) || IsLineEnd(content_[pos_]))) ++pos_;
  }

  Result<Value> ParseValue(std::size_t index) {
    SkipBlanks();
    if (!AtEnd() && content_[pos_] == '"') return ParseText(index);
    const std::size_t start = pos_;
    while (!AtEnd() && content_[pos_] != ',' && !IsLineEnd(content_[pos_])) ++pos_;
    std::string_view word = content_.substr(start, pos_ - start);
    while (!word.empty() && IsBlank(word.back())) word.remove_suffix(1);
    return ParseWord(word, index);
  }

  Result<Value> ParseText(std::size_t index) {
    const std::size_t close = content_.find('"', pos_ + 1);
    if (close == std::string_view::npos) {
      return Result<Value>::Failure("value " + std::to_string(index) + " has no closing quote");
    }
    std::string text = DecodeShiftJis(content_.substr(pos_ + 1, close - pos_ - 1));
    pos_ = close + 1;
    return Value(std::move(text));
  }

  static Result<Value> ParseWord(std::string_view word, std::size_t index) {
    if (EqualsIgnoringCase(word, "#TRUE#")) return Value(true);
    if (EqualsIgnoringCase(word, "#FALSE#")) return Value(false);
    const std::string where = "value " + std::to_string(index);
    if (word.empty()) return Result<Value>::Failure(where + " is empty");
    Number number = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), number);
    if (error == std::errc::result_out_of_range) {
      return Result<Value>::Failure(where + " is out of range: " + std::string(word));
    }
    if (error != std::errc() || end != word.data() + word.size()) {
      return Result<Value>::Failure(where + " is not a whole number: " + DecodeShiftJis(word));
    }
    return Value(number);
  }

  std::string_view content_;
  std::size_t pos_ = 0;
};

}  // namespace

std::string FormatValueLine(const ValueLine& values) {
  std::string line;
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (i > 0) line += ',';
    line += std::visit(ValueFormatter{}, values[i]);
  }
  return line + "\r\n";
}

Result<ValueLine> ParseValueLine(std::string_view content) { return ValueParser(content).Parse(); }

Result<ValueLine> ReadValueFile(const std::filesystem::path& file) {
  const Result<std::string> content = ReadWholeFile(file);
  if (!content) return Result<ValueLine>::Failure(content.error());
  Result<ValueLine> values = ParseValueLine(content.value());
  if (!values) return Result<ValueLine>::Failure("Cannot read " + file.string() + ": " + values.error());
  return values;
}

Status WriteValueFile(const std::filesystem::path& file, const ValueLine& values) {
  return WriteFileAtomically(file, FormatValueLine(values));
}

}  // namespace shiori
