#include <gtest/gtest.h>

#include <QPainter>

#include "StageFixture.h"
#include "qt/PictureCache.h"
#include "qt/StagePainter.h"
#include "qt/StageWidget.h"

namespace shiori::test {
namespace {

// A form drawn from a game folder of test pictures, put by hand into the states the story puts it in.
class StagePainterTest : public ::testing::Test {
 protected:
  StagePainterTest() : form_(scheduler_), painter_(game_.folder(), pictures_) {
    game_.WritePicture("data/op01.rgd", PalettePicture(), "BMP");
    game_.WritePicture("data/0001.rgd", ColourPicture(), "JPEG");
    game_.WritePicture("data/LD01.RGD", ColourPicture(), "PNG");
  }

  void Place(Widget* w, const char* caption, Rect r, Rgb fore, double font) {
    w->SetVisible(true);
    w->SetFore(fore);
    w->SetFont(font);
    w->SetCaption(caption);
    w->SetTop(r.top);
    w->SetLeft(r.left);
    w->SetWidth(r.width);
    w->SetHeight(r.height);
  }

  void ShowTitle() {
    form_.Picture2.SetPicture("data/op01.rgd", false);
    const char* captions[] = {"▽物語を読む▽", "▽ＣＧを見る▽", "▽環境設定▽", "▽ゲーム終了▽"};
    for (int i = 0; i < 4; ++i) {
      Place(form_.lblMLT[i], captions[i], {i % 2 == 0 ? 280 : 440, i < 2 ? 240 : 264, 145, 25}, kWhite, 14);
    }
  }

  void ShowStory() {
    form_.Picture2.SetVisible(false);
    form_.Picture1.SetVisible(true);
    form_.Picture1.SetPicture("data/0042.rgd", true);
  }

  TempGame game_;
  Scheduler scheduler_;
  Form form_;
  PictureCache pictures_;
  StagePainter painter_;
};

TEST_F(StagePainterTest, TitleMenuOverAPalettePicture) {
  ShowTitle();
  ExpectMatchesGolden(painter_.Render(form_), "title");
}

TEST_F(StagePainterTest, LoadMenuWithLineBreaksWrapAndBorder) {
  // The picture's name is upper case on disk and has no picture extension: found and decoded all the same.
  form_.Picture2.SetPicture("data/ld01.rgd", false);
  Place(form_.lblMLT[0], "ロードデータ　その１\r\n12/24 21:05", {336, 48, 249, 49}, kWhite, 14);
  Place(form_.lblMLT[1], "ロードデータ　その２\r\nセーブデータがありません", {336, 128, 249, 49}, kWhite, 14);
  Place(form_.lblMLT[2], "ロードデータ　その３\r\n始めから", {336, 216, 249, 49}, kWhite, 14);
  Place(form_.lblMLT[3], "ロードせずにはじめから読む\r\nしおり３が使用されます", {336, 304, 249, 49}, kWhite, 12);
  Place(form_.lblMLT[5], "タイトル画面に戻る", {87, 315, 120, 17}, kWhite, 9);
  Place(form_.lblMLT[6],
        "坂の上の図書館で、彼女はいつも同じ窓際の席に座っていた。\r\n\r\n"
        "返却期限の過ぎた本に挟まれた一枚の栞が、ふたりの夏を少しだけ変えることになる。A long Latin word "
        "wraps whole.\r\n\r\n　　　　　　　　　　　　　　　　-第三章より-",
        {29, 128, 255, 174}, kWhite, 9);
  ExpectMatchesGolden(painter_.Render(form_), "load_menu");
}

TEST_F(StagePainterTest, StoryPageOverAMissingPicture) {
  ShowStory();
  const char* lines[] = {"　夕暮れの図書室には、もう誰も残っていなかった。", "「……まだ、帰らないの？」",
                         "振り返ると、貸出カウンターの向こうに彼女がいた。",
                         "ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱＲＳＴＵＶＷ"};
  for (int k = 0; k < 4; ++k) form_.lbl1[k]->SetCaption(lines[k]);
  form_.lblSANKAKU->SetCaption("▼");
  ExpectMatchesGolden(painter_.Render(form_), "story");
}

TEST_F(StagePainterTest, ChoicesOverAJpegPicture) {
  ShowStory();
  form_.Picture1.SetPicture("data/0001.rgd", false);
  Place(form_.lblSEL[0], "図書室に残って、彼女を待つ\r\n（まだ言えていないことがある）", {32, 48, 560, 60}, kWhite,
        20.25);
  Place(form_.lblSEL[1], "今日はもう帰る", {32, 128, 560, 30}, 0xFFFF80, 20.25);
  ExpectMatchesGolden(painter_.Render(form_), "choices");
}

TEST_F(StagePainterTest, SettingsScreenCoversTheOthers) {
  ShowTitle();
  form_.Picture3.SetVisible(true);
  form_.lblMOJI_N->SetFore(kWhite);
  ExpectMatchesGolden(painter_.Render(form_), "settings");
}

TEST_F(StagePainterTest, WindowPictureShowsOnlyWithEveryLayerHidden) {
  for (Layer* layer : form_.LayersBottomUp()) layer->SetVisible(false);
  ExpectMatchesGolden(painter_.Render(form_), "design_background");

  form_.SetPicture("data/0001.rgd", false);
  EXPECT_EQ(painter_.Render(form_), pictures_.Get(game_.dir() / "data/0001.rgd").convertToFormat(QImage::Format_RGB32));

  // A picture that went missing, or never decoded, leaves plain black, as a layer's does.
  form_.SetPicture("data/e01.rgd", true);
  QImage black(640, 400, QImage::Format_RGB32);
  black.fill(Qt::black);
  EXPECT_EQ(painter_.Render(form_), black);
  game_.WriteBytes("data/e02.rgd", "GIF89a but not really");
  form_.SetPicture("data/e02.rgd", false);
  EXPECT_EQ(painter_.Render(form_), black);
}

TEST_F(StagePainterTest, DoubleScaleKeepsTheLayout) {
  ShowStory();
  form_.lbl1[0]->SetCaption("文字は出力の解像度で描かれ、折り返しはどの倍率でも同じになる。そうでなければ困る。");
  form_.lbl1[3]->SetCaption("三行目");
  const QImage single = painter_.Render(form_, 1);
  const QImage twice = painter_.Render(form_, 2);
  ASSERT_EQ(twice.size(), QSize(1280, 800));
  // Brought down to half the small size, both must agree: the glyphs' edges, drawn sharper at twice the size, even
  // out there, while a glyph or line one stage pixel off still shows (well over a hundred pixels).
  const auto half = [](const QImage& image) {
    return image.scaled(320, 200, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  };
  const ImageDifference difference = Compare(half(single), half(twice), 96);
  EXPECT_LT(difference.differing, 50) << difference.differing;
  // A line that runs past the label's right edge wraps, and the wrapped part stays hidden inside the label's 33
  // pixels at both sizes: nothing is drawn below line 0 before line 3.
  for (int y = 42; y < 100; ++y) EXPECT_EQ(single.pixel(100, y), qRgb(0, 0, 0)) << y;
}

// A display of two device pixels to a logical one (a high-density screen) shows the stage as drawn at twice the
// size: text at the device's resolution, glyph by glyph on its device pixels.
TEST_F(StagePainterTest, HighDensityDisplayShowsTheStageAtTwiceTheSize) {
  ShowStory();
  form_.lbl1[0]->SetCaption("文字は出力の解像度で描かれる。");
  form_.lbl1[1]->SetCaption("Latin text, kerned: AV WA To.");
  QImage dense(1280, 800, QImage::Format_RGB32);
  dense.setDevicePixelRatio(2);
  dense.fill(Qt::black);
  QPainter painter(&dense);
  painter_.Paint(form_, painter, QRectF(0, 0, 640, 400));
  painter.end();
  dense.setDevicePixelRatio(1);
  EXPECT_EQ(dense, painter_.Render(form_, 2));
}

TEST_F(StagePainterTest, NoLineStartsWithClosingPunctuation) {
  ShowTitle();
  // The preview box holds 21 characters a line at 12 pixels: the 22nd, a full stop, would begin the second line.
  std::string text;
  for (int i = 0; i < 21; ++i) text += "海";
  Place(form_.lblMLT[6], (text + "。」").c_str(), {29, 128, 255, 174}, kWhite, 9);
  const QImage image = painter_.Render(form_);
  const auto ink = [&](int left, int top, int width) {
    int count = 0;
    for (int y = top; y < top + 12; ++y) {
      for (int x = left; x < left + width; ++x) count += qGray(image.pixel(x, y)) > 128 ? 1 : 0;
    }
    return count;
  };
  // A glyph of 海 lights dozens of pixels of its cell; an edge bleeding in from a neighbour, a few at most.
  EXPECT_LT(ink(29 + 20 * 12, 128, 12), 5) << "the 21st character went down with the punctuation";
  EXPECT_GT(ink(29, 128 + 13, 12), 20) << "the second line begins with that character, not with 。";
  EXPECT_GT(ink(29 + 19 * 12, 128, 12), 20) << "the first line keeps the other twenty";

  // Twenty-one characters, as many as the box was measured for, stay on their line though our font's are a
  // little wider than twelve pixels: narrowed a trifle, not wrapped.
  text.resize(text.size() - 3);
  Place(form_.lblMLT[6], (text + "。").c_str(), {29, 128, 255, 174}, kWhite, 9);
  const QImage full_line = painter_.Render(form_);
  form_.lblMLT[6]->SetCaption("");
  const QImage empty_box = painter_.Render(form_);
  EXPECT_EQ(full_line.copy(29, 128 + 13, 255, 13), empty_box.copy(29, 128 + 13, 255, 13))
      << "nothing wraps onto the second line";
}

// A line of bold a few per cent too long for its label is narrowed glyph and all, bold and all: every glyph keeps
// its second stroke, wherever its narrowed place falls between two device pixels.
TEST_F(StagePainterTest, ANarrowedBoldLineKeepsItsBold) {
  ShowStory();
  std::string line;
  for (int i = 0; i < 24; ++i) line += "口";
  form_.lbl1[0]->SetCaption(line);
  const QImage image = painter_.Render(form_);
  const int width = form_.lbl1[0]->bounds().width;
  const auto lit = [&](int glyph) {
    int count = 0;
    for (int y = 8; y < 41; ++y) {
      for (int x = 16 + glyph * width / 24; x < 16 + (glyph + 1) * width / 24; ++x) {
        count += qGray(image.pixel(x, y)) > 128 ? 1 : 0;
      }
    }
    return count;
  };
  // The same glyph on whole pixels each time: the same ink each time.
  for (int glyph = 1; glyph < 24; ++glyph) EXPECT_EQ(lit(glyph), lit(0)) << "glyph " << glyph;
}

// A repaint of a part of the stage (a typed character) shows the picture the rest of it shows, even when the file
// has been replaced since; the next drawing of the whole stage shows the new picture.
TEST_F(StagePainterTest, PartOfTheStageShowsThePictureTheRestShows) {
  ShowTitle();
  const QImage shown = painter_.Render(form_);
  game_.WritePicture("data/op01.rgd", ColourPicture(), "PNG");
  QImage repainted = shown;
  QPainter painter(&repainted);
  painter.setClipRect(QRect(0, 0, 40, 40));
  painter_.Paint(form_, painter, QRectF(repainted.rect()), QRectF(0, 0, 40, 40));
  painter.end();
  EXPECT_EQ(repainted, shown);
  EXPECT_NE(painter_.Render(form_).copy(0, 0, 40, 40), shown.copy(0, 0, 40, 40));
}

// The stage lies below the menu bar in its window: drawn there, it is the screenshot's pixels all the same.
TEST_F(StagePainterTest, WindowDrawsTheSamePixelsAsTheScreenshot) {
  ShowTitle();
  form_.lblMLT[5]->SetVisible(true);
  QWidget window;
  window.resize(640, 421);
  StageWidget stage(form_, painter_, &window);
  stage.setGeometry(0, 21, 640, 400);
  const QImage drawn = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(drawn.copy(0, 21, 640, 400), painter_.Render(form_));
}

}  // namespace
}  // namespace shiori::test
