#include <gtest/gtest.h>

#include <QTest>
#include <vector>

#include "StageFixture.h"
#include "qt/PictureCache.h"
#include "qt/StageGeometry.h"
#include "qt/StagePlayer.h"
#include "qt/StageWidget.h"

namespace shiori::test {
namespace {

TEST(StageGeometry, FitsTheStageAndLetterBoxesTheRest) {
  EXPECT_EQ(FitStage(QSizeF(640, 400), 1), QRectF(0, 0, 640, 400));
  EXPECT_EQ(FitStage(QSizeF(1280, 800), 1), QRectF(0, 0, 1280, 800));
  // Too wide: bars left and right. Too tall: bars above and below.
  EXPECT_EQ(FitStage(QSizeF(1400, 800), 1), QRectF(60, 0, 1280, 800));
  EXPECT_EQ(FitStage(QSizeF(640, 500), 1), QRectF(0, 50, 640, 400));
  // Edges on whole device pixels at a fractional device pixel ratio.
  const QRectF odd = FitStage(QSizeF(1001, 700), 1.5);
  for (qreal edge : {odd.left(), odd.top(), odd.width(), odd.height()}) {
    EXPECT_DOUBLE_EQ(edge * 1.5, std::round(edge * 1.5)) << edge;
  }
  EXPECT_TRUE(FitStage(QSizeF(0, 0), 1).isEmpty());
}

TEST(StageGeometry, MapsWindowPointsBackToStagePixels) {
  const QRectF boxed(60, 0, 1280, 800);  // scale 2 with bars 60 pixels wide
  EXPECT_EQ(ToStagePixel(boxed, QPointF(60, 0)), QPoint(0, 0));
  EXPECT_EQ(ToStagePixel(boxed, QPointF(61.9, 1.9)), QPoint(0, 0));
  EXPECT_EQ(ToStagePixel(boxed, QPointF(62, 2)), QPoint(1, 1));
  EXPECT_EQ(ToStagePixel(boxed, QPointF(60 + 2 * 352 + 1, 2 * 252 + 1)), QPoint(352, 252));
  EXPECT_EQ(ToStagePixel(boxed, QPointF(1339.9, 799.9)), QPoint(639, 399));
  // The bars and anything outside belong to no stage pixel.
  for (QPointF outside : {QPointF(59.9, 10), QPointF(1340, 10), QPointF(100, 800), QPointF(100, -0.1)}) {
    EXPECT_FALSE(ToStagePixel(boxed, outside).has_value()) << outside.x() << "," << outside.y();
  }
  // A fractional scale (full screen on an odd display) still lands inside the stage.
  const QRectF wide = FitStage(QSizeF(1366, 768), 1);
  EXPECT_EQ(ToStagePixel(wide, wide.bottomRight() - QPointF(0.01, 0.01)), QPoint(639, 399));
  // Repainting a stage rectangle covers every window pixel it touches.
  EXPECT_TRUE(FromStageRect(boxed, QRect(16, 8, 617, 33)).contains(QRect(92, 16, 1234, 66)));
}

TEST(StageGeometry, OpensAtTheLargestWholeScaleThatFitsComfortably) {
  const QSize chrome(16, 73);
  EXPECT_EQ(LargestStageScale(QSize(1024, 768), chrome), 1);
  EXPECT_EQ(LargestStageScale(QSize(1920, 1080), chrome), 2);
  EXPECT_EQ(LargestStageScale(QSize(1920, 1200), chrome), 2);
  EXPECT_EQ(LargestStageScale(QSize(3840, 2160), chrome), 4);
  EXPECT_EQ(LargestStageScale(QSize(800, 480), chrome), 1);  // too small for even one: still one
}

TEST(StageGeometry, PressesOnTheWidgetArriveInStagePixelsWithTheirButton) {
  TempGame game;
  PictureCache pictures;
  StagePlayer player(game.folder(), pictures, StageFontForTests());
  StageWidget stage(player);
  stage.resize(1400, 800);
  std::vector<std::pair<QPoint, int>> presses;
  stage.Pressed = [&](QPoint at, int button) { presses.emplace_back(at, button); };
  std::vector<int> notches;
  stage.Wheel = [&](int turned) { notches.push_back(turned); };

  QTest::mouseClick(&stage, Qt::LeftButton, {}, QPoint(60 + 2 * 352 + 1, 2 * 252 + 1));
  QTest::mouseClick(&stage, Qt::RightButton, {}, QPoint(60, 0));
  QTest::mouseClick(&stage, Qt::MiddleButton, {}, QPoint(1339, 799));
  QTest::mouseClick(&stage, Qt::LeftButton, {}, QPoint(30, 400));   // in the bar: nothing
  QTest::mouseClick(&stage, Qt::BackButton, {}, QPoint(300, 300));  // no such button in the story: nothing
  const std::vector<std::pair<QPoint, int>> expected = {
      {QPoint(352, 252), kLeftButton}, {QPoint(0, 0), kRightButton}, {QPoint(639, 399), kMiddleButton}};
  EXPECT_EQ(presses, expected);

  // Whole notches, down positive; a touchpad's small steps add up to a notch; turning back starts afresh.
  const auto wheel = [&](int delta) {
    QWheelEvent event(QPointF(300, 300), QPointF(300, 300), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&stage, &event);
  };
  wheel(-120);
  wheel(-40);
  wheel(-40);
  EXPECT_EQ(notches, std::vector<int>{1});
  wheel(-40);
  EXPECT_EQ(notches, (std::vector<int>{1, 1}));
  wheel(60);
  wheel(-60);
  wheel(240);
  EXPECT_EQ(notches, (std::vector<int>{1, 1, -2}));
}

}  // namespace
}  // namespace shiori::test
