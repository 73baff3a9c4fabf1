// The player as the page drives it: plain C functions the page's JavaScript calls (web/js/core.js). What every shell
// does around the engine (the clock, keys, the menu bar, the page's text) is the core's Host; this file only
// carries the page's calls to it, on the browser's own clock (performance.now(), which emscripten_get_now reads).
// Between calls nothing runs; the page sets one timer to the next wake-up and draws a frame only when the window
// model has changed, reading the frame's words straight from the module's memory.
#include <emscripten.h>

#include <cmath>
#include <cstdint>
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
#include "host/Host.h"
#include "persistence/SaveFileCheck.h"
#include "stage/WireFormat.h"

namespace shiori {
namespace {

Micros Now() { return std::llround(emscripten_get_now() * 1000); }

void WriteChord(JsonWriter& json, const std::optional<KeyChord>& chord) {
  if (!chord) {
    json.Null();
    return;
  }
  json.BeginObject().Key("key").String(chord->key).Key("ctrl").Bool(chord->ctrl).Key("alt").Bool(chord->alt);
  json.EndObject();
}

void WriteMenuEntry(JsonWriter& json, const MenuEntry& entry) {
  json.BeginObject();
  json.Key("name").String(entry.name);
  json.Key("caption").String(entry.caption);
  json.Key("enabled").Bool(entry.enabled);
  json.Key("checkable").Bool(entry.checkable);
  json.Key("checked").Bool(entry.checked);
  json.Key("shortcut").String(entry.shortcut);
  json.Key("accelerator");
  WriteChord(json, entry.accelerator);
  json.Key("mnemonic");
  WriteChord(json, entry.mnemonic);
  json.Key("items").BeginArray();
  for (const MenuEntry& item : entry.items) WriteMenuEntry(json, item);
  json.EndArray();
  json.EndObject();
}

// What the page does after a key or a menu entry, by a name its JavaScript reads.
const char* ActionName(ShellAction action) {
  switch (action) {
    case ShellAction::None:
      return "none";
    case ShellAction::Unused:
      return "unused";
    case ShellAction::ToggleFullScreen:
      return "full-screen";
    case ShellAction::Screenshot:
      return "screenshot";
    case ShellAction::CopyPageText:
      return "copy-page-text";
    case ShellAction::OpenPreferences:
      return "preferences";
  }
  return "none";
}

class WebPlayer {
 public:
  WebPlayer(const std::string& game_dir, const std::string& save_dir)
      : engine_(GameFolder(game_dir, save_dir), Bundle(), scheduler_), host_(engine_, ShellKind::Page) {
    engine_.Ended = [] {};
    // The story's clock stands still while the reader answers, as on the desktop.
    questions_.Paused = [this](bool paused) { host_.PauseClock(paused, Now()); };
    engine_.comforts().voice().SetSpeaker(&speaker_);
  }

  ~WebPlayer() { engine_.comforts().voice().SetSpeaker(nullptr); }
  WebPlayer(const WebPlayer&) = delete;
  WebPlayer& operator=(const WebPlayer&) = delete;

  // The reader's preferences in the preferences file's form, kept by the page; a damaged line keeps its default
  // and is reported as the desktop reports it.
  void TakePreferences(std::string_view text) {
    std::vector<std::string> problems;
    engine_.comforts().SetPreferences(Preferences::Parse(text, problems));
    for (const std::string& problem : problems) warnings_.Warn("preferences: " + problem + "; the default is kept");
  }

  Engine& engine() { return engine_; }
  Host& host() { return host_; }

  // The next frame for the page as words (stage/WireFormat.h): the items that meet what changed since the last
  // one, or the whole stage when `whole` (the canvas lost its pixels).
  const std::vector<std::uint32_t>& NextFrame(bool whole) {
    if (whole) frames_.Invalidate();
    const stage::Frame frame = frames_.Next(engine_.form());
    words_ = stage::EncodeFrame(*frame.list, frame.changed, frame.whole);
    return words_;
  }

  // The whole stage as last given to the page, for a picture of it; the frames that follow are unaffected.
  const std::vector<std::uint32_t>& ShownStage() {
    static constexpr stage::Box kStage{0, 0, stage::StageLayout::kWidth, stage::StageLayout::kHeight};
    const stage::DisplayList* shown = frames_.shown();
    words_ = shown ? stage::EncodeFrame(*shown, {kStage}, true) : stage::EncodeFrame({}, {}, false);
    return words_;
  }

  [[nodiscard]] const std::vector<std::uint32_t>& words() const { return words_; }

 private:
  Services Bundle() { return {pictures_, wave_, questions_, clock_, random_, warnings_}; }

  Scheduler scheduler_;
  SignaturePictureService pictures_;
  WebWaveDevice wave_;
  WebQuestioner questions_;
  VirtualWallClock clock_{scheduler_, std::nullopt};
  MersenneRandom random_;
  WebWarnings warnings_;
  WebSpeaker speaker_;
  Engine engine_;
  Host host_;
  stage::StageFrames frames_;
  // The words last handed to the page, which reads them in place.
  std::vector<std::uint32_t> words_;
};

std::unique_ptr<WebPlayer> player;
// What the page last found among the browser's voices; a game opened later starts knowing it.
VoiceSupport voice_support = VoiceSupport::kUnknown;
// A string handed to the page stays here until the next call that returns one.
std::string returned;

const char* Return(std::string text) {
  returned = std::move(text);
  return returned.c_str();
}

}  // namespace
}  // namespace shiori

using shiori::Now;
using shiori::player;

extern "C" {

// Opens the game in `game_dir` of the page's file system, keeping saves in `save_dir`, with the reader's
// `preferences` (the preferences file's text), and raises the window's load. Returns "" or the problem, naming the
// folder and the file. Only a game that starts takes the place of the one playing: a refused one leaves it as it
// was, mid-story.
EMSCRIPTEN_KEEPALIVE const char* shiori_open(const char* game_dir, const char* save_dir, const char* preferences) {
  auto opening = std::make_unique<shiori::WebPlayer>(game_dir, save_dir);
  opening->TakePreferences(preferences);
  const shiori::Status started = opening->engine().Start();
  if (!started.ok()) return shiori::Return(started.error());
  player = std::move(opening);
  if (shiori::voice_support != shiori::VoiceSupport::kUnknown) player->host().VoicesFound(Now(), shiori::voice_support);
  return shiori::Return("");
}

// Whether `length` bytes at `content` make a save file of the kind `name` says; "" or the problem.
EMSCRIPTEN_KEEPALIVE const char* shiori_check_save(const char* name, const char* content, int length) {
  const shiori::Status checked =
      shiori::CheckSaveFile(name, std::string_view(content, static_cast<std::size_t>(length)));
  return shiori::Return(checked.ok() ? "" : checked.error());
}

// The keys beyond the menus' shortcuts and what each does: [{keys, action}, ...], for the page's help.
EMSCRIPTEN_KEEPALIVE const char* shiori_keys_help() {
  shiori::JsonWriter json;
  json.BeginArray();
  for (const auto& [keys, action] : shiori::Host::KeysHelp()) {
    json.BeginObject();
    json.Key("keys").String(keys);
    json.Key("action").String(action);
    json.EndObject();
  }
  json.EndArray();
  return shiori::Return(json.str());
}

// The clock: it starts with the first frame on screen, and the page's own screens (the preferences) hold it.
EMSCRIPTEN_KEEPALIVE void shiori_first_frame() {
  if (player) player->host().FirstFrameShown(Now());
}

EMSCRIPTEN_KEEPALIVE void shiori_pause_clock(int paused) {
  if (player) player->host().PauseClock(paused != 0, Now());
}

EMSCRIPTEN_KEEPALIVE void shiori_wake() {
  if (player) player->host().Wake(Now());
}

// When the page should call shiori_wake() next, in milliseconds of its clock; -1 while nothing is due.
EMSCRIPTEN_KEEPALIVE double shiori_next_wake_up() {
  const auto wake_up = player ? player->host().NextWakeUp() : std::nullopt;
  return wake_up ? static_cast<double>(*wake_up) / 1000 : -1;
}

// Input. A press on a point of the stage, in stage pixels; the pointer over one (or off the stage: x < 0); wheel
// notches, up negative.
EMSCRIPTEN_KEEPALIVE void shiori_press(int x, int y, int button) {
  if (player) player->host().Press(Now(), x, y, button);
}

EMSCRIPTEN_KEEPALIVE void shiori_hover(int x, int y) {
  if (!player) return;
  player->host().Hover(Now(), x < 0 ? std::nullopt : std::optional(std::pair{x, y}));
}

EMSCRIPTEN_KEEPALIVE void shiori_tap(int x, int y) {
  if (player) player->host().Tap(Now(), x, y);
}

EMSCRIPTEN_KEEPALIVE void shiori_wheel(int notches) {
  if (player) player->host().Wheel(Now(), notches);
}

// A key by the browser's name for it (KeyboardEvent.key) with the modifiers held; returns what the page should do
// besides ("none", "unused", "full-screen", "screenshot", "copy-page-text").
EMSCRIPTEN_KEEPALIVE const char* shiori_key_down(const char* key, int ctrl, int alt, int shift, int repeat) {
  if (!player) return "unused";
  const shiori::Modifiers modifiers{ctrl != 0, alt != 0, shift != 0};
  return shiori::ActionName(player->host().KeyDown(Now(), key, modifiers, repeat != 0));
}

EMSCRIPTEN_KEEPALIVE void shiori_key_up(const char* key) {
  if (player) player->host().KeyUp(Now(), key);
}

// The page lost the keyboard (another window or tab): a held Ctrl is let go.
EMSCRIPTEN_KEEPALIVE void shiori_keys_lost() {
  if (player) player->host().KeysLost(Now());
}

// A menu bar entry by its name ("menuBGM", "reading.auto"); returns what the page should do besides ("none",
// "preferences").
EMSCRIPTEN_KEEPALIVE const char* shiori_choose(const char* name) {
  return player ? shiori::ActionName(player->host().Choose(Now(), name)) : "none";
}

// A short message on the stage, as the comforts show theirs.
EMSCRIPTEN_KEEPALIVE void shiori_notice(const char* text) {
  if (player) player->host().Notice(Now(), text);
}

// Whether the browser has a Japanese voice (`japanese` nonzero), once its voices are known.
EMSCRIPTEN_KEEPALIVE void shiori_voices_found(int japanese) {
  shiori::voice_support = japanese != 0 ? shiori::VoiceSupport::kJapanese : shiori::VoiceSupport::kNoJapanese;
  if (player) player->host().VoicesFound(Now(), shiori::voice_support);
}

// The story's text offered since the last call, in order, as the headless driver's `textOut` shows it:
// [{kind, text, copy, at_ms}, ...]. The page asks after every call.
EMSCRIPTEN_KEEPALIVE const char* shiori_take_text_out() {
  shiori::JsonWriter json;
  shiori::DumpTextOut(json, player ? player->host().TakeTextOut() : std::vector<shiori::TextOut>{});
  return shiori::Return(json.str());
}

// Sets one preference by its name in the preferences file and applies it at once. Returns "" or the problem.
EMSCRIPTEN_KEEPALIVE const char* shiori_set_preference(const char* name, const char* value) {
  std::string problem;
  if (player) {
    const shiori::Status set = player->engine().comforts().SetPreference(name, value);
    if (!set) problem = set.error();
  }
  return shiori::Return(problem);
}

// The preferences as the page keeps them: the preferences file's text.
EMSCRIPTEN_KEEPALIVE const char* shiori_preferences() {
  return shiori::Return(player ? player->engine().comforts().preferences().Format() : "");
}

// Counts every change to what the window shows; the page draws a frame when it moves.
EMSCRIPTEN_KEEPALIVE double shiori_changes() {
  return player ? static_cast<double>(player->engine().form().change_count()) : 0;
}

EMSCRIPTEN_KEEPALIVE int shiori_ended() { return !player || player->engine().ended(); }

// What the page shows besides the stage: the menu bar (moves with shiori_menu_changes()), the text of the page on
// screen for the clipboard, and whether leaving now would lose a story in progress.
EMSCRIPTEN_KEEPALIVE double shiori_menu_changes() {
  return player ? static_cast<double>(player->host().menu_changes()) : 0;
}

// [{name, caption, enabled, checkable, checked, shortcut, accelerator, mnemonic, items: [...]}, ...] from left to
// right, a chord being {key, ctrl, alt} or null; a separator has an empty name.
EMSCRIPTEN_KEEPALIVE const char* shiori_menu_bar() {
  shiori::JsonWriter json;
  json.BeginArray();
  if (player) {
    for (const shiori::MenuEntry& entry : player->host().MenuBar()) shiori::WriteMenuEntry(json, entry);
  }
  json.EndArray();
  return shiori::Return(json.str());
}

EMSCRIPTEN_KEEPALIVE const char* shiori_page_text() { return shiori::Return(player ? player->host().PageText() : ""); }

EMSCRIPTEN_KEEPALIVE int shiori_story_in_progress() { return player && player->host().StoryInProgress(); }

// The window model as the headless driver's `dump` shows it, less the logs of its recording services.
EMSCRIPTEN_KEEPALIVE const char* shiori_model() {
  return shiori::Return(player ? shiori::DumpModel(player->engine()) : "null");
}

// The frame to draw next (`whole`: all of the stage), as words in the module's memory: where they start here, how
// many there are from shiori_words(). They stay until the next call that returns words.
EMSCRIPTEN_KEEPALIVE const std::uint32_t* shiori_frame(int whole) {
  return player ? player->NextFrame(whole != 0).data() : nullptr;
}

// The whole stage as last drawn, in the same form: a screenshot's.
EMSCRIPTEN_KEEPALIVE const std::uint32_t* shiori_shown_stage() {
  return player ? player->ShownStage().data() : nullptr;
}

EMSCRIPTEN_KEEPALIVE int shiori_words() { return player ? static_cast<int>(player->words().size()) : 0; }

}  // extern "C"
