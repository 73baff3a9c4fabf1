#pragma once

namespace shiori {

class Comforts;
class JsonWriter;

// The dump's "comforts" member: the text history, the reading modes, the notice, the focus and the preferences.
void DumpComforts(JsonWriter& json, Comforts& comforts);

}  // namespace shiori
