#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>

namespace shiori {

class Engine;

// The two settings files ("conf.rgd": the music switch, "conf2.rgd": the text speed) and the settings screen on
// `Picture3`.
class Settings {
 public:
  static constexpr std::uint8_t kDefaultTextSpeed = 2;

  explicit Settings(Engine& engine) : engine_(engine) {}

  // Reads both settings at start-up: the music switch into `menuBGM`, the text speed with its label lit.
  void Load();
  // Writes both settings, as the program ends.
  void Save();
  void ChooseTextSpeed(std::uint8_t speed);  // lblMOJI_F / _N / _S
  // Told when the reader chose a speed on the settings screen.
  std::function<void(std::uint8_t speed)> TextSpeedChosen;
  void lblSYOK_MouseDown(int button);
  void Label8_MouseDown(int button);

 private:
  void ReadMusicSwitch();
  void ReadTextSpeed();
  void HighlightTextSpeed();
  void WriteMusicSwitch();
  void WriteTextSpeed();
  [[nodiscard]] std::filesystem::path File(const char* name) const;
  // Where a setting is read from: the save folder's file, or, while the save folder has none (a first start
  // with saves kept apart from a read-only game), the game folder's own, which the game came with; none when
  // neither exists.
  [[nodiscard]] std::optional<std::filesystem::path> StartingFile(const char* name) const;

  Engine& engine_;
};

}  // namespace shiori
