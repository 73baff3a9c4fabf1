#include <gtest/gtest.h>

#include <QBuffer>
#include <QImageReader>
#include <QTemporaryDir>
#include <set>

#include "Pictures.h"

namespace shiori::demo {
namespace {

std::set<QString> Paths() {
  std::set<QString> paths;
  for (const PictureJob& job : AllPictures()) EXPECT_TRUE(paths.insert(job.path).second) << job.path.toStdString();
  return paths;
}

// The player looks these up by fixed names; a missing one is a black screen.
TEST(PicturesTest, EveryPictureThePlayerOpensIsDrawn) {
  const std::set<QString> paths = Paths();
  for (const char* name : {"data/op01.rgd", "data/ld01.rgd", "data/ld02.rgd", "data/rg01.rgd", "data/e01.rgd",
                           "data/e02.rgd", "data/e03.rgd", "data/e04.rgd", "data/e05.rgd", "data/0001.rgd"}) {
    EXPECT_TRUE(paths.contains(name)) << name;
  }
  for (int cg = 0; cg <= 38; ++cg) {
    const QString log = QStringLiteral("log/%1.log").arg(cg, 4, 10, QChar('0'));
    EXPECT_TRUE(paths.contains(log)) << log.toStdString();
  }
  EXPECT_FALSE(paths.contains("log/0039.log"));
}

QString Saved(const QTemporaryDir& dir, const PictureJob& job) {
  const QString file = dir.filePath(QString(job.path).replace('/', '_'));
  EXPECT_TRUE(SavePicture(job.draw(), job.encoding, file)) << job.path.toStdString();
  return file;
}

// The player decodes by content, whatever the name says; each kind must come out 640 x 400 and be what it claims.
TEST(PicturesTest, PicturesDecodeByContentInTheirFormat) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  std::set<Encoding> seen;
  for (const PictureJob& job : AllPictures()) {
    if (seen.contains(job.encoding)) continue;
    seen.insert(job.encoding);
    QImageReader reader(Saved(dir, job));
    reader.setDecideFormatFromContent(true);
    const QByteArray format = reader.format();
    const QImage image = reader.read();
    ASSERT_FALSE(image.isNull()) << job.path.toStdString() << ": " << reader.errorString().toStdString();
    EXPECT_EQ(image.size(), QSize(640, 400)) << job.path.toStdString();
    switch (job.encoding) {
      case Encoding::kPng:
        EXPECT_EQ(format, "png");
        break;
      case Encoding::kJpeg:
        EXPECT_EQ(format, "jpeg");
        break;
      case Encoding::kBmp24:
        EXPECT_EQ(format, "bmp");
        EXPECT_FALSE(image.colorCount() > 0);
        break;
      case Encoding::kBmp8:
        EXPECT_EQ(format, "bmp");
        EXPECT_EQ(image.format(), QImage::Format_Indexed8);
        EXPECT_LE(image.colorCount(), 256);
        break;
    }
  }
  EXPECT_EQ(seen.size(), 4u) << "the demo exercises every kind of picture the player reads";
}

// Scenes carry white text: their middle must stay dark enough to read it.
TEST(PicturesTest, ScenesUnderTheTextAreDark) {
  for (const PictureJob& job : AllPictures()) {
    if (!job.path.startsWith("data/0")) continue;
    const QImage image = job.draw();
    double sum = 0;
    int count = 0;
    for (int y = 8; y < 392; y += 8) {
      for (int x = 16; x < 624; x += 8) {
        sum += qGray(image.pixel(x, y));
        ++count;
      }
    }
    EXPECT_LT(sum / count, 140) << job.path.toStdString();
  }
}

}  // namespace
}  // namespace shiori::demo
