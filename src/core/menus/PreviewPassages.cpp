#include "menus/PreviewPassages.h"

#include <algorithm>

#include "engine/Engine.h"
#include "persistence/SeenRecord.h"
#include "platform/RecordFile.h"
#include "platform/Utf8.h"
#include "translation/StoryText.h"
#include "translation/StoryTranslation.h"

namespace shiori {
namespace {

constexpr std::string_view kIdeographicSpace = "\u3000";

std::string_view WithoutCarriageReturn(std::string_view line) {
  if (line.ends_with('\r')) line.remove_suffix(1);
  return line;
}

// Columns a line takes: a full-width character one, an ASCII character half of one.
std::size_t Columns(std::string_view text) {
  std::size_t halves = 0;
  for (std::size_t at = 0; at < text.size(); at += Utf8CodePointSize(text, at)) {
    halves += static_cast<unsigned char>(text[at]) < 0x80 ? 1 : 2;
  }
  return (halves + 1) / 2;
}

std::string FlushRight(std::string_view text) {
  std::string line;
  for (std::size_t n = Columns(text); n < PreviewPassages::kColumns; ++n) line += kIdeographicSpace;
  return line + std::string(text);
}

std::string JoinCrLf(std::vector<std::string> lines) {
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  const auto first = std::find_if(lines.begin(), lines.end(), [](const std::string& l) { return !l.empty(); });
  std::string text;
  for (auto line = first; line != lines.end(); ++line) text += (line == first ? "" : "\r\n") + *line;
  return text;
}

// The text a page shows: its lines up to the one that ends it, without the blanks that pad them.
std::string PageText(const ScenarioRecord& record) {
  std::vector<std::string> lines;
  for (std::size_t k = 0; k < ScenarioRecord::kLineCount; ++k) {
    std::string line = record.lineText[k];
    line.erase(line.find_last_not_of(' ') + 1);
    lines.push_back(std::move(line));
    if (record.lineCode[k] >= 200) break;
  }
  return JoinCrLf(std::move(lines));
}

std::size_t Drawn(double draw, std::size_t count) {
  return std::min(static_cast<std::size_t>(draw * static_cast<double>(count)), count - 1);
}

bool LeadsToAnEnding(const ScenarioRecord& record) {
  return record.endingMark > ScenarioRecord::kEndingThreshold || record.target[0] > ScenarioRecord::kEndingThreshold;
}

}  // namespace

std::vector<PreviewSource> PreviewSources(std::string_view text) {
  std::vector<PreviewSource> sources;
  std::vector<std::pair<std::size_t, std::string_view>> lines;  // with their line numbers
  const auto finish = [&] {
    const auto blank = [](const auto& line) { return line.second.empty(); };
    while (!lines.empty() && blank(lines.back())) lines.pop_back();
    const auto first = std::find_if_not(lines.begin(), lines.end(), blank);
    PreviewSource source{"", first == lines.end() ? 0 : first->first};
    for (auto line = first; line != lines.end(); ++line) {
      source.text += std::string(line == first ? "" : "\n") + std::string(line->second);
    }
    if (!source.text.empty()) sources.push_back(std::move(source));
    lines.clear();
  };
  for (std::size_t line_number = 1; !text.empty(); ++line_number) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    const std::string_view line = WithoutCarriageReturn(text.substr(0, end));
    text.remove_prefix(std::min(end + 1, text.size()));
    if (line == "---") {
      finish();
    } else if (!line.starts_with('#')) {
      lines.emplace_back(line_number, line);
    }
  }
  finish();
  return sources;
}

std::string FormatPassage(std::string_view source) {
  std::vector<std::string> lines;
  while (!source.empty() || lines.empty()) {
    const std::size_t end = std::min(source.find('\n'), source.size());
    const std::string_view line = source.substr(0, end);
    lines.push_back(line.starts_with('>') ? FlushRight(line.substr(line.starts_with("> ") ? 2 : 1))
                                          : std::string(line));
    source.remove_prefix(std::min(end + 1, source.size()));
  }
  return JoinCrLf(std::move(lines));
}

std::vector<std::string> ParsePreviewPassages(std::string_view text) {
  std::vector<std::string> passages;
  for (const PreviewSource& source : PreviewSources(text)) passages.push_back(FormatPassage(source.text));
  return passages;
}

std::string PreviewPassages::Pick(double draw) {
  const std::vector<PreviewSource>& own = GamePassages();
  if (own.empty()) {
    const std::vector<std::string> read = ReadPagePassages();
    return read.empty() ? std::string() : read[Drawn(draw, read.size())];
  }
  const std::size_t n = Drawn(draw, own.size());
  const std::optional<std::string> translated = engine_.translation().Find(PreviewContext(n), own[n].text);
  return FormatPassage(translated ? *translated : own[n].text);
}

const std::vector<PreviewSource>& PreviewPassages::GamePassages() {
  if (game_passages_) return *game_passages_;
  game_passages_.emplace();
  const std::filesystem::path file = engine_.folder().GameFile(kFileName);
  std::error_code error;
  if (!std::filesystem::exists(file, error)) return *game_passages_;
  const Result<std::string> text = ReadWholeFile(file);
  if (!text) {
    engine_.services().warnings.Warn(text.error() + "; the preview shows pages already read");
  } else if (!IsValidUtf8(text.value())) {
    engine_.services().warnings.Warn(file.string() + " is not UTF-8 text; the preview shows pages already read");
  } else {
    *game_passages_ = PreviewSources(text.value());
  }
  return *game_passages_;
}

// Every text page the read-page record marks read that shows some text and starts no ending, in page order.
std::vector<std::string> PreviewPassages::ReadPagePassages() const {
  const Result<ScenarioReader> scenario = engine_.scenario().Open();
  if (!scenario) return {};  // no story to take a page from
  std::vector<std::string> passages;
  for (const std::int16_t page : engine_.seen().ReadPages()) {
    const Result<ScenarioRecord> record = scenario.value().Read(page);
    if (!record || !record.value().IsTextPage() || LeadsToAnEnding(record.value())) continue;
    if (std::string text = PageText(record.value()); !text.empty()) passages.push_back(std::move(text));
  }
  return passages;
}

}  // namespace shiori
