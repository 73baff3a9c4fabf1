#pragma once

#include <string>
#include <vector>

namespace shiori {

class Engine;
struct RecordingServices;
struct TextOut;

// The whole state as one line of JSON: the story's state bytes and `PageBuffer`, the window's picture, the
// layers, every widget, menu item and timer, the wave device log, the questions asked, what self-voicing said and
// the text offered to the reader's tools.
[[nodiscard]] std::string DumpState(Engine& engine, const RecordingServices& recorded,
                                    const std::vector<TextOut>& text_out);

// The same without the logs of the recording services (`wave`, `questions`): for a shell whose services play and
// ask for real, such as the web page.
[[nodiscard]] std::string DumpModel(Engine& engine);

// Virtual time in milliseconds as JSON: whole when it is, else with its fraction ("30.1").
[[nodiscard]] std::string FormatMilliseconds(long long micros);

}  // namespace shiori
