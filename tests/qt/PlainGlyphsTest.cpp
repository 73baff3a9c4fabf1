#include <gtest/gtest.h>

#include <QFont>
#include <QTextLayout>

#include "qt/PlainGlyphs.h"
#include "qt/StagePainter.h"

namespace shiori::test {
namespace {

// A line of Japanese placed glyph by glyph must stand where the general text layout puts it, glyph for glyph, at
// the font's own spacing and with space taken from between the glyphs, or the stage would look different
// depending on which of the two laid a line out.
TEST(PlainGlyphsTest, PlacesGlyphsWhereTheTextLayoutDoes) {
  QFont font(StageFontFamily());
  font.setPixelSize(27);
  font.setStyleStrategy(QFont::PreferNoShaping);
  PlainGlyphs plain(font);
  const QString text = QStringLiteral("「夕暮れの図書室には、もう誰も残っていなかった。」");
  for (const qreal spacing : {0.0, -0.6}) {
    QFont spaced = font;
    spaced.setLetterSpacing(QFont::AbsoluteSpacing, spacing);
    QTextLayout layout(text, spaced);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(10000);
    layout.endLayout();
    QList<quint32> expected_indexes;
    QList<QPointF> expected_positions;
    for (const QGlyphRun& run : line.glyphRuns()) {  // a run per script: ideographs, kana, punctuation
      expected_indexes += run.glyphIndexes();
      expected_positions += run.positions();
    }
    const std::optional<QGlyphRun> placed = plain.Line(text, spacing);
    ASSERT_TRUE(placed);
    EXPECT_EQ(placed->glyphIndexes(), expected_indexes);
    const QList<QPointF> positions = placed->positions();
    ASSERT_EQ(positions.size(), expected_positions.size());
    for (qsizetype i = 0; i < positions.size(); ++i) {
      EXPECT_NEAR(positions[i].x(), expected_positions[i].x(), 1.0 / 64) << "glyph " << i << ", spacing " << spacing;
    }
  }
  // A character the font lacks leaves the line to the general layout, which finds another font for it.
  EXPECT_FALSE(plain.Line(QStringLiteral("夕暮れ\U0001F600"), 0));
}

}  // namespace
}  // namespace shiori::test
