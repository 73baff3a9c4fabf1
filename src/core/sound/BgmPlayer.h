#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace shiori {

class Engine;

// Keeps the right piece of background music playing: a page with a new number stops the old piece and starts
// the new one 200 ms later; the music timer replays the piece each time it has run its length; number 0 stops
// the music; the menu item `menuBGM` switches all music on and off.
class BgmPlayer {
 public:
  explicit BgmPlayer(Engine& engine) : engine_(engine) {}

  void UpdatePageMusic();
  void RestartMusic();
  void timBGM_Timer();
  void menuBGM_Click();

  // The length of a piece in milliseconds from the track table, if it has a row there.
  [[nodiscard]] static std::optional<int> TrackLength(int number);
  // "\data\0012.wav".
  [[nodiscard]] static std::string MusicFile(int number);
  // Plays a piece once: the device is closed, given the file, opened and told to play.
  void StartSequence(const std::string& file);

 private:
  void StopSequence();
  // The piece number in `PageBuffer`, or none when it lies outside 0..255.
  [[nodiscard]] std::optional<std::uint8_t> PageMusic() const;
  void ScheduleStart(int delay_ms);

  Engine& engine_;
};

}  // namespace shiori
