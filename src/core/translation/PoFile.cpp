#include "translation/PoFile.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <optional>
#include <utility>

#include "platform/Utf8.h"

namespace shiori {
namespace {

// The keyword a string belongs to; continuation lines add to the last one.
enum class Field { None, Context, Original, Plural, Translation, OtherForm };

struct Parser {
  std::string_view file;
  std::size_t line_number = 0;
  std::vector<PoEntry> entries;
  PoEntry entry;
  Field field = Field::None;
  bool has_translation = false;
  bool fuzzy_pending = false;
  std::map<std::pair<std::string, std::string>, std::size_t> seen;
  std::optional<std::string> error;

  void Fail(const std::string& problem) {
    if (!error) error = std::string(file) + ":" + std::to_string(line_number) + ": " + problem;
  }
};

std::string_view TrimSpace(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
}

// Reads the escape after a backslash at `at`; moves `at` past it.
std::optional<char> Escape(std::string_view quoted, std::size_t& at) {
  static constexpr std::string_view kFrom = "ntr\"\\abfv?'";
  static constexpr std::string_view kTo = "\n\t\r\"\\\a\b\f\v?'";
  const char c = quoted[at];
  if (const auto simple = kFrom.find(c); simple != std::string_view::npos) {
    ++at;
    return kTo[simple];
  }
  int value = 0;
  if (c >= '0' && c <= '7') {
    for (int digits = 0; digits < 3 && at < quoted.size() && quoted[at] >= '0' && quoted[at] <= '7'; ++digits) {
      value = value * 8 + (quoted[at++] - '0');
    }
    return static_cast<char>(value);
  }
  if (c == 'x' && at + 1 < quoted.size() && HexValue(quoted[at + 1]) >= 0) {
    ++at;
    while (at < quoted.size() && HexValue(quoted[at]) >= 0) value = (value * 16 + HexValue(quoted[at++])) & 0xFF;
    return static_cast<char>(value);
  }
  return std::nullopt;
}

// A quoted string: its text, or a problem.
Result<std::string> Unquote(std::string_view quoted) {
  if (quoted.size() < 2 || quoted.front() != '"') return Result<std::string>::Failure("a string must start with \"");
  std::string text;
  std::size_t at = 1;
  while (at < quoted.size() && quoted[at] != '"') {
    if (quoted[at] != '\\') {
      text += quoted[at++];
      continue;
    }
    if (++at >= quoted.size()) break;
    const std::optional<char> escaped = Escape(quoted, at);
    if (!escaped) return Result<std::string>::Failure(std::string("unknown escape \\") + quoted[at]);
    text += *escaped;
  }
  if (at >= quoted.size()) return Result<std::string>::Failure("the string has no closing \"");
  if (!TrimSpace(quoted.substr(at + 1)).empty()) {
    return Result<std::string>::Failure("text after the closing \" of a string");
  }
  if (!IsValidUtf8(text)) return Result<std::string>::Failure("the string is not UTF-8 text");
  return text;
}

// The header's charset, as the Content-Type line gives it.
std::string Charset(std::string_view header) {
  constexpr std::string_view kKey = "charset=";
  const auto at = header.find(kKey);
  if (at == std::string_view::npos) return "UTF-8";
  std::string_view value = header.substr(at + kKey.size());
  value = value.substr(0, value.find_first_of(" ;\n"));
  std::string lower(value);
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
  return lower;
}

void Finish(Parser& p) {
  if (p.field == Field::None) return;
  if (!p.has_translation) {
    p.Fail("the message has no msgstr");
    return;
  }
  if (p.entry.original.empty() && p.entry.context.empty()) {
    const std::string charset = Charset(p.entry.translation);
    if (charset != "utf-8" && charset != "utf8" && charset != "charset") {
      p.line_number = p.entry.line;
      p.Fail("the file declares charset " + charset + "; save it as UTF-8");
    }
  } else if (!p.seen.emplace(std::pair(p.entry.context, p.entry.original), p.entry.line).second) {
    p.line_number = p.entry.line;
    p.Fail("the message \"" + p.entry.context + "\" is given twice (first at line " +
           std::to_string(p.seen[{p.entry.context, p.entry.original}]) + ")");
  } else {
    p.entries.push_back(std::move(p.entry));
  }
  p.entry = {};
  p.field = Field::None;
  p.has_translation = false;
}

std::string* Target(Parser& p) {
  switch (p.field) {
    case Field::Context:
      return &p.entry.context;
    case Field::Original:
      return &p.entry.original;
    case Field::Translation:
      return &p.entry.translation;
    default:
      return nullptr;  // the plural's forms: read, checked, not shown
  }
}

// A keyword and its string. The keywords come in the order msgctxt, msgid, msgid_plural, msgstr.
void Keyword(Parser& p, std::string_view keyword, std::string_view rest) {
  const bool starts_entry = keyword == "msgctxt" || (keyword == "msgid" && p.field != Field::Context);
  if (starts_entry) Finish(p);
  const bool plural_form = keyword.starts_with("msgstr[");
  if (keyword == "msgctxt") {
    p.field = Field::Context;
  } else if (keyword == "msgid") {
    p.field = Field::Original;
    p.entry.line = p.line_number;
    p.entry.fuzzy = std::exchange(p.fuzzy_pending, false);
  } else if (keyword == "msgid_plural" && p.field == Field::Original) {
    p.field = Field::Plural;
  } else if ((keyword == "msgstr" || plural_form) && (p.field == Field::Original || p.field == Field::Plural ||
                                                      p.field == Field::Translation || p.field == Field::OtherForm)) {
    const bool first_form = keyword == "msgstr" || keyword == "msgstr[0]";
    p.field = first_form && !p.has_translation ? Field::Translation : Field::OtherForm;
    p.has_translation = true;
  } else {
    p.Fail(std::string(keyword) + " is out of place");
    return;
  }
  Result<std::string> text = Unquote(TrimSpace(rest));
  if (!text) return p.Fail(text.error());
  if (std::string* target = Target(p)) *target = std::move(text.value());
}

void Line(Parser& p, std::string_view line) {
  line = TrimSpace(line);
  if (line.empty()) return;
  if (line.starts_with("#~")) return;  // an obsolete message, kept by editors for reference only
  if (line.starts_with("#,")) {
    if (line.find("fuzzy") != std::string_view::npos) p.fuzzy_pending = true;
    return;
  }
  if (line.starts_with('#')) return;
  if (line.starts_with('"')) {
    if (p.field == Field::None) return p.Fail("a string that belongs to no keyword");
    Result<std::string> text = Unquote(line);
    if (!text) return p.Fail(text.error());
    if (std::string* target = Target(p)) *target += text.value();
    return;
  }
  const std::size_t end = line.find_first_of(" \t\"");
  const std::string_view keyword = line.substr(0, end);
  if (keyword == "msgctxt" || keyword == "msgid" || keyword == "msgid_plural" || keyword.starts_with("msgstr")) {
    return Keyword(p, keyword, end == std::string_view::npos ? std::string_view{} : line.substr(end));
  }
  p.Fail("unknown keyword " + std::string(keyword));
}

}  // namespace

Result<std::vector<PoEntry>> ParsePo(std::string_view text, std::string_view file) {
  Parser p{.file = file};
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  while (!text.empty() && !p.error) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    std::string_view line = text.substr(0, end);
    if (line.ends_with('\r')) line.remove_suffix(1);
    text.remove_prefix(std::min(end + 1, text.size()));
    ++p.line_number;
    Line(p, line);
  }
  ++p.line_number;
  if (!p.error) Finish(p);
  if (p.error) return Result<std::vector<PoEntry>>::Failure(*p.error);
  return std::move(p.entries);
}

std::string PoString(std::string_view text) {
  const auto quote = [](std::string_view part) {
    std::string out = "\"";
    for (const char c : part) {
      switch (c) {
        case '"':
          out += "\\\"";
          break;
        case '\\':
          out += "\\\\";
          break;
        case '\n':
          out += "\\n";
          break;
        case '\r':
          out += "\\r";
          break;
        case '\t':
          out += "\\t";
          break;
        default:
          out += c;
      }
    }
    return out + "\"";
  };
  const std::size_t newline = text.find('\n');
  if (newline == std::string_view::npos || newline + 1 == text.size()) return quote(text);
  std::string out = "\"\"";
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size() - 1) + 1;
    out += "\n" + quote(text.substr(0, end));
    text.remove_prefix(end);
  }
  return out;
}

}  // namespace shiori
