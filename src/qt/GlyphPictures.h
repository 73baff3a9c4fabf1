#pragma once

#include <QImage>
#include <QPoint>
#include <QRawFont>
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
  // How one glyph is drawn: `font` at its size in device pixels, narrowed horizontally by `stretch` about its
  // origin, struck a second time `overstrike` device pixels to the right (0: once), in `colour`.
  struct Style {
    QRawFont font;
    qreal stretch = 1;
    int overstrike = 0;
    QRgb colour = 0;
    bool operator==(const Style&) const = default;
  };

  // Draws glyph `index` with its origin at `origin`, in the coordinates of `painter`, which must be device pixels.
  void Draw(QPainter& painter, const Style& style, quint32 index, QPoint origin);

 private:
  struct Key {
    Style style;
    quint32 index = 0;
    bool operator==(const Key&) const = default;
  };
  struct KeyHash {
    std::size_t operator()(const Key& key) const;
  };
  struct Picture {
    QImage image;
    QPoint origin;  // where the glyph's origin lies in the image
  };
  [[nodiscard]] static Picture Make(const Key& key);

  // A page's glyphs, a few kilobytes each; the lot is let go when it grows past this many.
  static constexpr std::size_t kKept = 512;
  std::unordered_map<Key, Picture, KeyHash> pictures_;
};

}  // namespace shiori
