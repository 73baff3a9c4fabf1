#pragma once

#include <QImage>
#include <QString>
#include <functional>
#include <vector>

namespace shiori::demo {

// How a picture is stored. The player decodes by content, so the demo mixes them under the game's own file names.
enum class Encoding { kPng, kJpeg, kBmp24, kBmp8 };

struct PictureJob {
  QString path;  // relative to the game folder
  Encoding encoding;
  std::function<QImage()> draw;
};

// Every picture of the demo game: scenes, CGs, menus, gallery and endings.
[[nodiscard]] std::vector<PictureJob> AllPictures();

[[nodiscard]] bool SavePicture(const QImage& image, Encoding encoding, const QString& file);

}  // namespace shiori::demo
