#pragma once

#include <vector>

namespace shiori {

class Comforts;
class JsonWriter;
class RecordingSpeaker;
struct Preferences;
struct TextOut;

// The dump's "comforts" member: the text history, the reading modes, the notice, the focus and the preferences.
void DumpComforts(JsonWriter& json, Comforts& comforts);
// The preferences by their names in the preferences file.
void DumpPreferences(JsonWriter& json, const Preferences& prefs);
// The dump's "speech": every utterance and every stop since start, in order, with its virtual time.
void DumpSpeech(JsonWriter& json, const RecordingSpeaker& speaker);
// The dump's "textOut": every text offered to screen readers and the clipboard since start, in order.
void DumpTextOut(JsonWriter& json, const std::vector<TextOut>& text_out);

}  // namespace shiori
