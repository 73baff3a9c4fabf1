#include <gtest/gtest.h>

#include <QPainter>

#include "StageFixture.h"
#include "qt/PictureCache.h"
#include "qt/StageGeometry.h"
#include "qt/StagePlayer.h"
#include "stage/StageFrames.h"

namespace shiori::test {
namespace {

// The window repaints only the stage boxes a frame changed; the pixels must come out as if the whole stage were
// drawn anew each time.
class StageRepaintTest : public ::testing::Test {
 protected:
  StageRepaintTest() : form_(scheduler_), player_(game_.folder(), pictures_, StageFontForTests()) {}

  // Draws the next frame over `image` as the window does: each changed box mapped to the window's pixels, drawn
  // alone and clipped to them.
  void PaintChanges(QImage& image) {
    const stage::Frame frame = frames_.Next(form_);
    const QRectF target(image.rect());
    QPainter painter(&image);
    for (const stage::Box& box : frame.changed) {
      const QRect exposed = FromStageRect(target, QRectF(box.x, box.y, box.width, box.height));
      painter.save();
      painter.setClipRect(exposed);
      player_.Paint(*frame.list, painter, target, exposed);
      painter.restore();
    }
  }

  [[nodiscard]] QImage Whole(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    player_.Paint(*frames_.shown(), painter, QRectF(image.rect()));
    return image;
  }

  TempGame game_;
  Scheduler scheduler_;
  Form form_;
  PictureCache pictures_;
  StagePlayer player_;
  stage::StageFrames frames_;
};

// Typing repaints a glyph's cell per character: Japanese, Latin, a line that wraps onto the next, a line narrowed
// to fit as its last character arrives, all of it bold as the story's lines are; at whole scales and at a fractional
// one (a window resized by hand).
TEST_F(StageRepaintTest, TextTypedCellByCellLooksAsIfDrawnWhole) {
  game_.WritePicture("data/0001.rgd", ColourPicture(), "PNG");
  form_.Picture2.SetVisible(false);
  form_.Picture1.SetVisible(true);
  form_.Picture1.SetPicture("data/0001.rgd", false);
  Widget& line = *form_.lbl1[0];
  line.SetFore(kWhite);
  line.SetFont(20.25);
  Widget& wrapping = *form_.lbl1[2];
  wrapping.SetFore(kWhite);
  wrapping.SetFont(20.25);
  wrapping.SetHeight(66);  // room for a second line

  // The third, a story line of 23 characters, is narrowed as its last one arrives.
  const char* const texts[] = {"「今日は、いい天気ですね。」と彼女は言った。", "Official AV, fit Toyota: WAVE office.",
                               "夕暮れの光が廊下の床に長い影を落とし、遠くで吹",
                               "Ｗｉｄｅ　ｔｅｘｔ　ｔｈａｔ　ｉｓ　ｎａｒｒｏｗｅｄ　ｔｏ　ｆｉｔ　ｉｔｓ　ｌｉｎｅ"};
  for (const QSize size : {QSize(640, 400), QSize(1280, 800), QSize(960, 600)}) {
    for (const char* text : texts) {
      const QString once = QString::fromUtf8(text);
      const QString twice = once + QLatin1Char(' ') + once;
      line.SetCaption("");
      wrapping.SetCaption("");
      frames_.Invalidate();
      QImage image(size, QImage::Format_RGB32);
      PaintChanges(image);
      for (qsizetype typed = 1; typed <= twice.size(); ++typed) {
        line.SetCaption(once.left(typed).toStdString());
        wrapping.SetCaption(twice.left(typed).toStdString());
        PaintChanges(image);
        ASSERT_EQ(image, Whole(size)) << twice.left(typed).toStdString() << " at " << size.width();
      }
    }
  }
}

}  // namespace
}  // namespace shiori::test
