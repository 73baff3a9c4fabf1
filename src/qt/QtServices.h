#pragma once

#include <QString>
#include <filesystem>
#include <functional>
#include <memory>
#include <random>
#include <set>
#include <string>

#include "platform/Services.h"
#include "qt/PictureCache.h"

class QAudioOutput;
class QMediaPlayer;
class QWidget;

namespace shiori {

// The platform services of the window, on Qt.

class QtPictureService : public PictureService {
 public:
  explicit QtPictureService(PictureCache& cache) : cache_(cache) {}
  // Decodes the file, not just its header, so a truncated picture counts as missing; the decoded picture stays
  // in the cache for the painter.
  [[nodiscard]] bool CanLoad(const std::filesystem::path& file) override;

 private:
  PictureCache& cache_;
};

class StderrWarnings : public WarningSink {
 public:
  void Warn(std::string_view message) override;
};

// Plays one wave file per "play" through Qt Multimedia. Without an audio device, or when a file is missing or does
// not play, the music is silent and a warning says so once (per file), never more: the story goes on.
class QtWaveDevice : public WaveDevice {
 public:
  explicit QtWaveDevice(WarningSink& warnings);
  ~QtWaveDevice() override;

  void SetNotify(bool) override {}
  void SetWait(bool) override {}
  void SetShareable(bool) override {}
  void SetDeviceType(std::string_view) override {}
  void SetFileName(std::string_view relative, const std::filesystem::path& file) override;
  void Command(std::string_view command) override;
  void SetEnabled(bool enabled) override { enabled_ = enabled; }
  void SetVolume(int percent) override;
  [[nodiscard]] std::string FileName() const override { return relative_; }

 private:
  void Play();
  void ApplyVolume();
  void Stop();
  [[nodiscard]] bool EnsurePlayer();
  void WarnOnce(const std::string& key, const std::string& message);

  WarningSink& warnings_;
  std::string relative_;
  std::filesystem::path file_;
  bool enabled_ = true;
  bool no_device_ = false;
  int volume_ = 100;
  std::set<std::string> warned_;
  // Made on the first "play", so that a reader who never hears music never loads the media back end.
  std::unique_ptr<QAudioOutput> output_;
  std::unique_ptr<QMediaPlayer> player_;
};

// A modal yes/no box over the window, without an icon.
class QtQuestioner : public Questioner {
 public:
  explicit QtQuestioner(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }
  [[nodiscard]] bool Ask(std::string_view text, std::string_view title) override;

  // Called around every question, so that the window can stop its clock while the reader thinks.
  std::function<void(bool open)> Asking;

 private:
  QWidget* parent_;
};

class LocalWallClock : public WallClock {
 public:
  [[nodiscard]] std::string DateText() override;
  [[nodiscard]] std::string TimeText() override;
  [[nodiscard]] std::int64_t MillisecondsSinceMidnight() override;
};

class MersenneRandom : public RandomSource {
 public:
  void Seed(std::uint64_t seed) override { engine_.seed(seed); }
  [[nodiscard]] double Next() override;

 private:
  std::mt19937_64 engine_{0};
};

// Every service of the window, owned together.
class QtServices {
 public:
  QtServices();

  [[nodiscard]] Services Bundle();
  [[nodiscard]] PictureCache& pictures() { return cache_; }
  [[nodiscard]] QtQuestioner& questions() { return questions_; }

 private:
  PictureCache cache_;
  QtPictureService pictures_{cache_};
  StderrWarnings warnings_;
  QtWaveDevice wave_{warnings_};
  QtQuestioner questions_;
  LocalWallClock clock_;
  MersenneRandom random_;
};

}  // namespace shiori
