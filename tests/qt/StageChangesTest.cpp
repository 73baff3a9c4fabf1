#include <gtest/gtest.h>

#include <QPainter>

#include "StageFixture.h"
#include "qt/PictureCache.h"
#include "qt/StageChanges.h"
#include "qt/StagePainter.h"

namespace shiori::test {
namespace {

const QRect kStage(0, 0, 640, 400);

class StageChangesTest : public ::testing::Test {
 protected:
  StageChangesTest() : form_(scheduler_), painter_(game_.folder(), pictures_), changes_(painter_) {}

  // Draws what changed over `image` as the window does: each rectangle alone, clipped to it.
  void PaintChanges(QImage& image, int scale) {
    QPainter painter(&image);
    for (const QRect& rect : changes_.Take(form_)) {
      const QRectF exposed(rect.x() * scale, rect.y() * scale, rect.width() * scale, rect.height() * scale);
      painter.save();
      painter.setClipRect(exposed);
      painter_.Paint(form_, painter, QRectF(image.rect()), exposed);
      painter.restore();
    }
  }

  TempGame game_;
  Scheduler scheduler_;
  Form form_;
  PictureCache pictures_;
  StagePainter painter_;
  StageChanges changes_;
};

TEST_F(StageChangesTest, RepaintsOnlyWhatAChangeTouched) {
  EXPECT_EQ(changes_.Take(form_), std::vector<QRect>{kStage});  // the first frame: everything
  EXPECT_TRUE(changes_.Take(form_).empty());                     // nothing changed since

  // A typed character: its cell in that message line only.
  form_.lbl1[3]->SetCaption("あ");
  const std::vector<QRect> typed = changes_.Take(form_);
  ASSERT_EQ(typed.size(), 1u);
  EXPECT_TRUE(QRect(16, 104, 617, 33).contains(typed[0])) << "inside the line";
  EXPECT_LT(typed[0].width(), 60) << "one cell, not the line";

  // A moved label: where it was and where it is now (clipped to the stage).
  form_.lblMLT[0]->SetVisible(true);
  EXPECT_EQ(changes_.Take(form_), std::vector<QRect>{QRect(40, 128, 249, 25)});
  form_.lblMLT[0]->SetTop(380);
  EXPECT_EQ(changes_.Take(form_), (std::vector<QRect>{QRect(40, 128, 249, 25), QRect(40, 380, 249, 20)}));

  // Layers and pictures change the whole stage.
  form_.Picture2.SetPicture("data/op01.rgd", false);
  EXPECT_EQ(changes_.Take(form_), std::vector<QRect>{kStage});
  form_.Picture2.SetVisible(false);
  EXPECT_EQ(changes_.Take(form_), std::vector<QRect>{kStage});
  form_.SetPicture("data/e01.rgd", false);
  EXPECT_EQ(changes_.Take(form_), std::vector<QRect>{kStage});

  // Nothing on screen: a hidden layer's widgets, the developer controls outside the stage.
  form_.lblMOJI_F->SetFore(kWhite);
  form_.txtDES->SetCaption("0042");
  form_.lblFRONT->SetEnabled(false);  // enabled state draws nothing either
  EXPECT_TRUE(changes_.Take(form_).empty());
}

// Typing repaints a cell or two per character; the pixels must come out as if the whole stage were drawn anew,
// whether the text is Japanese, Latin with kerning and ligatures, wraps a word onto the next line or is narrowed
// to fit, and at any scale.
TEST_F(StageChangesTest, TextTypedCellByCellLooksAsIfDrawnWhole) {
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

  // The third, a story line of 23 characters, is narrowed by a pixel a character as its last one arrives.
  const char* const texts[] = {"「今日は、いい天気ですね。」と彼女は言った。", "Official AV, fit Toyota: WAVE office.",
                               "夕暮れの光が廊下の床に長い影を落とし、遠くで吹",
                               "Ｗｉｄｅ　ｔｅｘｔ　ｔｈａｔ　ｉｓ　ｎａｒｒｏｗｅｄ　ｔｏ　ｆｉｔ　ｉｔｓ　ｌｉｎｅ"};
  for (const int scale : {1, 2}) {
    for (const char* text : texts) {
      const QString once = QString::fromUtf8(text);
      const QString twice = once + QLatin1Char(' ') + once;
      line.SetCaption("");
      wrapping.SetCaption("");
      QImage image = painter_.Render(form_, scale);
      (void)changes_.Take(form_);
      for (qsizetype typed = 1; typed <= twice.size(); ++typed) {
        line.SetCaption(once.left(typed).toStdString());
        wrapping.SetCaption(twice.left(typed).toStdString());
        PaintChanges(image, scale);
        ASSERT_EQ(image, painter_.Render(form_, scale)) << twice.left(typed).toStdString() << " at scale " << scale;
      }
    }
  }
}

}  // namespace
}  // namespace shiori::test
