#pragma once

#include <QFont>
#include <QGlyphRun>
#include <QRawFont>
#include <QString>
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

  // The glyphs of `text` on one line, with `spacing` pixels added after each, from x = 0 on the baseline y = 0.
  // None when the font lacks a character (another font must stand in for it) or `text` holds a character outside
  // the basic plane.
  [[nodiscard]] std::optional<QGlyphRun> Line(const QString& text, qreal spacing);
  // How far the font reaches above its baseline.
  [[nodiscard]] qreal ascent() const { return font_.ascent(); }

 private:
  struct Glyph {
    quint32 index = 0;
    qreal advance = 0;
  };
  [[nodiscard]] std::optional<Glyph> Find(QChar c);

  QRawFont font_;
  std::unordered_map<char16_t, Glyph> glyphs_;
};

}  // namespace shiori
