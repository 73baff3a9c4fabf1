#include "qt/PlainGlyphs.h"

#include <QList>
#include <QPointF>
#include <algorithm>
#include <cmath>

namespace shiori {

namespace {

std::uint16_t BigEndian16(const QByteArray& table, qsizetype offset) {
  return static_cast<std::uint16_t>((static_cast<std::uint8_t>(table[offset]) << 8) |
                                    static_cast<std::uint8_t>(table[offset + 1]));
}

}  // namespace

PlainGlyphs::PlainGlyphs(const QFont& font) : font_(QRawFont::fromFont(font)) {
  const QByteArray header = font_.fontTable("hhea");
  const auto units = static_cast<std::int64_t>(font_.unitsPerEm());
  const auto pixels = static_cast<std::int64_t>(std::lround(font_.pixelSize() * 64));
  if (header.size() < 36 || units <= 0) return;
  advances_ = font_.fontTable("hmtx");
  advance_count_ = std::min<int>(BigEndian16(header, 34), static_cast<int>(advances_.size() / 4));
  scale_ = ((pixels << 16) + units / 2) / units;  // FreeType's x_scale
}

qreal PlainGlyphs::Advance(quint32 index) const {
  if (advance_count_ == 0) return font_.advancesForGlyphIndexes({index}, QRawFont::UseDesignMetrics).front().x();
  const auto entry = static_cast<qsizetype>(std::min<quint32>(index, static_cast<quint32>(advance_count_ - 1)));
  const std::int64_t units = BigEndian16(advances_, entry * 4);
  const std::int64_t linear = (units * scale_ + 32) / 64;  // 16.16, as FreeType's linear advance
  return static_cast<qreal>(linear >> 10) / 64;
}

std::optional<PlainGlyphs::Glyph> PlainGlyphs::Find(QChar c) {
  if (const auto found = glyphs_.find(c.unicode()); found != glyphs_.end()) return found->second;
  if (c.isSurrogate() || !font_.isValid()) return std::nullopt;
  const QList<quint32> indexes = font_.glyphIndexesForString(QString(c));
  if (indexes.size() != 1 || indexes.front() == 0) return std::nullopt;
  return glyphs_.emplace(c.unicode(), Glyph{indexes.front(), Advance(indexes.front())}).first->second;
}

std::optional<QGlyphRun> PlainGlyphs::Line(const QString& text, qreal spacing, qreal baseline) {
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
    positions.append(QPointF(x, baseline));
    x += glyph->advance + step;
  }
  QGlyphRun run;
  run.setRawFont(font_);
  run.setGlyphIndexes(indexes);
  run.setPositions(positions);
  run.setBoundingRect(QRectF(0, baseline - font_.ascent(), x, font_.ascent() + font_.descent()));
  return run;
}

}  // namespace shiori
