#pragma once

#include <QImage>
#include <QRawFont>
#include <filesystem>
#include <string>

#include "platform/GameFolder.h"
#include "support/TempDir.h"
#include "window/Form.h"
#include "window/Scheduler.h"

namespace shiori::test {

// A game folder in a fresh temporary directory, removed afterwards, with pictures made by the test.
class TempGame {
 public:
  [[nodiscard]] const std::filesystem::path& dir() const { return dir_.path(); }
  [[nodiscard]] GameFolder folder() const { return GameFolder(dir(), dir()); }
  // Writes `image` as `format` ("BMP", "JPEG", "PNG") under the relative name, whatever its extension says.
  void WritePicture(const std::string& relative, const QImage& image, const char* format) const;
  void WriteBytes(const std::string& relative, const std::string& bytes) const { dir_.Write(relative, bytes); }

 private:
  TempDir dir_;
};

// The stage font the player ships, as the window loads it; a test without it fails rather than draws nothing.
[[nodiscard]] QRawFont StageFontForTests();

// A 640 x 400 picture with 16 palette colours in diagonal bands and a few shapes, so that a shift or a wrong
// scale shows.
[[nodiscard]] QImage PalettePicture();
// A 640 x 400 full-colour picture: a soft gradient with a bright disc.
[[nodiscard]] QImage ColourPicture();

// The images differ visibly: more than `tolerance` of their pixels differ by more than a little in some channel.
struct ImageDifference {
  bool same_size = false;
  long differing = 0;
  long total = 0;
};
[[nodiscard]] ImageDifference Compare(const QImage& a, const QImage& b, int channel_slack);

// Compares `actual` with tests/qt/golden/<name>.png, writing <name>-actual.png beside it on a mismatch; with
// SHIORI_UPDATE_GOLDEN=1 in the environment it rewrites the golden picture instead.
void ExpectMatchesGolden(const QImage& actual, const std::string& name);

}  // namespace shiori::test
