#include "translation/StoryText.h"

#include "platform/Utf8.h"

namespace shiori {
namespace {

constexpr std::string_view kIdeographicSpace = "\u3000";
constexpr std::size_t kMaxSpeakerLength = 16;  // code points; a longer line in brackets is a line of text

bool IsChoiceLineCount(int count) { return count >= 1 && count <= 4; }

}  // namespace

std::array<std::optional<ShownLine>, ScenarioRecord::kLineCount> ShownLines(const ScenarioRecord& page) {
  std::array<std::optional<ShownLine>, ScenarioRecord::kLineCount> lines;
  std::size_t count = 0;  // a run starts with no count
  for (std::size_t k = 0; k < ScenarioRecord::kLineCount; ++k) {
    const LineCode code = LineCode::Decode(page.lineCode[k]);
    count = code.count.value_or(count);
    lines[k] = ShownLine{Utf8Prefix(page.lineText[k], count), count, code.stop};
    if (code.stop == LineStop::PageEnd) break;
    if (code.stop == LineStop::Pause) count = 0;  // the next run starts afresh
  }
  return lines;
}

std::optional<std::string> ChoiceText(const ScenarioRecord& page, int choice) {
  if (page.pageType != ScenarioRecord::kChoicePage) return std::nullopt;
  const int first_lines = page.choiceLines[0];
  if (!IsChoiceLineCount(first_lines) || (choice == 1 && !IsChoiceLineCount(page.choiceLines[1]))) {
    return std::nullopt;
  }
  const int first = choice == 0 ? 0 : first_lines;
  std::string text;
  for (int k = first; k < first + page.choiceLines[choice]; ++k) {
    if (k > first) text += "\r\n";
    text += Utf8Prefix(page.lineText[k], page.lineCode[k]);
  }
  return text;
}

std::string TrimmedText(std::string_view text) {
  for (;;) {
    if (text.starts_with(' ') || text.starts_with('\t')) {
      text.remove_prefix(1);
    } else if (text.starts_with(kIdeographicSpace)) {
      text.remove_prefix(kIdeographicSpace.size());
    } else if (text.ends_with(' ') || text.ends_with('\t')) {
      text.remove_suffix(1);
    } else if (text.ends_with(kIdeographicSpace)) {
      text.remove_suffix(kIdeographicSpace.size());
    } else {
      return std::string(text);
    }
  }
}

std::string MessageOriginal(std::string_view shown) {
  std::string original;
  while (!shown.empty()) {
    const std::size_t end = std::min(shown.find_first_of("\r\n"), shown.size());
    original += TrimmedText(shown.substr(0, end));
    shown.remove_prefix(end);
    if (shown.starts_with("\r\n")) shown.remove_prefix(1);
    if (!shown.empty()) {
      shown.remove_prefix(1);
      original += '\n';
    }
  }
  return original;
}

std::string LineContext(int page, std::size_t line) {
  return "page " + std::to_string(page) + ", line " + std::to_string(line + 1);
}

std::string ChoiceContext(int page, int choice) {
  return "page " + std::to_string(page) + ", choice " + std::to_string(choice + 1);
}

std::string PreviewContext(std::size_t passage) { return "preview " + std::to_string(passage + 1); }

bool IsSpeakerLine(std::string_view trimmed) {
  return trimmed.starts_with("【") && trimmed.ends_with("】") && Utf8Length(trimmed) <= kMaxSpeakerLength;
}

std::vector<StoryMessage> PageMessages(int page, const ScenarioRecord& record) {
  std::vector<StoryMessage> messages;
  const std::string reference = "data1.rgd:" + std::to_string(page);
  if (record.pageType == ScenarioRecord::kChoicePage) {
    for (int choice = 0; choice < 2; ++choice) {
      const std::optional<std::string> text = ChoiceText(record, choice);
      if (!text) break;
      std::string original = MessageOriginal(*text);
      if (!original.empty())
        messages.push_back({ChoiceContext(page, choice), std::move(original), reference, "", page, {}});
    }
    return messages;
  }
  if (!record.IsTextPage()) return messages;
  std::string speaker;
  const auto lines = ShownLines(record);
  for (std::size_t k = 0; k < lines.size() && lines[k]; ++k) {
    std::string original = TrimmedText(lines[k]->text);
    if (original.empty()) {
      speaker.clear();  // a blank line ends what the speaker says
      continue;
    }
    const std::string comment = speaker.empty() ? "" : "speaker: " + speaker;
    if (IsSpeakerLine(original)) speaker = original;
    messages.push_back({LineContext(page, k), std::move(original), reference, comment, page, k});
  }
  return messages;
}

}  // namespace shiori
