// The player as the page drives it: plain C functions the page's JavaScript calls (web/js/core.js). The page owns
// the clock: every call brings the scheduler up to the page's time first, so what was due runs before the input
// and what the input schedules counts from then. Between calls nothing runs; the page sets one timer to the
// scheduler's next deadline and draws a frame only when the window model has changed.
#include <emscripten.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "ComfortsDump.h"
#include "HeadlessServices.h"
#include "JsonWriter.h"
#include "StateDump.h"
#include "WebServices.h"
#include "comforts/Comforts.h"
#include "engine/Engine.h"

namespace shiori {
namespace {

void WriteOverlay(JsonWriter& json, const Overlay& overlay) {
  json.BeginObject();
  json.Key("backlogOpen").Bool(overlay.backlog_open);
  json.Key("backlogLines").BeginArray();
  for (const std::string& line : overlay.backlog_lines) json.String(line);
  json.EndArray();
  json.Key("backlogPosition").Number(overlay.backlog_position);
  json.Key("notice").OptionalString(overlay.notice);
  json.Key("indicator").OptionalString(overlay.indicator);
  json.Key("focus").OptionalString(overlay.focus);
  json.Key("hover").OptionalString(overlay.hover);
  json.Key("textHidden").Bool(overlay.text_hidden);
  json.EndObject();
}

// What the page's reading menu and preferences screen show: the reading modes and the preferences.
void WriteComforts(JsonWriter& json, const Comforts& comforts) {
  json.BeginObject();
  json.Key("auto").Bool(comforts.auto_on());
  json.Key("skipRead").Bool(comforts.skip_on());
  json.Key("prefs");
  DumpPreferences(json, comforts.preferences());
  json.EndObject();
}

class WebPlayer {
 public:
  WebPlayer(const std::string& game_dir, const std::string& save_dir)
      : engine_(GameFolder(game_dir, save_dir), Bundle(), scheduler_) {
    engine_.Ended = [] {};
  }

  // The reader's preferences in the preferences file's form, kept by the page; a damaged line keeps its default
  // and is reported as the desktop reports it.
  void TakePreferences(std::string_view text) {
    std::vector<std::string> problems;
    engine_.comforts().SetPreferences(Preferences::Parse(text, problems));
    for (const std::string& problem : problems) warnings_.Warn("preferences: " + problem + "; the default is kept");
  }

  Engine& engine() { return engine_; }

  // Runs `input` at the page's time `now_ms`.
  template <class Input>
  void Deliver(double now_ms, Input&& input) {
    if (engine_.ended()) return;
    const Micros now = std::llround(now_ms * 1000);
    scheduler_.AdvanceTo(now);
    input();
    scheduler_.AdvanceTo(now);
  }

  // The window model as one line of JSON: the headless driver's dump of what the window shows (not its logs, nor
  // the whole text history, which grows as the reader reads), and the overlay the comforts show.
  std::string Snapshot() {
    JsonWriter json;
    json.BeginObject();
    WriteWindowModel(json, engine_);
    json.Key("overlay");
    WriteOverlay(json, engine_.form().overlay());
    json.Key("comforts");
    WriteComforts(json, engine_.comforts());
    json.EndObject();
    return json.str();
  }

 private:
  Services Bundle() { return {pictures_, wave_, questions_, clock_, random_, warnings_}; }

  Scheduler scheduler_;
  SignaturePictureService pictures_;
  WebWaveDevice wave_;
  WebQuestioner questions_;
  VirtualWallClock clock_{scheduler_, std::nullopt};
  MersenneRandom random_;
  WebWarnings warnings_;
  Engine engine_;
};

std::unique_ptr<WebPlayer> player;
// A string handed to the page stays here until the next call that returns one.
std::string returned;

bool StoryOnTop(const Form& form) {
  return form.Picture1.visible() && !form.Picture2.visible() && !form.Picture3.visible() && !form.Picture4.visible();
}

}  // namespace
}  // namespace shiori

using shiori::player;

extern "C" {

// Opens the game in `game_dir` of the page's file system, keeping saves in `save_dir`, with the reader's
// `preferences` (the preferences file's text), and raises the window's load. Returns "" or the problem, naming the
// folder and the file.
EMSCRIPTEN_KEEPALIVE const char* shiori_open(const char* game_dir, const char* save_dir, const char* preferences) {
  player.reset();
  player = std::make_unique<shiori::WebPlayer>(game_dir, save_dir);
  player->TakePreferences(preferences);
  const shiori::Status started = player->engine().Start();
  shiori::returned = started.ok() ? "" : started.error();
  if (!started.ok()) player.reset();
  return shiori::returned.c_str();
}

EMSCRIPTEN_KEEPALIVE void shiori_advance(double now_ms) {
  if (player) player->Deliver(now_ms, [] {});
}

// A press on a point of the stage, in stage pixels.
EMSCRIPTEN_KEEPALIVE void shiori_press_at(double now_ms, int x, int y, int button) {
  if (player) player->Deliver(now_ms, [&] { player->engine().form().PressAt(x, y, button); });
}

// A key by its name ("enter", "pageup", "a" ...): the comforts' first (keys on every screen, history, auto, hidden
// text); Enter and Space otherwise read on and Escape opens the in-game menu, while the story is on top.
EMSCRIPTEN_KEEPALIVE void shiori_key(double now_ms, const char* name) {
  if (!player) return;
  const std::string key = name;
  player->Deliver(now_ms, [&] {
    shiori::Engine& engine = player->engine();
    shiori::Form& form = engine.form();
    if (engine.comforts().Key(key) || !shiori::StoryOnTop(form)) return;
    if (key == "enter" || key == "space") form.Press(form.Picture1, shiori::kLeftButton);
    if (key == "escape") form.Press(form.Picture1, shiori::kRightButton);
  });
}

// Wheel notches, up negative: the history opens upward, the story reads on downward.
EMSCRIPTEN_KEEPALIVE void shiori_wheel(double now_ms, int notches) {
  if (player) player->Deliver(now_ms, [&] { player->engine().comforts().Wheel(notches); });
}

// Ctrl held down skips read text while it is held.
EMSCRIPTEN_KEEPALIVE void shiori_hold_ctrl(double now_ms, int held) {
  if (player) player->Deliver(now_ms, [&] { player->engine().comforts().HoldCtrl(held != 0); });
}

// The mouse pointer over a point of the stage, or off it (x < 0).
EMSCRIPTEN_KEEPALIVE void shiori_hover(double now_ms, int x, int y) {
  if (!player) return;
  player->Deliver(now_ms, [&] {
    player->engine().comforts().Hover(x < 0 ? std::nullopt : std::optional(std::pair{x, y}));
  });
}

// A menu bar item, by its name ("menuBGM").
EMSCRIPTEN_KEEPALIVE void shiori_choose(double now_ms, const char* name) {
  if (!player) return;
  shiori::Form& form = player->engine().form();
  if (shiori::MenuItem* item = form.FindMenuItem(name)) player->Deliver(now_ms, [&] { form.Choose(*item); });
}

// The reading menu's entries: "history" opens the text history, "hide" hides the text, "auto" and "skip" turn
// auto and skip reading on or off.
EMSCRIPTEN_KEEPALIVE void shiori_comfort(double now_ms, const char* name, int on) {
  if (!player) return;
  const std::string entry = name;
  player->Deliver(now_ms, [&] {
    shiori::Comforts& comforts = player->engine().comforts();
    if (entry == "history") comforts.OpenBacklog();
    if (entry == "hide") comforts.HideText();
    if (entry == "auto") comforts.SetAuto(on != 0);
    if (entry == "skip") comforts.SetSkipRead(on != 0);
  });
}

// A short message on the stage, as the comforts show theirs.
EMSCRIPTEN_KEEPALIVE void shiori_notice(double now_ms, const char* text) {
  if (player) player->Deliver(now_ms, [&] { player->engine().comforts().ShowNotice(text); });
}

// Sets one preference by its name in the preferences file and applies it at once. Returns "" or the problem.
EMSCRIPTEN_KEEPALIVE const char* shiori_set_preference(double now_ms, const char* name, const char* value) {
  shiori::returned.clear();
  if (player) {
    player->Deliver(now_ms, [&] {
      const shiori::Status set = player->engine().comforts().SetPreference(name, value);
      if (!set) shiori::returned = set.error();
    });
  }
  return shiori::returned.c_str();
}

// The preferences as the page keeps them: the preferences file's text.
EMSCRIPTEN_KEEPALIVE const char* shiori_preferences() {
  shiori::returned = player ? player->engine().comforts().preferences().Format() : "";
  return shiori::returned.c_str();
}

// The page is closing: the same unload as the desktop's close box (music stopped, settings written).
EMSCRIPTEN_KEEPALIVE void shiori_close(double now_ms) {
  if (player) player->Deliver(now_ms, [] { player->engine().Close(); });
}

// The page's time at which the scheduler next has work, or -1 when it has none (or the program has ended).
EMSCRIPTEN_KEEPALIVE double shiori_next_deadline() {
  if (!player || player->engine().ended()) return -1;
  const auto deadline = player->engine().scheduler().NextDeadline();
  return deadline ? static_cast<double>(*deadline) / 1000 : -1;
}

// Counts every change to what the window shows; the page redraws when it moves.
EMSCRIPTEN_KEEPALIVE double shiori_changes() {
  return player ? static_cast<double>(player->engine().form().change_count()) : 0;
}

EMSCRIPTEN_KEEPALIVE int shiori_ended() { return !player || player->engine().ended(); }

// The menu bar's shape, which never changes: [{"name": "menuCONF", "items": ["menuBGM", ...]}, ...] from left to
// right; a top-level command has no items.
EMSCRIPTEN_KEEPALIVE const char* shiori_menu_tree() {
  shiori::JsonWriter json;
  json.BeginArray();
  if (player) {
    for (const shiori::MenuItem* item : player->engine().form().MenuItems()) {
      if (item->parent() != nullptr) continue;
      json.BeginObject().Key("name").String(item->name()).Key("items").BeginArray();
      for (const shiori::MenuItem* child : item->children()) json.String(child->name());
      json.EndArray().EndObject();
    }
  }
  json.EndArray();
  shiori::returned = json.str();
  return shiori::returned.c_str();
}

EMSCRIPTEN_KEEPALIVE const char* shiori_snapshot() {
  shiori::returned = player ? player->Snapshot() : "null";
  return shiori::returned.c_str();
}

}  // extern "C"
