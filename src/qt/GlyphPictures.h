#pragma once

#include <QGlyphRun>
#include <QImage>
#include <QPoint>
#include <QRawFont>
#include <QRectF>
#include <QRgb>
#include <cstddef>
#include <unordered_map>

class QPainter;

namespace shiori {

// Glyphs drawn once each into pictures of their own, in their colour and struck twice when bold is overstruck,
// and laid over the stage from there. Qt's own glyph drawing blends every pixel of a glyph on its own, once for
// each stroke of a bold; a picture is blended with the processor's vector instructions, in one go. While a page
// types, that blend was the larger part of what a character cost.
class GlyphPictures {
 public:
  // Draws the glyphs of `run` (in the painter's coordinates) whose ink meets `area`, each with its origin on a
  // whole device pixel, and once more one coordinate unit to the right when `overstrike`. Fractions of a pixel
  // between glyphs do not show; a glyph drawn at every fraction its line's advances fall on would be rasterised
  // and kept once for each.
  void Draw(QPainter& painter, const QGlyphRun& run, bool overstrike, const QRectF& area);

  // Where the ink of a glyph may lie about its origin, in the font's pixels: its outline as designed, a pixel wider
  // all round for the hinting that moves its edges as it is drawn. The box of the glyph as drawn would cost a
  // load and hinting of the glyph of its own, as much again as drawing it.
  [[nodiscard]] QRectF Reach(const QRawFont& font, quint32 index);

 private:
  struct Key {
    QRawFont font;
    quint32 index = 0;
    qreal scale_x = 1;  // device pixels to a coordinate unit
    qreal scale_y = 1;
    int overstrike = 0;  // device pixels to the second stroke; 0: none
    QRgb colour = 0;
    bool operator==(const Key&) const = default;
  };
  struct KeyHash {
    std::size_t operator()(const Key& key) const;
  };
  struct Picture {
    QImage image;
    QPoint origin;  // where the glyph's origin lies in the image
  };
  [[nodiscard]] Picture Make(const Key& key);
  struct GlyphId {
    QRawFont font;
    quint32 index = 0;
    bool operator==(const GlyphId&) const = default;
  };
  struct GlyphIdHash {
    std::size_t operator()(const GlyphId& id) const;
  };

  // A page's glyphs, a few kilobytes each; the lot is let go when it grows past this many.
  static constexpr std::size_t kKept = 512;
  std::unordered_map<Key, Picture, KeyHash> pictures_;
  std::unordered_map<GlyphId, QRectF, GlyphIdHash> reaches_;
};

}  // namespace shiori
