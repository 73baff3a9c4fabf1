#pragma once

namespace shiori {

class Comforts;
class JsonWriter;
struct Preferences;

// The dump's "comforts" member: the text history, the reading modes, the notice, the focus and the preferences.
void DumpComforts(JsonWriter& json, Comforts& comforts);
// The preferences by their names in the preferences file.
void DumpPreferences(JsonWriter& json, const Preferences& prefs);

}  // namespace shiori
