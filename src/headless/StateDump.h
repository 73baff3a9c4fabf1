#pragma once

#include <string>

namespace shiori {

class Engine;
class JsonWriter;
class RecordingWaveDevice;
class ScriptedQuestioner;

// The whole state as one line of JSON: the story's state bytes and `PageBuffer`, the window's picture, the
// layers, every widget, menu item and timer, the wave device log and the questions asked.
[[nodiscard]] std::string DumpState(Engine& engine, const RecordingWaveDevice& wave,
                                    const ScriptedQuestioner& questions);

// The members of the dump that describe what the window shows and how it answers: `state`, `window`, `layers`,
// `widgets`, `menus` and `timers`, written into an object the caller has begun.
void WriteWindowModel(JsonWriter& json, Engine& engine);

// Virtual time in milliseconds as JSON: whole when it is, else with its fraction ("30.1").
[[nodiscard]] std::string FormatMilliseconds(long long micros);

}  // namespace shiori
