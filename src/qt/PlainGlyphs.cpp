#include "qt/PlainGlyphs.h"

#include <QList>
#include <QPointF>
#include <cmath>

namespace shiori {

PlainGlyphs::PlainGlyphs(const QFont& font) : font_(QRawFont::fromFont(font)) {}

std::optional<PlainGlyphs::Glyph> PlainGlyphs::Find(QChar c) {
  if (const auto found = glyphs_.find(c.unicode()); found != glyphs_.end()) return found->second;
  if (c.isSurrogate() || !font_.isValid()) return std::nullopt;
  const QList<quint32> indexes = font_.glyphIndexesForString(QString(c));
  if (indexes.size() != 1 || indexes.front() == 0) return std::nullopt;
  const QList<QPointF> advances = font_.advancesForGlyphIndexes(indexes);
  return glyphs_.emplace(c.unicode(), Glyph{indexes.front(), advances.front().x()}).first->second;
}

std::optional<QGlyphRun> PlainGlyphs::Line(const QString& text, qreal spacing) {
  QList<quint32> indexes;
  QList<QPointF> positions;
  indexes.reserve(text.size());
  positions.reserve(text.size());
  // In 64ths of a pixel, as the general text layout measures it.
  const qreal step = std::round(spacing * 64) / 64;
  qreal x = 0;
  for (const QChar c : text) {
    const std::optional<Glyph> glyph = Find(c);
    if (!glyph) return std::nullopt;
    indexes.append(glyph->index);
    positions.append(QPointF(x, 0));
    x += glyph->advance + step;
  }
  QGlyphRun run;
  run.setRawFont(font_);
  run.setGlyphIndexes(indexes);
  run.setPositions(positions);
  run.setBoundingRect(QRectF(0, -font_.ascent(), x, font_.ascent() + font_.descent()));
  return run;
}

}  // namespace shiori
