#include "StateDump.h"

#include <cstdio>

#include "ComfortsDump.h"
#include "HeadlessServices.h"
#include "JsonWriter.h"
#include "comforts/Comforts.h"
#include "engine/Engine.h"

namespace shiori {
namespace {

std::string Colour(Rgb rgb) {
  char text[8];
  std::snprintf(text, sizeof text, "%06X", rgb & 0xFFFFFF);
  return text;
}

template <class Array>
void IntArray(JsonWriter& json, const Array& values) {
  json.BeginArray();
  for (const auto value : values) json.Int(value);
  json.EndArray();
}

void PageBuffer(JsonWriter& json, const ScenarioRecord& page) {
  json.BeginObject();
  json.Key("startMark").Int(page.startMark);
  json.Key("pictureNo").Int(page.pictureNo);
  json.Key("musicNo").Int(page.musicNo);
  json.Key("pageType").Int(page.pageType);
  json.Key("target");
  IntArray(json, page.target);
  json.Key("choiceLines");
  IntArray(json, page.choiceLines);
  json.Key("lineCode");
  IntArray(json, page.lineCode);
  json.Key("endingMark").Int(page.endingMark);
  json.Key("lineText").BeginArray();
  for (const std::string& line : page.lineText) json.String(line);
  json.EndArray();
  json.EndObject();
}

void State(JsonWriter& json, const PlayState& s) {
  json.BeginObject();
  json.Key("CurrentPage").Int(s.CurrentPage);
  json.Key("PageState").Int(static_cast<int>(s.PageState));
  json.Key("LineCounter").Int(s.LineCounter);
  json.Key("BlinkPhase").Int(s.BlinkPhase);
  json.Key("LastChoicePage").Int(s.LastChoicePage);
  json.Key("MenuMode").Int(static_cast<int>(s.MenuMode));
  json.Key("CurrentSlot").Int(s.CurrentSlot);
  json.Key("TextSpeed").Int(s.TextSpeed);
  json.Key("BgmOn").Bool(s.BgmOn);
  json.Key("CurrentMusicNo").Int(s.CurrentMusicNo);
  json.Key("EndingStep").Int(s.EndingStep);
  json.Key("ViewerRoute").Int(s.ViewerRoute);
  json.Key("ViewerStep").Int(s.ViewerStep);
  json.Key("RouteSeenCount");
  IntArray(json, s.RouteSeenCount);
  json.Key("OnScreenPageType").Int(s.OnScreenPageType);
  json.Key("PageBuffer");
  PageBuffer(json, s.PageBuffer);
  json.EndObject();
}

void Layers(JsonWriter& json, Form& form) {
  json.BeginObject();
  for (Layer* layer : form.LayersBottomUp()) {
    json.Key(layer->name()).BeginObject();
    json.Key("visible").Bool(layer->visible());
    json.Key("picture").OptionalString(layer->picture());
    json.Key("pictureMissing").Bool(layer->picture_missing());
    json.Key("back").String(Colour(layer->back()));
    json.EndObject();
  }
  json.EndObject();
}

void Widgets(JsonWriter& json, const Form& form) {
  json.BeginObject();
  for (const Widget* w : form.widgets()) {
    json.Key(w->name()).BeginObject();
    json.Key("caption").String(w->caption());
    json.Key("visible").Bool(w->visible());
    json.Key("enabled").Bool(w->enabled());
    json.Key("fore").String(Colour(w->fore()));
    json.Key("back");
    if (w->back()) {
      json.String(Colour(*w->back()));
    } else {
      json.Null();
    }
    json.Key("left").Int(w->bounds().left);
    json.Key("top").Int(w->bounds().top);
    json.Key("width").Int(w->bounds().width);
    json.Key("height").Int(w->bounds().height);
    json.Key("font").Number(w->font());
    json.Key("bold").Bool(w->bold());
    json.Key("alignment").String(w->alignment() == Alignment::Centre ? "centre" : "left");
    json.Key("border").Bool(w->border());
    json.Key("layer").OptionalString(w->layer() ? std::optional<std::string>(w->layer()->name()) : std::nullopt);
    json.EndObject();
  }
  json.EndObject();
}

void Menus(JsonWriter& json, const Form& form) {
  json.BeginObject();
  for (const MenuItem* item : form.MenuItems()) {
    json.Key(item->name()).BeginObject();
    json.Key("caption").String(item->caption());
    json.Key("checked").Bool(item->checked());
    json.Key("enabled").Bool(item->enabled());
    json.Key("shortcut").String(item->shortcut());
    json.EndObject();
  }
  json.EndObject();
}

void Timers(JsonWriter& json, Form& form) {
  json.BeginObject();
  for (const Timer* timer : form.Timers()) {
    json.Key(timer->name()).BeginObject();
    json.Key("enabled").Bool(timer->enabled());
    json.Key("interval").Int(timer->interval());
    json.EndObject();
  }
  json.EndObject();
}

// The members that describe what the window shows and how it answers: the time, the story's state, the window,
// layers, widgets, menus, timers and the comforts.
void WriteModel(JsonWriter& json, Engine& engine) {
  Form& form = engine.form();
  json.Key("time_ms").Raw(FormatMilliseconds(engine.scheduler().Now()));
  json.Key("state");
  State(json, engine.state());
  json.Key("window").BeginObject();
  json.Key("picture").OptionalString(form.picture());
  json.Key("pictureMissing").Bool(form.picture_missing());
  json.EndObject();
  json.Key("layers");
  Layers(json, form);
  json.Key("widgets");
  Widgets(json, form);
  json.Key("menus");
  Menus(json, form);
  json.Key("timers");
  Timers(json, form);
  json.Key("comforts");
  DumpComforts(json, engine.comforts());
}

}  // namespace

std::string FormatMilliseconds(long long micros) {
  if (micros % 1000 == 0) return std::to_string(micros / 1000);
  char text[32];
  std::snprintf(text, sizeof text, "%lld.%03lld", micros / 1000, micros % 1000);
  std::string formatted = text;
  while (formatted.back() == '0') formatted.pop_back();
  return formatted;
}

std::string DumpState(Engine& engine, const RecordingServices& recorded, const std::vector<TextOut>& text_out) {
  const RecordingWaveDevice& wave = recorded.wave;
  const ScriptedQuestioner& questions = recorded.questions;
  JsonWriter json;
  json.BeginObject();
  WriteModel(json, engine);
  json.Key("wave").BeginArray();
  for (const std::string& operation : wave.log()) json.String(operation);
  json.EndArray();
  json.Key("questions").BeginArray();
  for (const auto& asked : questions.asked()) {
    json.BeginObject();
    json.Key("text").String(asked.text);
    json.Key("title").String(asked.title);
    json.Key("answer").String(asked.answer ? "yes" : "no");
    json.EndObject();
  }
  json.EndArray();
  json.Key("speech");
  DumpSpeech(json, recorded.speaker);
  json.Key("textOut");
  DumpTextOut(json, text_out);
  json.EndObject();
  return json.str();
}

std::string DumpModel(Engine& engine) {
  JsonWriter json;
  json.BeginObject();
  WriteModel(json, engine);
  json.EndObject();
  return json.str();
}

}  // namespace shiori
