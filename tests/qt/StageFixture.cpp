#include "StageFixture.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QPainter>
#include <algorithm>
#include <cstdlib>

#include "qt/StageFontFile.h"

namespace shiori::test {

void TempGame::WritePicture(const std::string& relative, const QImage& image, const char* format) const {
  std::filesystem::create_directories((dir() / relative).parent_path());
  ASSERT_TRUE(image.save(QString::fromStdString((dir() / relative).string()), format)) << relative;
}

QRawFont StageFontForTests() {
  const Result<QRawFont> font = LoadStageFont();
  EXPECT_TRUE(font.ok()) << (font.ok() ? "" : font.error());
  return font.ok() ? font.value() : QRawFont();
}

QImage PalettePicture() {
  QImage image(640, 400, QImage::Format_Indexed8);
  QList<QRgb> palette;
  for (int i = 0; i < 16; ++i) palette << qRgb(40 + i * 12, 60 + (i * 37) % 160, 180 - i * 9);
  image.setColorTable(palette);
  for (int y = 0; y < 400; ++y) {
    for (int x = 0; x < 640; ++x) image.setPixel(x, y, static_cast<uint>(((x + y) / 40) % 16));
  }
  for (int y = 100; y < 140; ++y) {
    for (int x = 500; x < 600; ++x) image.setPixel(x, y, 0);
  }
  return image;
}

QImage ColourPicture() {
  QImage image(640, 400, QImage::Format_RGB32);
  QPainter painter(&image);
  QLinearGradient gradient(0, 0, 640, 400);
  gradient.setColorAt(0, QColor(0x30, 0x50, 0x70));
  gradient.setColorAt(1, QColor(0x90, 0x60, 0x40));
  painter.fillRect(image.rect(), gradient);
  painter.setBrush(QColor(0xf0, 0xe0, 0xa0));
  painter.setPen(Qt::NoPen);
  painter.drawEllipse(QPointF(480, 120), 60, 60);
  painter.end();
  return image;
}

ImageDifference Compare(const QImage& a, const QImage& b, int channel_slack) {
  ImageDifference result;
  result.same_size = a.size() == b.size();
  if (!result.same_size) return result;
  const QImage x = a.convertToFormat(QImage::Format_RGB32);
  const QImage y = b.convertToFormat(QImage::Format_RGB32);
  result.total = static_cast<long>(x.width()) * x.height();
  for (int row = 0; row < x.height(); ++row) {
    const auto* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
    const auto* q = reinterpret_cast<const QRgb*>(y.constScanLine(row));
    for (int col = 0; col < x.width(); ++col) {
      const int d = std::max({std::abs(qRed(p[col]) - qRed(q[col])), std::abs(qGreen(p[col]) - qGreen(q[col])),
                              std::abs(qBlue(p[col]) - qBlue(q[col]))});
      if (d > channel_slack) ++result.differing;
    }
  }
  return result;
}

void ExpectMatchesGolden(const QImage& actual, const std::string& name) {
  const std::filesystem::path folder = SHIORI_GOLDEN_DIR;
  const QString expected_path = QString::fromStdString((folder / (name + ".png")).string());
  const QString actual_path = QString::fromStdString((folder / (name + "-actual.png")).string());
  const char* update = std::getenv("SHIORI_UPDATE_GOLDEN");
  if (update != nullptr && std::string(update) == "1") {
    ASSERT_TRUE(actual.save(expected_path, "PNG"));
    QFile::remove(actual_path);
    return;
  }
  const QImage expected(expected_path);
  // Font versions and rasterisers differ a little between machines; a misplaced or missing line of text does not
  // hide in a few hundred pixels.
  constexpr int kChannelSlack = 48;
  constexpr double kTolerance = 0.002;
  const ImageDifference difference = Compare(actual, expected, kChannelSlack);
  const bool matches = !expected.isNull() && difference.same_size &&
                       difference.differing <= static_cast<long>(kTolerance * difference.total);
  if (matches) {
    QFile::remove(actual_path);
    return;
  }
  actual.save(actual_path, "PNG");
  ADD_FAILURE() << name << ": " << (expected.isNull() ? "no golden picture" : "differs from the golden picture") << " ("
                << difference.differing << " of " << difference.total << " pixels); wrote " << actual_path.toStdString()
                << "; SHIORI_UPDATE_GOLDEN=1 rewrites the golden pictures";
}

}  // namespace shiori::test
