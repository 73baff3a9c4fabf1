#include "comforts/Preferences.h"

#include <array>
#include <charconv>
#include <fstream>
#include <sstream>

#include "platform/RecordFile.h"

namespace shiori {
namespace {

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

Result<int> ParseIn(std::string_view name, std::string_view value, int low, int high) {
  int number = 0;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
  if (error != std::errc() || end != value.data() + value.size() || number < low || number > high) {
    return Result<int>::Failure(std::string(name) + " takes a whole number from " + std::to_string(low) + " to " +
                                std::to_string(high) + ", not \"" + std::string(value) + "\"");
  }
  return number;
}

Result<bool> ParseSwitch(std::string_view name, std::string_view value) {
  if (value == "on" || value == "1" || value == "true") return true;
  if (value == "off" || value == "0" || value == "false") return false;
  return Result<bool>::Failure(std::string(name) + " takes on or off, not \"" + std::string(value) + "\"");
}

Result<std::string> ParseLanguage(std::string_view value) {
  if (value == "auto" || value == "ja" || value == "en") return std::string(value);
  return Result<std::string>::Failure("language takes auto, ja or en, not \"" + std::string(value) + "\"");
}

Result<std::string> ParseTranslation(std::string_view value) {
  if (value.empty() || value.find_first_of("\r\n") != std::string_view::npos) {
    return Result<std::string>::Failure("translation takes off, a language or a PO file");
  }
  return std::string(value);
}

// Any name a system may give a voice, on one line of the file.
Result<std::string> ParseVoiceName(std::string_view value) {
  const bool one_line = value.find_first_of("\r\n") == std::string_view::npos;
  if (!one_line || value.size() > Preferences::kMaxVoiceName) {
    return Result<std::string>::Failure("speech_voice takes a voice's name on one line of at most " +
                                        std::to_string(Preferences::kMaxVoiceName) + " bytes");
  }
  return std::string(value);
}

constexpr std::array<std::string_view, 4> kSpeedNames = {"instant", "fast", "normal", "slow"};

Result<std::optional<int>> ParseSpeed(std::string_view value) {
  for (std::size_t speed = 0; speed < kSpeedNames.size(); ++speed) {
    if (value == kSpeedNames[speed]) return std::optional<int>(static_cast<int>(speed));
  }
  return Result<std::optional<int>>::Failure("text_speed takes fast, normal, slow or instant, not \"" +
                                             std::string(value) + "\"");
}

template <class T>
Status Assign(T& target, Result<T> parsed) {
  if (!parsed) return Status::Failure(parsed.error());
  target = parsed.value();
  return Done{};
}

}  // namespace

Status Preferences::Set(std::string_view name, std::string_view value) {
  value = Trim(value);
  if (name == "music_volume") return Assign(music_volume, ParseIn(name, value, 0, kMaxVolume));
  if (name == "auto_delay") return Assign(auto_delay, ParseIn(name, value, kMinAutoDelayMs, kMaxAutoDelayMs));
  if (name == "click_shows_page") return Assign(click_shows_page, ParseSwitch(name, value));
  if (name == "keep_early_click") return Assign(keep_early_click, ParseSwitch(name, value));
  if (name == "language") return Assign(language, ParseLanguage(value));
  if (name == "translation") return Assign(translation, ParseTranslation(value));
  if (name == "text_speed") return Assign(text_speed, ParseSpeed(value));
  if (name == "self_voicing") return Assign(self_voicing, ParseSwitch(name, value));
  if (name == "copy_page_text") return Assign(copy_page_text, ParseSwitch(name, value));
  if (name == "speech_rate") return Assign(speech_rate, ParseIn(name, value, kMinSpeechRate, kMaxSpeechRate));
  if (name == "speech_voice") return Assign(speech_voice, ParseVoiceName(value));
  return Status::Failure("no preference is named " + std::string(name));
}

// Plain string building: the web page's player writes this text too, and a string stream would add its weight to
// the page's download.
std::string Preferences::Format() const {
  const auto on_off = [](bool on) { return on ? "on" : "off"; };
  return "music_volume=" + std::to_string(music_volume) + "\n" + "auto_delay=" + std::to_string(auto_delay) + "\n" +
         "click_shows_page=" + on_off(click_shows_page) + "\n" + "keep_early_click=" + on_off(keep_early_click) + "\n" +
         "language=" + language + "\n" + "translation=" + translation + "\n" +
         (text_speed ? "text_speed=" + std::string(TextSpeedName(*text_speed)) + "\n" : "") +
         "self_voicing=" + on_off(self_voicing) + "\n" + "copy_page_text=" + on_off(copy_page_text) + "\n" +
         "speech_rate=" + std::to_string(speech_rate) + "\n" + "speech_voice=" + speech_voice + "\n";
}

std::string_view Preferences::TextSpeedName(int speed) {
  return speed >= 0 && speed < static_cast<int>(kSpeedNames.size()) ? kSpeedNames[speed] : "normal";
}

Preferences Preferences::Parse(std::string_view text, std::vector<std::string>& problems) {
  Preferences preferences;
  int line_number = 0;
  while (!text.empty()) {
    const auto end = text.find('\n');
    const std::string_view line = Trim(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    ++line_number;
    if (line.empty() || line[0] == '#') continue;
    const auto equals = line.find('=');
    const Status set = equals == std::string_view::npos
                           ? Status::Failure("not of the form name=value")
                           : preferences.Set(Trim(line.substr(0, equals)), line.substr(equals + 1));
    if (!set) problems.push_back("line " + std::to_string(line_number) + ": " + set.error());
  }
  return preferences;
}

Preferences Preferences::Load(const std::filesystem::path& file, std::vector<std::string>& problems) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return {};
  std::ostringstream text;
  text << in.rdbuf();
  std::vector<std::string> found;
  Preferences preferences = Parse(text.str(), found);
  for (const std::string& problem : found) problems.push_back(file.string() + ": " + problem);
  return preferences;
}

Status Preferences::Save(const std::filesystem::path& file) const {
  std::error_code error;
  std::filesystem::create_directories(file.parent_path(), error);
  return WriteFileAtomically(file, Format());
}

}  // namespace shiori
