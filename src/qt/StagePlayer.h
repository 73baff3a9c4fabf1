#pragma once

#include <QImage>
#include <QRawFont>
#include <QRect>
#include <QRectF>
#include <filesystem>
#include <map>
#include <string>
#include <unordered_map>

#include "platform/GameFolder.h"
#include "qt/GlyphPictures.h"
#include "qt/PictureCache.h"
#include "stage/DisplayList.h"
#include "stage/StageLayout.h"
#include "window/Form.h"

class QPainter;

namespace shiori {

// Plays the core's display list into a QPainter, for the window and for screenshots alike: the stage as the core
// laid it out, at any scale and device pixel ratio. It decides nothing about where anything goes; it keeps the
// drawing rules of the display list (stage/DisplayList.h), so that every shell shows the same pixels.
class StagePlayer {
 public:
  static constexpr int kWidth = Form::kClientWidth;
  static constexpr int kHeight = Form::kClientHeight;

  // `font` is the stage font (LoadStageFont), at any size.
  StagePlayer(GameFolder folder, PictureCache& pictures, QRawFont font);

  // Paints `list` so that the stage fills `target`, given in the painter's logical coordinates. Only the items that
  // meet `exposed` (same coordinates) are drawn: the rest of the stage is left as it was.
  void Paint(const stage::DisplayList& list, QPainter& painter, const QRectF& target, const QRectF& exposed);
  void Paint(const stage::DisplayList& list, QPainter& painter, const QRectF& target) {
    Paint(list, painter, target, target);
  }

  // The stage as an image of `scale` output pixels per stage pixel: `list`, or the window model laid out here.
  [[nodiscard]] QImage Render(const stage::DisplayList& list, int scale = 1);
  [[nodiscard]] QImage Render(const Form& form, int scale = 1);

 private:
  // Where the stage lies on the painter's device during one paint.
  struct Output {
    QPointF origin;  // the stage's top-left corner, in device pixels
    qreal sx = 1;    // device pixels to a stage pixel
    qreal sy = 1;
    stage::Box exposed;  // what is to be drawn, in stage pixels

    [[nodiscard]] QPointF Map(float x, float y) const { return {origin.x() + x * sx, origin.y() + y * sy}; }
    [[nodiscard]] QRectF Area(const stage::Box& box) const;
    // The device pixels of `box`, its edges rounded to the nearest: boxes that meet on the stage meet on the device.
    [[nodiscard]] QRect Pixels(const stage::Box& box) const;
  };

  void Draw(const stage::Fill& fill, QPainter& painter, const Output& output);
  void Draw(const stage::VerticalGradient& gradient, QPainter& painter, const Output& output);
  void Draw(const stage::Polygon& polygon, QPainter& painter, const Output& output);
  void Draw(const stage::RoundedBox& box, QPainter& painter, const Output& output);
  void Draw(const stage::Picture& picture, QPainter& painter, const Output& output);
  void Draw(const stage::GlyphRun& run, QPainter& painter, const Output& output);

  // The picture the story names ("data/0001.rgd"), decoded; a null image when it cannot be.
  [[nodiscard]] QImage PictureNamed(const std::string& relative);
  [[nodiscard]] std::filesystem::path PictureFile(const std::string& relative);
  // The stage font at `pixels` device pixels to the em, and the glyph it draws for `code`.
  [[nodiscard]] const QRawFont& FontAt(qreal pixels);
  [[nodiscard]] quint32 GlyphIndex(char32_t code);

  GameFolder folder_;
  PictureCache& pictures_;
  QRawFont font_;
  std::map<qreal, QRawFont> sizes_;
  std::unordered_map<char32_t, quint32> glyph_indexes_;
  GlyphPictures glyphs_;
  std::map<std::string, std::filesystem::path> files_;
  std::map<std::string, QImage> shown_;  // the pictures on the stage, by name
  stage::StageLayout layout_;            // for Render(form)
};

}  // namespace shiori
