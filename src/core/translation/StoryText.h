#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "scenario/LineCode.h"
#include "scenario/ScenarioRecord.h"

namespace shiori {

// The texts of a game a translation replaces, named as the PO file names them: one message per line a page
// shows, per choice answer, and per preview passage. A message's original is what the reader sees, trimmed.

// A line a text page shows: the characters its code shows, and what follows it.
struct ShownLine {
  std::string text;       // untrimmed, as the typewriter shows it
  std::size_t count = 0;  // character steps the typewriter takes for it
  LineStop stop = LineStop::None;
};

// The lines a text page shows, as the typewriter would type them from its first line: a code of 99 keeps the
// count of the line before it in the same typing run, and lines after the end of the page are never shown.
[[nodiscard]] std::array<std::optional<ShownLine>, ScenarioRecord::kLineCount> ShownLines(const ScenarioRecord& page);

// The text of choice `choice` (0 or 1) of a choice page, its lines cut as their codes say and joined with CR LF,
// as the choice label shows it; none when the page does not lay that choice out.
[[nodiscard]] std::optional<std::string> ChoiceText(const ScenarioRecord& page, int choice);

// Without the blanks (ASCII and ideographic) at either end.
[[nodiscard]] std::string TrimmedText(std::string_view text);

// A shown text as the message's original: trimmed, each line of a choice trimmed and the lines joined with LF.
[[nodiscard]] std::string MessageOriginal(std::string_view shown);

// The contexts; lines and choices are counted from 1, as a translator reads them.
[[nodiscard]] std::string LineContext(int page, std::size_t line);
[[nodiscard]] std::string ChoiceContext(int page, int choice);
[[nodiscard]] std::string PreviewContext(std::size_t passage);

// A message of the game, for the template and the checks.
struct StoryMessage {
  std::string context;
  std::string original;
  std::string reference;            // "data1.rgd:12" (the page), "preview.txt:30" (the passage's first line)
  std::string comment;              // the speaker of the line, where the page names one
  int page = 0;                     // 0 for a preview passage
  std::optional<std::size_t> line;  // the message line it stands for (from 0), for a line of a text page
};

// Every message of a page: its shown lines, or its choices.
[[nodiscard]] std::vector<StoryMessage> PageMessages(int page, const ScenarioRecord& record);

// A line that names who speaks the lines after it, as these games write it: a name in 【】.
[[nodiscard]] bool IsSpeakerLine(std::string_view trimmed);

}  // namespace shiori
