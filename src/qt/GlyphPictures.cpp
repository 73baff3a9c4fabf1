#include "qt/GlyphPictures.h"

#include <QHashFunctions>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>
#include <algorithm>
#include <cmath>

namespace shiori {

std::size_t GlyphPictures::KeyHash::operator()(const Key& key) const {
  return qHashMulti(0, key.font, key.index, key.scale_x, key.scale_y, key.overstrike, key.colour);
}

std::size_t GlyphPictures::GlyphIdHash::operator()(const GlyphId& id) const { return qHashMulti(0, id.font, id.index); }

QRectF GlyphPictures::Reach(const QRawFont& font, quint32 index) {
  const GlyphId id{font, index};
  if (const auto found = reaches_.find(id); found != reaches_.end()) return found->second;
  if (reaches_.size() >= kKept) reaches_.clear();
  return reaches_.emplace(id, font.pathForGlyph(index).boundingRect().adjusted(-1, -1, 1, 1)).first->second;
}

GlyphPictures::Picture GlyphPictures::Make(const Key& key) {
  const QTransform scale = QTransform::fromScale(key.scale_x, key.scale_y);
  const QRectF ink = scale.mapRect(Reach(key.font, key.index));
  // Antialiasing reaches a pixel past the outline.
  constexpr int kMargin = 2;
  const QPoint origin(kMargin - static_cast<int>(std::floor(ink.left())),
                      kMargin - static_cast<int>(std::floor(ink.top())));
  QImage image(static_cast<int>(std::ceil(ink.width())) + 2 * kMargin + 1 + key.overstrike,
               static_cast<int>(std::ceil(ink.height())) + 2 * kMargin + 1, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QGlyphRun glyph;
  glyph.setRawFont(key.font);
  glyph.setGlyphIndexes({key.index});
  glyph.setPositions({QPointF(0, 0)});
  QPainter painter(&image);
  painter.setPen(QColor::fromRgb(key.colour));
  const auto stroke = [&](int right) {
    painter.setTransform(scale * QTransform::fromTranslate(origin.x() + right, origin.y()));
    painter.drawGlyphRun(QPointF(0, 0), glyph);
  };
  stroke(0);
  if (key.overstrike != 0) stroke(key.overstrike);
  return {image, origin};
}

void GlyphPictures::Draw(QPainter& painter, const QGlyphRun& run, bool overstrike, const QRectF& area) {
  // Device pixels from the painter's origin. A widget's painter is moved on to the widget's place in its window
  // past that, and stays moved whatever its transform.
  const QTransform to_device = painter.combinedTransform();
  const QList<quint32> indexes = run.glyphIndexes();
  const QList<QPointF> positions = run.positions();
  // The second stroke lies one coordinate unit to the right, a whole number of device pixels and never none: on a
  // line whose glyphs are narrowed to fit it would otherwise lose the bold of every glyph whose place rounds down.
  const int second_stroke = overstrike ? std::max(1, static_cast<int>(std::round(to_device.m11()))) : 0;
  Key key{run.rawFont(), 0, to_device.m11(), to_device.m22(), second_stroke, painter.pen().color().rgb()};
  painter.save();
  painter.setWorldTransform(to_device.inverted() * painter.worldTransform());  // from here on, device pixels
  for (qsizetype i = 0; i < indexes.size() && i < positions.size(); ++i) {
    const QRectF ink = Reach(key.font, indexes[i]).translated(positions[i]);
    // The snap and antialiasing reach a pixel further.
    if (!ink.adjusted(-1, -1, overstrike ? 2 : 1, 1).intersects(area)) continue;
    const QPointF device = to_device.map(positions[i]);
    const QPoint at(static_cast<int>(std::round(device.x())), static_cast<int>(std::round(device.y())));
    key.index = indexes[i];
    if (pictures_.size() >= kKept) pictures_.clear();
    auto found = pictures_.find(key);
    if (found == pictures_.end()) found = pictures_.emplace(key, Make(key)).first;
    painter.drawImage(at - found->second.origin, found->second.image);
  }
  painter.restore();
}

}  // namespace shiori
