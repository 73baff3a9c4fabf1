// Draws every picture of the demo game into a game folder: shiori-demo-pictures OUTPUT_DIR
#include <QDir>
#include <QGuiApplication>
#include <cstdio>

#include "Pictures.h"

int main(int argc, char* argv[]) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
    return 2;
  }
  // Fonts need a GUI application, but the build machine has no display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QDir out(QString::fromLocal8Bit(argv[1]));
  for (const char* folder : {"data", "log"}) {
    if (!out.mkpath(folder)) {
      std::fprintf(stderr, "%s: cannot create folder %s\n", argv[1], folder);
      return 1;
    }
  }
  for (const shiori::demo::PictureJob& job : shiori::demo::AllPictures()) {
    const QString file = out.filePath(job.path);
    if (!shiori::demo::SavePicture(job.draw(), job.encoding, file)) {
      std::fprintf(stderr, "%s: cannot write the picture\n", qPrintable(file));
      return 1;
    }
  }
  return 0;
}
