#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Result.h"

namespace shiori {

// The reader's own preferences, kept apart from the game's files (a shell decides where: a file per user on the
// desktop, the browser's storage on the web). The pacing choices change how the story answers clicks, so they
// are off unless the reader turns them on.
struct Preferences {
  static constexpr int kMaxVolume = 100;
  static constexpr int kMinAutoDelayMs = 200;
  static constexpr int kMaxAutoDelayMs = 10000;
  static constexpr int kMinSpeechRate = 50;
  static constexpr int kMaxSpeechRate = 300;
  static constexpr std::size_t kMaxVoiceName = 200;

  int music_volume = kMaxVolume;  // 0 .. 100
  int auto_delay = 1500;          // milliseconds auto mode waits after a stop, before the time for the text
  bool click_shows_page = false;  // a click while text types shows the rest up to the next pause
  bool keep_early_click = false;  // a click while the page waits for its arrow is kept, not lost
  // The language of the player's own words: "auto" (the system's or the browser's), "ja" or "en".
  std::string language = "auto";
  // The story's translation: "off", a language the game brings (translations/<language>.po), or a PO file.
  std::string translation = "off";
  // The text speed the reader chose here: the game's three (1 fast, 2 normal, 3 slow) or 0, every character at
  // once. None until the reader chooses: the game's own setting holds.
  std::optional<int> text_speed;
  bool self_voicing = false;    // the system's voice reads the page, the choices and the focused entry
  bool copy_page_text = false;  // each page's text goes to the clipboard as it is shown, for dictionaries
  int speech_rate = 100;        // percent of the voice's normal speed
  std::string speech_voice;     // the system's name of the voice; empty: its first Japanese voice

  bool operator==(const Preferences&) const = default;

  // Sets one preference by its name in the file ("music_volume", "auto_delay", "click_shows_page",
  // "keep_early_click", "language", "translation", "text_speed" (fast, normal, slow or instant), "self_voicing",
  // "copy_page_text", "speech_rate", "speech_voice"). Fails, naming the problem, on an unknown name or a value out
  // of range.
  [[nodiscard]] Status Set(std::string_view name, std::string_view value);
  // The file's text: one "name=value" line per preference.
  [[nodiscard]] std::string Format() const;
  // Reads the file's text. Unknown names, bad values and other lines are reported in `problems` and leave the
  // default in place, so that a damaged file never keeps the player from starting.
  static Preferences Parse(std::string_view text, std::vector<std::string>& problems);

  // The file at `file`: defaults when it does not exist; problems are reported naming the file.
  // "fast", "normal", "slow", "instant" for 1, 2, 3, 0.
  [[nodiscard]] static std::string_view TextSpeedName(int speed);

  static Preferences Load(const std::filesystem::path& file, std::vector<std::string>& problems);
  [[nodiscard]] Status Save(const std::filesystem::path& file) const;
};

}  // namespace shiori
