#pragma once

#include <QFont>
#include <QImage>
#include <QRectF>
#include <QTransform>
#include <map>
#include <string>
#include <utility>

#include "platform/GameFolder.h"
#include "qt/PictureCache.h"
#include "window/Form.h"

class QPainter;

namespace shiori {

// Draws the window's 640 x 400 client area from the model, for the window and for screenshots alike, so that both
// are the same pixels at one output pixel per stage pixel. Text is laid out in stage pixels and drawn at the output
// resolution, so it stays crisp at any scale and wraps the same way at every scale; pictures are scaled smoothly.
class StagePainter {
 public:
  static constexpr int kWidth = Form::kClientWidth;
  static constexpr int kHeight = Form::kClientHeight;

  StagePainter(GameFolder folder, PictureCache& pictures);

  // Paints the client area so that it fills `target`, given in the painter's logical coordinates. Only what meets
  // `exposed` (same coordinates) needs to be right afterwards; the rest may be left as it was.
  void Paint(const Form& form, QPainter& painter, const QRectF& target, const QRectF& exposed);
  void Paint(const Form& form, QPainter& painter, const QRectF& target) { Paint(form, painter, target, target); }

  // The client area as an image of `scale` output pixels per stage pixel.
  [[nodiscard]] QImage Render(const Form& form, int scale = 1);

 private:
  // How stage pixels reach the output during one paint.
  struct Output {
    QTransform base;  // the painter's transform before the stage was placed
    QRectF target;
    qreal device_pixel_ratio;
    QRectF exposed;  // in stage pixels
  };

  void PaintWindowPicture(const Form& form, QPainter& painter, const Output& output);
  void PaintLayer(const Layer& layer, QPainter& painter, const Output& output);
  [[nodiscard]] bool PictureAvailable(const std::string& relative);
  // Draws a picture of the game folder at the stage's top-left corner, in its own size.
  void PaintPicture(const std::string& relative, QPainter& painter, const Output& output);
  void PaintWidget(const Widget& widget, QPainter& painter);

  struct TextStyle {
    QFont font;
    bool overstrike;  // bold drawn by striking the text twice, one stage pixel apart
  };
  // The labels' type at a size in points (measured at 96 dpi), normal or bold.
  [[nodiscard]] const TextStyle& LabelStyle(double points, bool bold);
  // Lays `text` out in `box` (stage pixels): CR LF breaks, wrapping inside the width, lines at a fixed pitch.
  void PaintText(const QString& text, const TextStyle& style, Alignment alignment, const QRectF& box,
                 QPainter& painter);

  GameFolder folder_;
  PictureCache& pictures_;
  std::map<std::pair<int, bool>, TextStyle> styles_;
};

// The family the stage's text is set in: WenQuanYi Zen Hei when installed, else another font that has Japanese.
[[nodiscard]] QString StageFontFamily();

}  // namespace shiori
