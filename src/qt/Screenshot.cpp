#include "qt/Screenshot.h"

#include <QGuiApplication>

#include "qt/PictureCache.h"
#include "qt/StageFontFile.h"
#include "qt/StagePlayer.h"

namespace shiori {

Status SavePng(const QImage& image, const std::filesystem::path& png) {
  if (image.save(QString::fromStdString(png.string()), "PNG")) return Done{};
  return Status::Failure("cannot write the screenshot " + png.string());
}

HeadlessScreenshots::HeadlessScreenshots() = default;
HeadlessScreenshots::~HeadlessScreenshots() = default;

Status HeadlessScreenshots::Write(const Form& form, const GameFolder& folder, const std::filesystem::path& png,
                                  int scale) {
  if (QGuiApplication::instance() == nullptr) {
    static int argc = 3;
    static char arg0[] = "shiori";
    static char arg1[] = "-platform";
    static char arg2[] = "offscreen";
    static char* argv[] = {arg0, arg1, arg2, nullptr};
    application_ = std::make_unique<QGuiApplication>(argc, argv);
  }
  if (!player_) {
    const Result<QRawFont> font = LoadStageFont();
    if (!font) return Status::Failure(font.error());
    pictures_ = std::make_unique<PictureCache>();
    player_ = std::make_unique<StagePlayer>(folder, *pictures_, font.value());
  }
  return SavePng(player_->Render(form, scale), png);
}

}  // namespace shiori
