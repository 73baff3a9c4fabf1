#include <algorithm>
#include <cstdio>
#include <sstream>

#include "LineText.h"
#include "ScenarioText.h"
#include "ScenarioTextRules.h"

namespace shiori {
namespace {

using namespace scenario_text;
using Bytes = std::span<const std::uint8_t>;

constexpr std::size_t kTailBytesPerLine = 32;

std::int16_t Int16At(Bytes record, std::size_t offset) {
  return static_cast<std::int16_t>(record[offset] | (record[offset + 1] << 8));
}

std::string Hex(Bytes bytes) {
  std::string text;
  for (const std::uint8_t b : bytes) {
    char buffer[4];
    std::snprintf(buffer, sizeof buffer, " %02X", b);
    text += buffer;
  }
  return text;
}

bool IsZero(Bytes bytes) {
  return std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0; });
}

// One page of the file and the way its block is written.
class PageWriter {
 public:
  PageWriter(Bytes record, std::ostream& out) : record_(record), out_(out) {
    pad_ = ChoosePad();
    type_ = Int16At(record_, ScenarioRecord::kPageTypeOffset);
    choice_layout_ = HasChoiceLayout();
  }

  void Write(std::size_t page) {
    out_ << "page " << page << '\n';
    WriteNumber("start", ScenarioRecord::kStartMarkOffset);
    WriteNumber("picture", ScenarioRecord::kPictureNoOffset);
    WriteNumber("music", ScenarioRecord::kMusicNoOffset);
    WriteType();
    if (!choice_layout_) WriteTargets();
    WriteNumber("ending", ScenarioRecord::kEndingMarkOffset);
    for (const ByteRange range : kReservedRanges) {
      const Bytes bytes = record_.subspan(range.offset, range.length);
      if (!IsZero(bytes)) out_ << "reserved " << range.offset << Hex(bytes) << '\n';
    }
    if (pad_ == 0) out_ << "pad nul\n";
    if (choice_layout_) {
      WriteChoices();
    } else {
      WriteLines(0, WrittenLineCount());
    }
    out_ << '\n';
  }

 private:
  std::uint8_t ChoosePad() const {
    std::size_t nul = 0;
    std::size_t blank = 0;
    for (std::size_t k = 0; k < ScenarioRecord::kLineCount; ++k) {
      const std::uint8_t last = record_[LineOffset(k) + ScenarioRecord::kLineBytes - 1];
      nul += last == 0;
      blank += last == ' ';
    }
    return nul > blank ? 0 : ' ';
  }

  Bytes LineBytesOf(std::size_t k) const { return record_.subspan(LineOffset(k), ScenarioRecord::kLineBytes); }
  std::uint8_t CodeOf(std::size_t k) const { return record_[ScenarioRecord::kLineCodeOffset + k]; }

  bool IsDefaultLine(std::size_t k) const {
    const Bytes bytes = LineBytesOf(k);
    return CodeOf(k) == 0 && std::all_of(bytes.begin(), bytes.end(), [&](std::uint8_t b) { return b == pad_; });
  }

  std::size_t WrittenLineCount() const {
    std::size_t count = ScenarioRecord::kLineCount;
    while (count > 0 && IsDefaultLine(count - 1)) --count;
    return count;
  }

  std::uint8_t ChoiceLines(std::size_t i) const { return record_[ScenarioRecord::kChoiceLinesOffset + i]; }
  std::int16_t Target(std::size_t i) const { return Int16At(record_, ScenarioRecord::kTargetOffset + 2 * i); }

  // A choice page is written with `choice` blocks when those give back exactly its bytes.
  bool HasChoiceLayout() const {
    const std::size_t used = ChoiceLines(0) + ChoiceLines(1);
    return type_ == ScenarioRecord::kChoicePage && used <= ScenarioRecord::kLineCount && Target(2) == 0 &&
           Target(3) == 0 && WrittenLineCount() <= used;
  }

  void WriteNumber(std::string_view keyword, std::size_t offset) {
    const std::int16_t value = Int16At(record_, offset);
    if (value != 0) out_ << keyword << ' ' << value << '\n';
  }

  void WriteType() {
    if (type_ == 0) return;
    const auto named = std::find_if(kTypeNames.begin(), kTypeNames.end(), [&](TypeName t) { return t.value == type_; });
    out_ << "type ";
    if (named != kTypeNames.end()) {
      out_ << named->name << '\n';
    } else {
      out_ << type_ << '\n';
    }
  }

  void WriteTargets() {
    if (Target(1) == 0 && Target(2) == 0 && Target(3) == 0) {
      if (Target(0) != 0) out_ << "next " << Target(0) << '\n';
    } else {
      out_ << "targets " << Target(0) << ' ' << Target(1) << ' ' << Target(2) << ' ' << Target(3) << '\n';
    }
    if (ChoiceLines(0) != 0 || ChoiceLines(1) != 0) {
      out_ << "choice-lines " << int{ChoiceLines(0)} << ' ' << int{ChoiceLines(1)} << '\n';
    }
  }

  void WriteChoices() {
    out_ << "choice " << Target(0) << '\n';
    WriteLines(0, ChoiceLines(0));
    if (ChoiceLines(1) == 0 && Target(1) == 0) return;
    out_ << "choice " << Target(1) << '\n';
    WriteLines(ChoiceLines(0), ChoiceLines(1));
  }

  // Lines first .. first + count - 1, where the page's written lines end at first + count.
  void WriteLines(std::size_t first, std::size_t count) {
    const std::size_t written = first + count;
    for (std::size_t k = first; k < written; ++k) {
      const Bytes bytes = LineBytesOf(k);
      std::size_t end = bytes.size();
      while (end > 0 && bytes[end - 1] == pad_) --end;
      const std::string_view text(reinterpret_cast<const char*>(bytes.data()), end);
      const std::size_t shown = ShownLength(text);
      const bool last_of_text_page = ScenarioRecord::IsTextPageType(type_) && k + 1 == written;
      const std::size_t code = CodeOf(k);
      std::string line = EscapeLineBytes(text);
      if (code == ImplicitCode(shown, true, last_of_text_page)) {
        line += "\\p";
      } else if (code != ImplicitCode(shown, false, last_of_text_page)) {
        out_ << code << ' ';
      }
      out_ << (line.empty() ? "|" : "| " + line) << '\n';
    }
  }

  Bytes record_;
  std::ostream& out_;
  std::uint8_t pad_ = ' ';
  std::int16_t type_ = 0;
  bool choice_layout_ = false;
};

}  // namespace

std::string DumpScenario(Bytes bytes) {
  std::ostringstream out;
  const std::size_t full_records = bytes.size() / ScenarioRecord::kSize;
  std::size_t last_with_content = 0;
  for (std::size_t page = 1; page <= full_records; ++page) {
    if (!IsZero(bytes.subspan((page - 1) * ScenarioRecord::kSize, ScenarioRecord::kSize))) last_with_content = page;
  }
  if (full_records > last_with_content) out << "pages " << full_records << "\n\n";
  for (std::size_t page = 1; page <= last_with_content; ++page) {
    const Bytes record = bytes.subspan((page - 1) * ScenarioRecord::kSize, ScenarioRecord::kSize);
    if (!IsZero(record)) PageWriter(record, out).Write(page);
  }
  const Bytes tail = bytes.subspan(full_records * ScenarioRecord::kSize);
  for (std::size_t i = 0; i < tail.size(); i += kTailBytesPerLine) {
    out << "tail" << Hex(tail.subspan(i, std::min(kTailBytesPerLine, tail.size() - i))) << '\n';
  }
  return out.str();
}

}  // namespace shiori
