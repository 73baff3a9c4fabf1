#include <gtest/gtest.h>

#include <QPainter>

#include "StageFixture.h"
#include "qt/PictureCache.h"
#include "qt/StagePlayer.h"
#include "qt/StageWidget.h"
#include "stage/StageLayout.h"

namespace shiori::test {
namespace {

// A form drawn from a game folder of test pictures, put by hand into the states the story puts it in.
class StagePlayerTest : public ::testing::Test {
 protected:
  StagePlayerTest() : form_(scheduler_), player_(game_.folder(), pictures_, StageFontForTests()) {
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
  StagePlayer player_;
  stage::StageLayout layout_;
};

TEST_F(StagePlayerTest, TitleMenuOverAPalettePicture) {
  ShowTitle();
  ExpectMatchesGolden(player_.Render(form_), "title");
}

TEST_F(StagePlayerTest, LoadMenuWithLineBreaksWrapAndBorder) {
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
  ExpectMatchesGolden(player_.Render(form_), "load_menu");
}

TEST_F(StagePlayerTest, StoryPageOverAMissingPicture) {
  ShowStory();
  const char* lines[] = {"　夕暮れの図書室には、もう誰も残っていなかった。", "「……まだ、帰らないの？」",
                         "振り返ると、貸出カウンターの向こうに彼女がいた。",
                         "ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱＲＳＴＵＶＷ"};
  for (int k = 0; k < 4; ++k) form_.lbl1[k]->SetCaption(lines[k]);
  form_.lblSANKAKU->SetCaption("▼");
  ExpectMatchesGolden(player_.Render(form_), "story");
}

TEST_F(StagePlayerTest, ChoicesOverAJpegPicture) {
  ShowStory();
  form_.Picture1.SetPicture("data/0001.rgd", false);
  Place(form_.lblSEL[0], "図書室に残って、彼女を待つ\r\n（まだ言えていないことがある）", {32, 48, 560, 60}, kWhite,
        20.25);
  Place(form_.lblSEL[1], "今日はもう帰る", {32, 128, 560, 30}, 0xFFFF80, 20.25);
  ExpectMatchesGolden(player_.Render(form_), "choices");
}

TEST_F(StagePlayerTest, SettingsScreenCoversTheOthers) {
  ShowTitle();
  form_.Picture3.SetVisible(true);
  form_.lblMOJI_N->SetFore(kWhite);
  ExpectMatchesGolden(player_.Render(form_), "settings");
}

TEST_F(StagePlayerTest, WindowPictureShowsOnlyWithEveryLayerHidden) {
  for (Layer* layer : form_.LayersBottomUp()) layer->SetVisible(false);
  ExpectMatchesGolden(player_.Render(form_), "design_background");

  form_.SetPicture("data/0001.rgd", false);
  EXPECT_EQ(player_.Render(form_), pictures_.Get(game_.dir() / "data/0001.rgd").convertToFormat(QImage::Format_RGB32));

  // A picture that went missing, or never decoded, leaves plain black, as a layer's does.
  form_.SetPicture("data/e01.rgd", true);
  QImage black(640, 400, QImage::Format_RGB32);
  black.fill(Qt::black);
  EXPECT_EQ(player_.Render(form_), black);
  game_.WriteBytes("data/e02.rgd", "GIF89a but not really");
  form_.SetPicture("data/e02.rgd", false);
  EXPECT_EQ(player_.Render(form_), black);
}

TEST_F(StagePlayerTest, DoubleScaleKeepsTheLayout) {
  ShowStory();
  form_.lbl1[0]->SetCaption("文字は出力の解像度で描かれ、折り返しはどの倍率でも同じになる。そうでなければ困る。");
  form_.lbl1[3]->SetCaption("三行目");
  const QImage single = player_.Render(form_, 1);
  const QImage twice = player_.Render(form_, 2);
  ASSERT_EQ(twice.size(), QSize(1280, 800));
  // Brought down to half the small size, both must agree: the glyphs' edges, drawn sharper at twice the size (and
  // hinted at their own size), even out there, while a line one stage pixel off stands out.
  const auto half = [](const QImage& image) {
    return image.scaled(320, 200, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  };
  const long same = Compare(half(single), half(twice), 96).differing;
  form_.lbl1[0]->SetLeft(form_.lbl1[0]->bounds().left + 1);
  const long moved = Compare(half(player_.Render(form_, 1)), half(twice), 96).differing;
  EXPECT_LT(same * 4, moved) << same << " against " << moved << " for a line one pixel off";
}

// A display of two device pixels to a logical one (a high-density screen) shows the stage as drawn at twice the
// size: text at the device's resolution, glyph by glyph on its device pixels.
TEST_F(StagePlayerTest, HighDensityDisplayShowsTheStageAtTwiceTheSize) {
  ShowStory();
  form_.lbl1[0]->SetCaption("文字は出力の解像度で描かれる。");
  form_.lbl1[1]->SetCaption("Latin text, kerned: AV WA To.");
  QImage dense(1280, 800, QImage::Format_RGB32);
  dense.setDevicePixelRatio(2);
  dense.fill(Qt::black);
  QPainter painter(&dense);
  player_.Paint(layout_.Lay(form_), painter, QRectF(0, 0, 640, 400));
  painter.end();
  dense.setDevicePixelRatio(1);
  EXPECT_EQ(dense, player_.Render(form_, 2));
}

// A line of bold a few per cent too long for its label is narrowed glyph and all, bold and all: every glyph keeps
// its second stroke, wherever its narrowed place falls between two device pixels.
TEST_F(StagePlayerTest, ANarrowedBoldLineKeepsItsBold) {
  ShowStory();
  std::string line;
  for (int i = 0; i < 24; ++i) line += "口";
  form_.lbl1[0]->SetCaption(line);
  const QImage image = player_.Render(form_);
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
TEST_F(StagePlayerTest, PartOfTheStageShowsThePictureTheRestShows) {
  ShowTitle();
  const QImage shown = player_.Render(form_);
  game_.WritePicture("data/op01.rgd", ColourPicture(), "PNG");
  QImage repainted = shown;
  QPainter painter(&repainted);
  painter.setClipRect(QRect(0, 0, 40, 40));
  player_.Paint(layout_.Lay(form_), painter, QRectF(repainted.rect()), QRectF(0, 0, 40, 40));
  painter.end();
  EXPECT_EQ(repainted, shown);
  EXPECT_NE(player_.Render(form_).copy(0, 0, 40, 40), shown.copy(0, 0, 40, 40));
}

// The stage lies below the menu bar in its window: drawn there, it is the screenshot's pixels all the same.
TEST_F(StagePlayerTest, WindowDrawsTheSamePixelsAsTheScreenshot) {
  ShowTitle();
  form_.lblMLT[5]->SetVisible(true);
  QWidget window;
  window.resize(640, 421);
  StageWidget stage(player_, &window);
  stage.setGeometry(0, 21, 640, 400);
  stage.ShowStage(form_);
  const QImage drawn = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(drawn.copy(0, 21, 640, 400), player_.Render(form_));
}

TEST_F(StagePlayerTest, TheOverlayMarksTheStageAndShowsTheHistory) {
  ShowTitle();
  Overlay marks;
  marks.focus = "lblMLT(0)";
  marks.hover = "lblMLT(1)";
  marks.indicator = "AUTO";
  marks.notice = "セーブしました";
  form_.SetOverlay(marks);
  ExpectMatchesGolden(player_.Render(form_), "overlay");

  Overlay history;
  history.backlog_open = true;
  history.backlog_lines = {"　夕暮れの図書室には、もう誰も残っていなかった。", "「……まだ、帰らないの？」", "",
                           "振り返ると、貸出カウンターの向こうに彼女がいた。"};
  history.backlog_position = 0.5;
  form_.SetOverlay(history);
  ExpectMatchesGolden(player_.Render(form_), "history");
}

// The drawing rules every shell keeps, on display lists made by hand: mostly one glyph on a black stage.
class DrawingRulesTest : public ::testing::Test {
 protected:
  static constexpr stage::Box kStage{0, 0, 640, 400};

  static stage::Item Glyph(float x, bool bold = false, float squeeze = 1, stage::Box clip = kStage) {
    return {1, kStage, stage::GlyphRun{{{U'田', x}}, 60, 27, squeeze, stage::Opaque(0xFFFFFF), bold, clip}};
  }
  QImage Render(std::vector<stage::Item> items, int scale = 1) { return player_.Render({std::move(items)}, scale); }

  // The columns and rows that hold ink.
  static QRect Ink(const QImage& image) {
    QRect ink;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        if (qGray(image.pixel(x, y)) > 0) ink |= QRect(x, y, 1, 1);
      }
    }
    return ink;
  }

  TempGame game_;
  PictureCache pictures_;
  StagePlayer player_{game_.folder(), pictures_, StageFontForTests()};
};

TEST_F(DrawingRulesTest, AGlyphsOriginLandsOnTheNearestDevicePixel) {
  EXPECT_EQ(Render({Glyph(100.4f)}), Render({Glyph(100)}));
  EXPECT_EQ(Render({Glyph(100.6f)}), Render({Glyph(101)}));
  EXPECT_NE(Render({Glyph(100)}), Render({Glyph(101)}));
  // At twice the size half a stage pixel is a whole device pixel: 100.3 and 100.5 both land on device pixel 201.
  EXPECT_EQ(Render({Glyph(100.3f)}, 2), Render({Glyph(100.5f)}, 2));
  EXPECT_NE(Render({Glyph(100.2f)}, 2), Render({Glyph(100.5f)}, 2));
}

// The font has no bold face: bold is the glyph struck twice, a whole number of device pixels apart and never none.
TEST_F(DrawingRulesTest, BoldIsTheGlyphStruckAgainWholeDevicePixelsToTheRight) {
  for (const int scale : {1, 2}) {
    const QImage bold = Render({Glyph(100, true)}, scale);
    const QImage twice = Render({Glyph(100), Glyph(101)}, scale);  // one device pixel at 1, two at 2
    const ImageDifference difference = Compare(bold, twice, 2);
    EXPECT_EQ(difference.differing, 0) << "scale " << scale;
    EXPECT_EQ(Ink(bold).width(), Ink(Render({Glyph(100)}, scale)).width() + scale) << "scale " << scale;
  }
  // On a narrowed line the second stroke is still a whole device pixel away, wherever the glyph's place falls.
  EXPECT_EQ(Ink(Render({Glyph(100.4f, true, 0.9f)})).width(), Ink(Render({Glyph(100.4f, false, 0.9f)})).width() + 1);
}

TEST_F(DrawingRulesTest, SqueezeNarrowsTheGlyphAboutItsOrigin) {
  const QRect plain = Ink(Render({Glyph(100)}));
  const QRect narrow = Ink(Render({Glyph(100, false, 0.5f)}));
  EXPECT_NEAR(narrow.width(), plain.width() / 2.0, 1.5);
  EXPECT_NEAR(narrow.left() - 100, (plain.left() - 100) / 2.0, 1.5);
  EXPECT_EQ(narrow.top(), plain.top()) << "only across";
  EXPECT_EQ(narrow.height(), plain.height());
}

TEST_F(DrawingRulesTest, NothingOfARunLeavesItsClip) {
  const stage::Box clip{105, 40, 8, 15};
  const QImage image = Render({Glyph(100, true, 1, clip)}, 2);
  const QRect ink = Ink(image);
  EXPECT_FALSE(ink.isEmpty());
  EXPECT_TRUE(QRect(210, 80, 16, 30).contains(ink))
      << ink.x() << "," << ink.y() << " " << ink.width() << "x" << ink.height();
}

TEST_F(DrawingRulesTest, APictureThatCannotBeDecodedFillsItsClipBlack) {
  game_.WriteBytes("data/0009.rgd", "BM but nothing after");
  const stage::Box clip{100, 100, 50, 40};
  const QImage image = Render({{1, kStage, stage::Fill{kStage, stage::Opaque(0xFFFFFF)}},
                               {2, clip, stage::Picture{"data/0009.rgd", {0, 0}, clip}},
                               {3, {300, 100, 10, 10}, stage::Picture{"data/0010.rgd", {0, 0}, {300, 100, 10, 10}}}});
  EXPECT_EQ(image.pixel(100, 100), qRgb(0, 0, 0));
  EXPECT_EQ(image.pixel(149, 139), qRgb(0, 0, 0));
  EXPECT_EQ(image.pixel(150, 139), qRgb(255, 255, 255));
  EXPECT_EQ(image.pixel(99, 100), qRgb(255, 255, 255));
  EXPECT_EQ(image.pixel(305, 105), qRgb(0, 0, 0)) << "a missing file, too";
}

// A thumbnail: the picture at a quarter of its size, its corner where the list puts it, at any scale.
TEST_F(DrawingRulesTest, APictureIsDrawnAtItsScaleFromItsCorner) {
  game_.WritePicture("data/0001.rgd", PalettePicture(), "BMP");
  const stage::Box clip{100, 50, 160, 100};
  const std::vector<stage::Item> items = {{1, clip, stage::Picture{"data/0001.rgd", {100, 50}, clip, 0.25f}}};
  const QImage expected = PalettePicture().convertToFormat(QImage::Format_RGB32);
  for (const int scale : {1, 2}) {
    const QImage thumbnail = Render(items, scale).copy(100 * scale, 50 * scale, 160 * scale, 100 * scale);
    const QImage wanted = expected.scaled(thumbnail.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    EXPECT_EQ(Compare(thumbnail, wanted, 8).differing, 0) << "scale " << scale;
    EXPECT_EQ(Render(items, scale).pixel(99 * scale, 49 * scale), qRgb(0, 0, 0)) << "nothing outside its clip";
  }
}

}  // namespace
}  // namespace shiori::test
