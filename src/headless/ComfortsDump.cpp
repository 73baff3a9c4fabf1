#include "ComfortsDump.h"

#include <array>
#include <string_view>

#include "HeadlessServices.h"
#include "JsonWriter.h"
#include "StateDump.h"
#include "comforts/Comforts.h"

namespace shiori {

void DumpComforts(JsonWriter& json, Comforts& comforts) {
  json.BeginObject();
  json.Key("backlogOpen").Bool(comforts.backlog_open());
  json.Key("backlog").BeginArray();
  for (const Backlog::Entry& entry : comforts.backlog().entries()) {
    json.BeginObject();
    json.Key("page").Int(entry.page);
    if (entry.run_start) json.Key("runStart").Bool(true);
    json.Key("lines").BeginArray();
    for (const std::string& line : entry.lines) json.String(line);
    json.EndArray();
    json.EndObject();
  }
  json.EndArray();
  json.Key("auto").Bool(comforts.auto_on());
  json.Key("skipRead").Bool(comforts.skip_on());
  json.Key("textHidden").Bool(comforts.text_hidden());
  json.Key("notice").OptionalString(comforts.notice());
  json.Key("focus").OptionalString(comforts.FocusName());
  json.Key("canGoBack").Bool(comforts.can_go_back());
  json.Key("help").Bool(comforts.help_open());
  json.Key("undo").BeginArray();
  for (const int slot : comforts.bookmark_undo().Slots()) json.Int(slot);
  json.EndArray();
  json.Key("prefs");
  DumpPreferences(json, comforts.preferences());
  json.EndObject();
}

void DumpPreferences(JsonWriter& json, const Preferences& prefs) {
  json.BeginObject();
  json.Key("music_volume").Int(prefs.music_volume);
  json.Key("auto_delay").Int(prefs.auto_delay);
  json.Key("click_shows_page").Bool(prefs.click_shows_page);
  json.Key("keep_early_click").Bool(prefs.keep_early_click);
  json.Key("language").String(prefs.language);
  json.Key("translation").String(prefs.translation);
  json.Key("text_speed");
  if (prefs.text_speed) {
    json.String(std::string(Preferences::TextSpeedName(*prefs.text_speed)));
  } else {
    json.Null();
  }
  json.Key("self_voicing").Bool(prefs.self_voicing);
  json.Key("copy_page_text").Bool(prefs.copy_page_text);
  json.Key("speech_rate").Int(prefs.speech_rate);
  json.Key("speech_voice").String(prefs.speech_voice);
  json.EndObject();
}

void DumpSpeech(JsonWriter& json, const RecordingSpeaker& speaker) {
  json.BeginArray();
  for (const RecordingSpeaker::Entry& entry : speaker.log()) {
    json.BeginObject();
    if (entry.said) {
      json.Key("say").String(*entry.said);
    } else {
      json.Key("stop").Bool(true);
    }
    json.Key("at_ms").Raw(FormatMilliseconds(entry.at));
    json.EndObject();
  }
  json.EndArray();
}

void DumpTextOut(JsonWriter& json, const std::vector<TextOut>& text_out) {
  static constexpr std::array<std::string_view, 4> kKinds = {"page", "choices", "focus", "notice"};
  json.BeginArray();
  for (const TextOut& out : text_out) {
    json.BeginObject();
    json.Key("kind").String(kKinds[static_cast<std::size_t>(out.kind)]);
    json.Key("text").String(out.text);
    json.Key("copy").Bool(out.copy);
    json.Key("at_ms").Raw(FormatMilliseconds(out.at));
    json.EndObject();
  }
  json.EndArray();
}

}  // namespace shiori
