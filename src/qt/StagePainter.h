#pragma once

#include <QFont>
#include <QGlyphRun>
#include <QImage>
#include <QRectF>
#include <QTextLayout>
#include <QTransform>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/GameFolder.h"
#include "qt/GlyphPictures.h"
#include "qt/PictureCache.h"
#include "qt/PlainGlyphs.h"
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

  // The stage pixels that may differ now that the caption of `widget`, which read `before`, reads `before` with
  // more after it: where the glyphs of the characters added lie, and of those before them that a ligature or
  // kerning changed; only their ink, not their whole cells: the least there is to draw and send to the display.
  // None when the text does not simply grow where it stands (centred, wrapped anew, narrowed to fit, or not
  // `before` continued), so that the whole widget must be drawn again.
  [[nodiscard]] std::optional<QRect> GrownText(const Widget& widget, const std::string& before);

 private:
  // How stage pixels reach the output during one paint.
  struct Output {
    QTransform base;  // the painter's transform before the stage was placed
    QRectF target;
    qreal device_pixel_ratio;
    QRectF exposed;  // in stage pixels
  };

  void PaintWindowPicture(const Form& form, QPainter& painter, const Output& output);
  void PaintLayer(const Form& form, const Layer& layer, QPainter& painter, const Output& output);
  // The picture the story names ("data/0001.rgd"), as the stage shows it.
  [[nodiscard]] QImage Picture(const std::string& relative);
  // Where a picture the story names lies in the game folder.
  [[nodiscard]] std::filesystem::path PictureFile(const std::string& relative);
  // Draws a picture at the stage's top-left corner, in its own size.
  void PaintPicture(const QImage& original, QPainter& painter, const Output& output);
  // Draws `widget`; of its text, only what may reach into `exposed` (stage pixels).
  void PaintWidget(const Widget& widget, QPainter& painter, const QRectF& exposed);

  struct TextStyle {
    QFont font;
    QFont unshaped;      // the same, for text that needs no shaping
    bool overstrike;     // bold drawn by striking the text twice, one stage pixel apart
    std::unique_ptr<PlainGlyphs> plain;  // the unshaped font's glyphs, for lines of Japanese alone
  };
  // The labels' type at a size in points (measured at 96 dpi), normal or bold.
  [[nodiscard]] TextStyle& LabelStyle(double points, bool bold);
  // One line of a paragraph: its characters, from the paragraph's start, where its cells lie and its glyphs.
  struct TextLine {
    int start = 0;
    int length = 0;
    QRectF cells;
    QList<QGlyphRun> glyphs;
  };
  // A paragraph laid out in stage pixels, drawn at `origin` and narrowed by `squeeze` (1: as it is) or by
  // `spacing` pixels between glyphs (0: none); it begins at `start` in the label's text.
  struct TextBlock {
    std::vector<TextLine> lines;
    std::unique_ptr<QTextLayout> layout;  // none for a line of Japanese alone, placed glyph by glyph
    QPointF origin;
    qreal squeeze = 1;
    qreal spacing = 0;
    int start = 0;
    // From the layout's coordinates to the stage's.
    [[nodiscard]] QTransform Placement() const {
      return QTransform::fromTranslate(origin.x(), origin.y()).scale(squeeze, 1);
    }
  };
  // The lines of a general layout.
  [[nodiscard]] static std::vector<TextLine> LinesOf(const QTextLayout& layout);
  // A paragraph of Japanese alone on one line, placed glyph by glyph, at `width` or narrowed to it by at most
  // `squeeze_limit`; its glyphs stand on `baseline`. None when the general layout must decide: other text, text
  // that wraps, or a line so near a limit that the two ways of measuring might decide differently.
  [[nodiscard]] static std::optional<TextBlock> PlainLine(const QString& paragraph, PlainGlyphs& glyphs, qreal width,
                                                         qreal squeeze_limit, qreal baseline);
  // A paragraph on one line, `single` in `layout` laid out without wrapping, narrowed to `width`.
  [[nodiscard]] static TextBlock NarrowedLine(std::unique_ptr<QTextLayout> layout, const QTextLine& single,
                                              const QTextOption& option, qreal width, qreal baseline);
  // Lays `text` out in `box`: CR LF breaks, wrapping inside the width, lines at a fixed pitch, whole lines only.
  [[nodiscard]] static std::vector<TextBlock> LayOutText(const QString& text, TextStyle& style, Alignment alignment,
                                                         const QRectF& box);

  // The layout of a label's text is kept until the text or its box changes: while a page types, the lines around
  // the one that changes are repainted too, and shaping them again each time would cost more than drawing them.
  struct TextKey {
    std::string caption;
    int pixels = 0;
    bool bold = false;
    Alignment alignment = Alignment::Left;
    QRectF box;
    bool operator==(const TextKey&) const = default;
  };
  struct CachedText {
    TextKey key;
    std::vector<TextBlock> blocks;
  };
  // Where a widget's text goes: inside its border, if it has one.
  [[nodiscard]] static QRectF TextBox(const Widget& widget);
  [[nodiscard]] TextKey KeyOf(const Widget& widget, const std::string& caption);
  // The widget's text laid out, from the cache when it has not changed since it was last laid out.
  [[nodiscard]] const std::vector<TextBlock>& LaidOutText(const Widget& widget);
  // Whether the first `kept` characters of `before` stand where they stood in `now`: same blocks, same lines.
  [[nodiscard]] static bool KeptInPlace(const std::vector<TextBlock>& before, const std::vector<TextBlock>& now,
                                        int kept);
  // The glyphs of the characters `from` to `to` (not included) and the block they lie in.
  struct PlacedGlyphs {
    QGlyphRun run;
    const TextBlock* block;
    bool operator==(const PlacedGlyphs& other) const {
      return run == other.run && block->origin == other.block->origin && block->squeeze == other.block->squeeze;
    }
  };
  [[nodiscard]] static std::vector<PlacedGlyphs> GlyphsOf(const std::vector<TextBlock>& blocks, int from, int to);
  // Where the outlines of those glyphs lie on the stage.
  [[nodiscard]] QRectF InkOf(const std::vector<TextBlock>& blocks, int from, int to);

  GameFolder folder_;
  PictureCache& pictures_;
  std::map<std::pair<int, bool>, TextStyle> styles_;
  std::map<const Widget*, CachedText> texts_;
  std::map<std::string, std::filesystem::path> files_;
  std::map<std::string, QImage> shown_;  // the pictures on the stage, by name
  GlyphPictures glyphs_;
};

// The family the stage's text is set in: WenQuanYi Zen Hei when installed, else another font that has Japanese.
[[nodiscard]] QString StageFontFamily();

}  // namespace shiori
