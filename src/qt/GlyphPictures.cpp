#include "qt/GlyphPictures.h"

#include <QGlyphRun>
#include <QHashFunctions>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>
#include <cmath>

namespace shiori {

std::size_t GlyphPictures::KeyHash::operator()(const Key& key) const {
  const Style& s = key.style;
  return qHashMulti(0, s.font, key.index, s.stretch, s.overstrike, s.colour);
}

GlyphPictures::Picture GlyphPictures::Make(const Key& key) {
  const Style& style = key.style;
  const QTransform narrowed = QTransform::fromScale(style.stretch, 1);
  // The outline as designed, a pixel wider all round for the hinting that moves its edges as it is drawn, and for
  // antialiasing a pixel further still.
  const QRectF ink = narrowed.mapRect(style.font.pathForGlyph(key.index).boundingRect());
  constexpr int kMargin = 2;
  const QPoint origin(kMargin - static_cast<int>(std::floor(ink.left())),
                      kMargin - static_cast<int>(std::floor(ink.top())));
  QImage image(static_cast<int>(std::ceil(ink.width())) + 2 * kMargin + 1 + style.overstrike,
               static_cast<int>(std::ceil(ink.height())) + 2 * kMargin + 1, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QGlyphRun glyph;
  glyph.setRawFont(style.font);
  glyph.setGlyphIndexes({key.index});
  glyph.setPositions({QPointF(0, 0)});
  QPainter painter(&image);
  painter.setPen(QColor::fromRgba(style.colour));
  const auto stroke = [&](int right) {
    painter.setTransform(narrowed * QTransform::fromTranslate(origin.x() + right, origin.y()));
    painter.drawGlyphRun(QPointF(0, 0), glyph);
  };
  stroke(0);
  if (style.overstrike != 0) stroke(style.overstrike);
  return {image, origin};
}

void GlyphPictures::Draw(QPainter& painter, const Style& style, quint32 index, QPoint origin) {
  const Key key{style, index};
  auto found = pictures_.find(key);
  if (found == pictures_.end()) {
    if (pictures_.size() >= kKept) pictures_.clear();
    found = pictures_.emplace(key, Make(key)).first;
  }
  painter.drawImage(origin - found->second.origin, found->second.image);
}

}  // namespace shiori
