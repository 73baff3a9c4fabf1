#include "WebServices.h"

#include <emscripten.h>

// The page's side of each service is the `services` object web/js/core.js hands to the module. The bodies are
// JavaScript, which clang-format would break (`!==` becomes `!= =`).
// clang-format off
EM_JS(void, shiori_js_play, (const char* file), { Module.services.play(UTF8ToString(file)); });
EM_JS(void, shiori_js_stop, (), { Module.services.stop(); });
EM_JS(void, shiori_js_volume, (int percent), { Module.services.volume(percent / 100); });
EM_JS(void, shiori_js_say, (const char* text, int rate_percent, const char* voice), {
  Module.services.say(UTF8ToString(text), rate_percent / 100, UTF8ToString(voice));
});
EM_JS(void, shiori_js_hush, (), { Module.services.hush(); });
EM_JS(void, shiori_js_warn, (const char* message), { Module.services.warn(UTF8ToString(message)); });
EM_ASYNC_JS(int, shiori_js_ask, (const char* text, const char* title, int default_yes), {
  return await Module.services.ask(UTF8ToString(text), UTF8ToString(title), default_yes !== 0) ? 1 : 0;
});
// clang-format on

namespace shiori {

void WebWaveDevice::SetFileName(std::string_view relative, const std::filesystem::path& file) {
  relative_ = std::string(relative);
  file_ = file.string();
}

void WebWaveDevice::Command(std::string_view command) {
  if (command == "play" && enabled_) {
    shiori_js_play(file_.c_str());
  } else if (command == "stop" || command == "close") {
    shiori_js_stop();
  }
}

void WebWaveDevice::SetVolume(int percent) { shiori_js_volume(percent); }

bool WebQuestioner::Ask(std::string_view text, std::string_view title, DefaultAnswer default_answer) {
  Paused(true);
  const bool yes =
      shiori_js_ask(std::string(text).c_str(), std::string(title).c_str(), default_answer == DefaultAnswer::kYes) != 0;
  Paused(false);
  return yes;
}

void WebSpeaker::Say(std::string_view text, const Voicing& voicing) {
  shiori_js_say(std::string(text).c_str(), voicing.rate_percent, voicing.voice.c_str());
}

void WebSpeaker::Stop() { shiori_js_hush(); }

void WebWarnings::Warn(std::string_view message) { shiori_js_warn(std::string(message).c_str()); }

}  // namespace shiori
