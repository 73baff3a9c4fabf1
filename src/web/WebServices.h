#pragma once

#include <functional>
#include <string>

#include "platform/Services.h"

namespace shiori {

// The services the page supplies. Each hands its work to the page's JavaScript (web/js/), which plays the music,
// asks the questions and shows the warnings.

// Plays one wave file per "play" with the desktop's semantics: "play" starts the file from its beginning, "stop"
// and "close" silence it; a device switched off plays nothing.
class WebWaveDevice : public WaveDevice {
 public:
  void SetFileName(std::string_view relative, const std::filesystem::path& file) override;
  void Command(std::string_view command) override;
  void SetEnabled(bool enabled) override { enabled_ = enabled; }
  void SetVolume(int percent) override;
  [[nodiscard]] std::string FileName() const override { return relative_; }

 private:
  std::string relative_;
  std::string file_;
  bool enabled_ = true;
};

// Asks in the page's dialog. The core waits for the answer: the call unwinds to the browser's event loop and
// resumes when the reader answers (Asyncify), so the page stays responsive meanwhile.
class WebQuestioner : public Questioner {
 public:
  [[nodiscard]] bool Ask(std::string_view text, std::string_view title, DefaultAnswer default_answer) override;

  // Told true when a question opens and false when it is answered: the story's clock stands still meanwhile.
  std::function<void(bool)> Paused = [](bool) {};
};

// Self-voicing on the browser's speech (speechSynthesis): the page picks the Japanese voice the reader named, or
// its first one, and tells the core through shiori_voices_found() whether it has one at all.
class WebSpeaker : public Speaker {
 public:
  void Say(std::string_view text, const Voicing& voicing) override;
  void Stop() override;
};

class WebWarnings : public WarningSink {
 public:
  void Warn(std::string_view message) override;
};

}  // namespace shiori
