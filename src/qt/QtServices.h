#pragma once

#include <QString>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <string>

#include "platform/MersenneRandom.h"
#include "platform/Services.h"
#include "qt/PictureCache.h"
#include "qt/PulseWaveDevice.h"

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

// A modal yes/no box over the window, without an icon.
class QtQuestioner : public Questioner {
 public:
  explicit QtQuestioner(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }
  [[nodiscard]] bool Ask(std::string_view text, std::string_view title, DefaultAnswer default_answer) override;

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
  PulseWaveDevice wave_{warnings_};
  QtQuestioner questions_;
  LocalWallClock clock_;
  MersenneRandom random_;
};

}  // namespace shiori
