// Looks at the X screen for the window's end-to-end test, which has no image tools to lean on:
//   shiori_screen_probe grab OUT.png                         the whole screen, as a PNG
//   shiori_screen_probe find PNG RRGGBB                      "X Y" of the first pixel of that colour (row by row)
//   shiori_screen_probe count PNG X Y W H bright|dark|RRGGBB pixels near white, near black, or of that colour
//   shiori_screen_probe diff A.png AX AY B.png BX BY W H     pixels that differ between two rectangles
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

int Usage() {
  std::fprintf(stderr, "usage: shiori_screen_probe grab|find|count|diff ...\n");
  return 2;
}

QImage Load(const char* path) {
  QImage image(QString::fromLocal8Bit(path));
  if (image.isNull()) {
    std::fprintf(stderr, "shiori_screen_probe: cannot read %s\n", path);
    std::exit(2);
  }
  return image.convertToFormat(QImage::Format_RGB32);
}

int Grab(int argc, char** argv) {
  QGuiApplication application(argc, argv);
  QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr || !screen->grabWindow(0).save(QString::fromLocal8Bit(argv[2]), "PNG")) return 1;
  return 0;
}

int Find(char** argv) {
  const QImage image = Load(argv[2]);
  const QRgb wanted = 0xFF000000u | static_cast<QRgb>(std::stoul(argv[3], nullptr, 16));
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixel(x, y) == wanted) {
        std::printf("%d %d\n", x, y);
        return 0;
      }
    }
  }
  return 1;
}

int Count(char** argv) {
  const QImage image = Load(argv[2]);
  const QRect rect(std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]), std::atoi(argv[6]));
  const std::string kind = argv[7];
  const bool bright = kind == "bright";
  const bool exact = kind != "bright" && kind != "dark";
  const QRgb wanted = exact ? 0xFF000000u | static_cast<QRgb>(std::stoul(kind, nullptr, 16)) : 0;
  long count = 0;
  for (int y = rect.top(); y <= rect.bottom(); ++y) {
    for (int x = rect.left(); x <= rect.right(); ++x) {
      if (!image.rect().contains(x, y)) continue;
      const QRgb p = image.pixel(x, y);
      const int low = std::min({qRed(p), qGreen(p), qBlue(p)});
      const int high = std::max({qRed(p), qGreen(p), qBlue(p)});
      if (exact ? p == wanted : bright ? low >= 200 : high <= 60) ++count;
    }
  }
  std::printf("%ld\n", count);
  return 0;
}

int Diff(char** argv) {
  const QImage a = Load(argv[2]);
  const QImage b = Load(argv[5]);
  const int ax = std::atoi(argv[3]), ay = std::atoi(argv[4]), bx = std::atoi(argv[6]), by = std::atoi(argv[7]);
  const int w = std::atoi(argv[8]), h = std::atoi(argv[9]);
  long count = 0;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      if (a.pixel(ax + x, ay + y) != b.pixel(bx + x, by + y)) ++count;
    }
  }
  std::printf("%ld\n", count);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return Usage();
  const std::string command = argv[1];
  if (command == "grab" && argc == 3) return Grab(argc, argv);
  if (command == "find" && argc == 4) return Find(argv);
  if (command == "count" && argc == 8) return Count(argv);
  if (command == "diff" && argc == 10) return Diff(argv);
  return Usage();
}
