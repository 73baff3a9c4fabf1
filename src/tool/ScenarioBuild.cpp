#include <algorithm>
#include <charconv>
#include <map>
#include <optional>
#include <set>

#include "LineText.h"
#include "ScenarioText.h"
#include "ScenarioTextRules.h"

namespace shiori {
namespace {

using namespace scenario_text;

struct TextLine {
  std::size_t source_line = 0;
  std::string bytes;
  bool pause = false;
  std::optional<std::uint8_t> code;
  int choice = -1;  // the `choice` it belongs to, -1 before any
};

struct PageDraft {
  std::size_t source_line = 0;
  std::vector<std::uint8_t> record = std::vector<std::uint8_t>(ScenarioRecord::kSize, 0);
  std::set<std::string, std::less<>> fields;  // keywords given once only
  std::uint8_t pad = ' ';
  std::vector<TextLine> lines;
  std::vector<std::int16_t> choice_targets;
  std::size_t first_choice_line = 0;
};

std::vector<std::string_view> SplitWords(std::string_view text) {
  std::vector<std::string_view> words;
  std::size_t i = 0;
  while (true) {
    i = text.find_first_not_of(" \t", i);
    if (i == std::string_view::npos) return words;
    const std::size_t end = std::min(text.find_first_of(" \t", i), text.size());
    words.push_back(text.substr(i, end - i));
    i = end;
  }
}

std::string_view Trim(std::string_view text) {
  const std::size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string_view::npos) return {};
  return text.substr(begin, text.find_last_not_of(" \t\r") + 1 - begin);
}

template <class T>
std::optional<T> ParseNumber(std::string_view word, long low, long high, int base = 10) {
  long value = 0;
  const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value, base);
  if (error != std::errc() || end != word.data() + word.size() || value < low || value > high) return std::nullopt;
  return static_cast<T>(value);
}

void PutInt16(std::vector<std::uint8_t>& record, std::size_t offset, std::int16_t value) {
  const auto raw = static_cast<std::uint16_t>(value);
  record[offset] = static_cast<std::uint8_t>(raw & 0xFF);
  record[offset + 1] = static_cast<std::uint8_t>(raw >> 8);
}

bool IsReserved(std::size_t offset) {
  return std::any_of(kReservedRanges.begin(), kReservedRanges.end(),
                     [&](ByteRange r) { return offset >= r.offset && offset < r.offset + r.length; });
}

class Builder {
 public:
  Builder(std::string_view file_name, LookAlikes look_alikes) : file_name_(file_name), look_alikes_(look_alikes) {}

  Result<BuiltScenario> Build(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    std::size_t number = 0;
    while (!text.empty()) {
      const std::size_t end = std::min(text.find('\n'), text.size());
      line_ = ++number;
      ParseLine(Trim(text.substr(0, end)));
      text.remove_prefix(std::min(end + 1, text.size()));
    }
    FinishPage();
    if (!errors_.empty()) return Result<BuiltScenario>::Failure(errors_.substr(0, errors_.size() - 1));
    return BuiltScenario{Assemble(), std::move(warnings_)};
  }

 private:
  void Error(const std::string& message) { Error(line_, message); }
  void Error(std::size_t line, const std::string& message) {
    errors_ += file_name_ + ":" + std::to_string(line) + ": error: " + message + "\n";
  }

  void WarnOfLookAlikes(const std::vector<LookAlike>& replaced) {
    if (replaced.empty()) return;
    std::string list;
    for (const LookAlike& look_alike : replaced) {
      list +=
          (list.empty() ? "" : ", ") + look_alike.written + " as " + look_alike.stored + " (" + look_alike.code + ")";
    }
    warnings_.push_back(file_name_ + ":" + std::to_string(line_) + ": warning: written as CP932 has " +
                        (replaced.size() == 1 ? "it" : "them") + ": " + list);
  }

  void ParseLine(std::string_view line) {
    if (line.empty() || line[0] == '#') return;
    if (line[0] == '|' || (line[0] >= '0' && line[0] <= '9')) return ParseTextLine(line);
    const std::vector<std::string_view> words = SplitWords(line);
    const std::string_view keyword = words[0];
    const std::vector<std::string_view> args(words.begin() + 1, words.end());
    if (keyword == "page") return StartPage(args);
    if (keyword == "pages") return SetPageCount(args);
    if (keyword == "tail") return AddTail(args);
    if (!page_) return Error("'" + std::string(keyword) + "' outside a page (start one with 'page N')");
    ParsePageField(keyword, args);
  }

  void ParsePageField(std::string_view keyword, const std::vector<std::string_view>& args) {
    if (keyword == "choice") return AddChoice(args);
    if (keyword == "reserved") return SetReserved(args);
    if (!OnlyOnce(keyword)) return;
    if (keyword == "picture") return SetInt16(args, ScenarioRecord::kPictureNoOffset);
    if (keyword == "music") return SetInt16(args, ScenarioRecord::kMusicNoOffset);
    if (keyword == "start") return SetInt16(args, ScenarioRecord::kStartMarkOffset);
    if (keyword == "ending") return SetInt16(args, ScenarioRecord::kEndingMarkOffset);
    if (keyword == "next") return SetInt16(args, ScenarioRecord::kTargetOffset);
    if (keyword == "targets") return SetTargets(args);
    if (keyword == "choice-lines") return SetChoiceLines(args);
    if (keyword == "type") return SetType(args);
    if (keyword == "pad") return SetPad(args);
    Error("unknown keyword '" + std::string(keyword) + "'");
  }

  bool OnlyOnce(std::string_view keyword) {
    const bool targets = keyword == "next" || keyword == "targets";
    const std::string key = targets ? "next" : std::string(keyword);
    if (page_->fields.insert(key).second) return true;
    Error(targets ? "the targets are given twice ('next' and 'targets' both set the first target)"
                  : "'" + key + "' is given twice in this page");
    return false;
  }

  bool ExpectArgs(const std::vector<std::string_view>& args, std::size_t count, std::string_view usage) {
    if (args.size() == count) return true;
    Error("expected '" + std::string(usage) + "'");
    return false;
  }

  std::optional<std::int16_t> Int16Arg(std::string_view word) {
    auto value = ParseNumber<std::int16_t>(word, -32768, 32767);
    if (!value) Error("'" + std::string(word) + "' is not a number from -32768 to 32767");
    return value;
  }

  void SetInt16(const std::vector<std::string_view>& args, std::size_t offset) {
    if (!ExpectArgs(args, 1, "KEYWORD NUMBER")) return;
    if (const auto value = Int16Arg(args[0])) PutInt16(page_->record, offset, *value);
  }

  void SetTargets(const std::vector<std::string_view>& args) {
    if (!ExpectArgs(args, 4, "targets A B C D")) return;
    for (std::size_t i = 0; i < 4; ++i) {
      if (const auto value = Int16Arg(args[i])) PutInt16(page_->record, ScenarioRecord::kTargetOffset + 2 * i, *value);
    }
  }

  void SetChoiceLines(const std::vector<std::string_view>& args) {
    if (!ExpectArgs(args, 2, "choice-lines A B")) return;
    for (std::size_t i = 0; i < 2; ++i) {
      const auto value = ParseNumber<std::uint8_t>(args[i], 0, 255);
      if (!value) return Error("'" + std::string(args[i]) + "' is not a number from 0 to 255");
      page_->record[ScenarioRecord::kChoiceLinesOffset + i] = *value;
    }
  }

  void SetType(const std::vector<std::string_view>& args) {
    if (!ExpectArgs(args, 1, "type text|choice|inert|NUMBER")) return;
    const auto named =
        std::find_if(kTypeNames.begin(), kTypeNames.end(), [&](TypeName t) { return t.name == args[0]; });
    if (named != kTypeNames.end()) return PutInt16(page_->record, ScenarioRecord::kPageTypeOffset, named->value);
    if (args[0].find_first_not_of("-0123456789") != std::string_view::npos) {
      return Error("unknown page type '" + std::string(args[0]) + "' (text, choice, inert or a number)");
    }
    SetInt16(args, ScenarioRecord::kPageTypeOffset);
  }

  void SetPad(const std::vector<std::string_view>& args) {
    if (!ExpectArgs(args, 1, "pad nul|blank")) return;
    if (args[0] != "nul" && args[0] != "blank") return Error("pad is 'nul' or 'blank'");
    page_->pad = args[0] == "nul" ? 0 : ' ';
  }

  void SetReserved(const std::vector<std::string_view>& args) {
    if (args.size() < 2) return Error("expected 'reserved OFFSET HH HH ...'");
    const auto offset = ParseNumber<std::size_t>(args[0], 0, ScenarioRecord::kHeaderSize);
    if (!offset) return Error("'" + std::string(args[0]) + "' is not an offset in the record's first 48 bytes");
    for (std::size_t i = 1; i < args.size(); ++i) {
      const std::size_t at = *offset + i - 1;
      if (!IsReserved(at)) {
        return Error("byte " + std::to_string(at) + " is not reserved (reserved bytes: 18-20, 33-35, 38-47)");
      }
      const auto value = HexByte(args[i]);
      if (!value) return;
      page_->record[at] = *value;
    }
  }

  std::optional<std::uint8_t> HexByte(std::string_view word) {
    auto value = word.size() == 2 ? ParseNumber<std::uint8_t>(word, 0, 255, 16) : std::nullopt;
    if (!value) Error("'" + std::string(word) + "' is not a byte in two hexadecimal digits");
    return value;
  }

  void AddChoice(const std::vector<std::string_view>& args) {
    if (!ExpectArgs(args, 1, "choice TARGET")) return;
    if (page_->choice_targets.size() == 2) return Error("a choice page lays out two choices; a third is not shown");
    const auto target = Int16Arg(args[0]);
    if (!target) return;
    if (page_->choice_targets.empty()) page_->first_choice_line = line_;
    page_->choice_targets.push_back(*target);
  }

  void ParseTextLine(std::string_view line) {
    if (!page_) return Error("a text line outside a page (start one with 'page N')");
    const std::size_t bar = line.find('|');
    if (bar == std::string_view::npos) return Error("expected a text line: '| text' or 'CODE | text'");
    TextLine text;
    text.source_line = line_;
    text.choice = static_cast<int>(page_->choice_targets.size()) - 1;
    const std::string_view code = Trim(line.substr(0, bar));
    if (!code.empty()) {
      text.code = ParseNumber<std::uint8_t>(code, 0, 255);
      if (!text.code) return Error("line code '" + std::string(code) + "' is not a number from 0 to 255");
    }
    std::string_view body = line.substr(bar + 1);
    if (!body.empty() && body[0] == ' ') body.remove_prefix(1);
    auto bytes = UnescapeLineText(body, look_alikes_);
    if (!bytes) return Error(bytes.error());
    WarnOfLookAlikes(bytes.value().look_alikes);
    text.bytes = std::move(bytes.value().bytes);
    text.pause = bytes.value().pause;
    if (text.pause && text.code) return Error("a line has either a code or the pause mark \\p, not both");
    if (text.bytes.size() > ScenarioRecord::kLineBytes) {
      return Error("the text takes " + std::to_string(text.bytes.size()) + " bytes in Shift-JIS; a line holds 46");
    }
    if (page_->lines.size() == ScenarioRecord::kLineCount) return Error("a page holds 12 lines");
    page_->lines.push_back(std::move(text));
  }

  void StartPage(const std::vector<std::string_view>& args) {
    FinishPage();
    if (!ExpectArgs(args, 1, "page N")) return;
    const auto page = ParseNumber<std::size_t>(args[0], 1, kMaxPages);
    if (!page)
      return Error("'" + std::string(args[0]) + "' is not a page number from 1 to " + std::to_string(kMaxPages));
    const auto [previous, fresh] = page_lines_.emplace(*page, line_);
    if (!fresh) {
      return Error("page " + std::to_string(*page) + " is written twice (first at line " +
                   std::to_string(previous->second) + ")");
    }
    page_number_ = *page;
    page_.emplace();
    page_->source_line = line_;
  }

  void SetPageCount(const std::vector<std::string_view>& args) {
    FinishPage();
    if (!ExpectArgs(args, 1, "pages N")) return;
    const auto count = ParseNumber<std::size_t>(args[0], 0, kMaxPages);
    if (!count)
      return Error("'" + std::string(args[0]) + "' is not a page count from 0 to " + std::to_string(kMaxPages));
    page_count_ = std::max(page_count_, *count);
  }

  void AddTail(const std::vector<std::string_view>& args) {
    FinishPage();
    for (const std::string_view word : args) {
      const auto value = HexByte(word);
      if (!value) return;
      tail_.push_back(*value);
    }
    if (tail_.size() > kMaxTailBytes) Error("the tail holds at most 599 bytes (a full record is a page)");
  }

  void FinishPage() {
    if (!page_) return;
    PageDraft& page = *page_;
    const bool choices = !page.choice_targets.empty();
    if (choices) CheckChoicePage(page);
    const auto type = static_cast<std::int16_t>(page.record[ScenarioRecord::kPageTypeOffset] |
                                                (page.record[ScenarioRecord::kPageTypeOffset + 1] << 8));
    for (std::size_t k = 0; k < ScenarioRecord::kLineCount; ++k) {
      const std::size_t offset = LineOffset(k);
      std::fill_n(page.record.begin() + static_cast<std::ptrdiff_t>(offset), ScenarioRecord::kLineBytes, page.pad);
      if (k >= page.lines.size()) continue;
      const TextLine& line = page.lines[k];
      std::copy(line.bytes.begin(), line.bytes.end(), page.record.begin() + static_cast<std::ptrdiff_t>(offset));
      const bool last_of_text_page = ScenarioRecord::IsTextPageType(type) && k + 1 == page.lines.size();
      page.record[ScenarioRecord::kLineCodeOffset + k] = line.code.value_or(
          static_cast<std::uint8_t>(ImplicitCode(ShownLength(line.bytes), line.pause, last_of_text_page)));
    }
    pages_.emplace(page_number_, std::move(page.record));
    page_.reset();
  }

  void CheckChoicePage(PageDraft& page) {
    const std::size_t line = page.first_choice_line;
    if (page.record[ScenarioRecord::kPageTypeOffset] != ScenarioRecord::kChoicePage ||
        page.record[ScenarioRecord::kPageTypeOffset + 1] != 0) {
      Error(line, "'choice' on a page that is not 'type choice'");
    }
    for (const char* field : {"next", "choice-lines"}) {
      if (page.fields.contains(field)) Error(line, "'choice' cannot be used with 'next', 'targets' or 'choice-lines'");
    }
    for (const TextLine& text : page.lines) {
      if (text.choice < 0) Error(text.source_line, "a text line before the first 'choice' of a choice page");
    }
    for (std::size_t i = 0; i < page.choice_targets.size(); ++i) {
      PutInt16(page.record, ScenarioRecord::kTargetOffset + 2 * i, page.choice_targets[i]);
      page.record[ScenarioRecord::kChoiceLinesOffset + i] = static_cast<std::uint8_t>(
          std::count_if(page.lines.begin(), page.lines.end(), [&](const TextLine& t) { return t.choice == int(i); }));
    }
  }

  std::vector<std::uint8_t> Assemble() const {
    const std::size_t highest = pages_.empty() ? 0 : pages_.rbegin()->first;
    const std::size_t count = std::max(highest, page_count_);
    std::vector<std::uint8_t> bytes(count * ScenarioRecord::kSize, 0);
    for (const auto& [page, record] : pages_) {
      std::copy(record.begin(), record.end(),
                bytes.begin() + static_cast<std::ptrdiff_t>((page - 1) * ScenarioRecord::kSize));
    }
    bytes.insert(bytes.end(), tail_.begin(), tail_.end());
    return bytes;
  }

  std::string file_name_;
  LookAlikes look_alikes_;
  std::string errors_;
  std::vector<std::string> warnings_;
  std::size_t line_ = 0;
  std::optional<PageDraft> page_;
  std::size_t page_number_ = 0;
  std::map<std::size_t, std::size_t> page_lines_;  // page -> line of its `page`
  std::map<std::size_t, std::vector<std::uint8_t>> pages_;
  std::size_t page_count_ = 0;
  std::vector<std::uint8_t> tail_;
};

}  // namespace

Result<BuiltScenario> BuildScenarioText(std::string_view text, std::string_view file_name, LookAlikes look_alikes) {
  return Builder(file_name, look_alikes).Build(text);
}

Result<std::vector<std::uint8_t>> BuildScenario(std::string_view text, std::string_view file_name) {
  Result<BuiltScenario> built = BuildScenarioText(text, file_name, LookAlikes::kReplace);
  if (!built) return Result<std::vector<std::uint8_t>>::Failure(built.error());
  return std::move(built.value().bytes);
}

}  // namespace shiori
