#pragma once

#include <QImage>
#include <filesystem>
#include <memory>
#include <optional>

#include "platform/GameFolder.h"
#include "platform/Result.h"
#include "window/Form.h"

class QGuiApplication;

namespace shiori {

class PictureCache;
class StagePlayer;

// Writes `image` as a PNG file; the failure names the file.
[[nodiscard]] Status SavePng(const QImage& image, const std::filesystem::path& png);

// The headless driver's screenshots: the client area played by the window's own player at one output pixel per
// stage pixel. Qt is started (on the offscreen platform) and the stage font loaded only when the first screenshot
// is asked for, so that a driver run without screenshots starts as fast as the core alone.
class HeadlessScreenshots {
 public:
  HeadlessScreenshots();
  ~HeadlessScreenshots();
  HeadlessScreenshots(const HeadlessScreenshots&) = delete;
  HeadlessScreenshots& operator=(const HeadlessScreenshots&) = delete;

  [[nodiscard]] Status Write(const Form& form, const GameFolder& folder, const std::filesystem::path& png,
                             int scale = 1);

 private:
  std::unique_ptr<QGuiApplication> application_;
  std::unique_ptr<PictureCache> pictures_;
  std::unique_ptr<StagePlayer> player_;
};

}  // namespace shiori
