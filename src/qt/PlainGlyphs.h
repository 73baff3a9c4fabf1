#pragma once

#include <QFont>
#include <QGlyphRun>
#include <QRawFont>
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <unordered_map>

namespace shiori {

// The glyphs of one font for text that needs no shaping, Japanese alone: one glyph per character at its own
// advance. Each character is looked up once, so that a line of it is placed by adding advances. The general text
// layout itemises, shapes and breaks the whole line instead, and while a page types it would do so once for every
// character.
class PlainGlyphs {
 public:
  explicit PlainGlyphs(const QFont& font);

  // The glyphs of `text` on one line, with `spacing` pixels added after each, from x = 0 on the baseline y =
  // `baseline`; the run's bounding rectangle is the line's cells. None when the font lacks a character (another
  // font must stand in for it) or `text` holds a character outside the basic plane.
  [[nodiscard]] std::optional<QGlyphRun> Line(const QString& text, qreal spacing, qreal baseline = 0);

 private:
  struct Glyph {
    quint32 index = 0;
    qreal advance = 0;
  };
  [[nodiscard]] std::optional<Glyph> Find(QChar c);
  // The glyph's advance as the text layout takes it at this font's size: its design advance, in 64ths of a pixel
  // as FreeType scales it. Read from the font's table of advances, since asking the font engine loads and hints
  // the whole glyph, which for a glyph not seen before costs more than drawing it.
  [[nodiscard]] qreal Advance(quint32 index) const;

  QRawFont font_;
  QByteArray advances_;  // the font's horizontal metrics table: an advance and a side bearing per glyph
  int advance_count_ = 0;  // how many glyphs have an advance of their own; the rest share the last one
  std::int64_t scale_ = 0;  // font units to pixels, in 16.16
  std::unordered_map<char16_t, Glyph> glyphs_;
};

}  // namespace shiori
