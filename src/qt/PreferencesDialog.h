#pragma once

#include <QDialog>
#include <filesystem>
#include <functional>

#include "comforts/Preferences.h"

class QComboBox;
class QLabel;

namespace shiori {

// Where the reader's preferences are kept: $XDG_CONFIG_HOME/shiori/shiori.conf (~/.config when it is unset),
// never among the game's files.
[[nodiscard]] std::filesystem::path PreferencesFile();

// The preferences screen: music volume, the auto-mode delay, the two pacing choices, and voice and text out. Every
// change is applied at once (the volume as the slider moves) and saved; a save that fails says so in the dialog.
class PreferencesDialog : public QDialog {
 public:
  PreferencesDialog(const Preferences& initial, std::filesystem::path file,
                    std::function<void(const Preferences&)> apply, QWidget* parent = nullptr);

  // The Japanese voices the system has, to choose from; the reader's own stays chosen.
  void SetVoices(const QStringList& voices);

 private:
  void Change(const std::function<void(Preferences&)>& change);
  [[nodiscard]] QWidget* VoiceAndTextOut(const Preferences& initial);

  Preferences preferences_;
  std::filesystem::path file_;
  std::function<void(const Preferences&)> apply_;
  QLabel* problem_;
  QComboBox* voice_ = nullptr;
};

}  // namespace shiori
