#include "Backdrops.h"

#include <QLinearGradient>
#include <QPolygonF>
#include <cmath>

namespace shiori::demo {

namespace {

QColor Alpha(QColor color, int alpha) {
  color.setAlpha(alpha);
  return color;
}

void SkyAndSea(QPainter& p, const Lighting& light, Rng& rng, double horizon) {
  DrawSky(p, light, horizon);
  DrawSea(p, rng, light, horizon, kHeight);
}

void SeaTown(QPainter& p, const Lighting& light, Rng& rng) {
  SkyAndSea(p, light, rng, 205);
  DrawRidge(p, rng, 206, 26, Mix(light.land, light.sky_horizon, 0.55), 360, 620, 207);
  DrawRidge(p, rng, 230, 70, Mix(light.land, light.sky_horizon, 0.35), -20, 300);
  DrawTown(p, rng, light, 250, 0.22, 26);
  DrawPoleWires(p, light.land, 70, 300, 90);
}

void Station(QPainter& p, const Lighting& light, Rng& rng) {
  SkyAndSea(p, light, rng, 235);
  DrawRidge(p, rng, 236, 30, Mix(light.land, light.sky_horizon, 0.5), 0, 260, 237);
  // Fence and tracks beyond the platform.
  p.fillRect(QRectF(0, 282, kWidth, 58), Mix(light.land, light.sea_near, 0.3));
  p.setPen(QPen(Mix(light.land, light.glint, 0.45), 1.5));
  for (const double y : {300.0, 312.0, 324.0, 334.0}) p.drawLine(QPointF(0, y), QPointF(kWidth, y));
  p.setPen(QPen(light.land, 2));
  for (double x = 6; x < kWidth; x += 22) p.drawLine(QPointF(x, 264), QPointF(x, 284));
  p.drawLine(QPointF(0, 266), QPointF(kWidth, 266));
  // Platform with its yellow edge.
  FillVertical(p, QRectF(0, 340, kWidth, 60),
               {{0.0, Mix(light.land, light.sky_horizon, 0.45)}, {1.0, Mix(light.land, light.sky_mid, 0.15)}});
  p.fillRect(QRectF(0, 340, kWidth, 7), Mix(QColor(230, 190, 60), light.land, 0.45));
  // Roof and pillars.
  p.setPen(Qt::NoPen);
  p.setBrush(light.land);
  p.drawRect(QRectF(0, 0, kWidth, 34));
  p.drawPolygon(QPolygonF{QPointF(0, 34), QPointF(kWidth, 34), QPointF(kWidth, 44), QPointF(0, 52)});
  for (const double x : {70.0, 560.0}) p.drawRect(QRectF(x, 40, 12, 310));
  // The station name board hangs from the roof.
  p.setPen(QPen(light.land, 2));
  p.drawLine(QPointF(250, 44), QPointF(250, 70));
  p.drawLine(QPointF(390, 44), QPointF(390, 70));
  const QRectF board(225, 70, 190, 52);
  p.setPen(Qt::NoPen);
  p.setBrush(Mix(QColor(225, 228, 232), light.land, 0.5));  // not the brightest thing under the text
  p.drawRoundedRect(board, 4, 4);
  p.fillRect(QRectF(board.left(), board.bottom() - 12, board.width(), 6), Mix(QColor(40, 90, 170), light.land, 0.4));
  DrawText(p, board.adjusted(0, 2, 0, -18), QStringLiteral("しおみ"), 22, Mix(QColor(30, 30, 40), light.land, 0.3),
           Qt::AlignCenter, true, 6);
  DrawText(p, QRectF(board.left(), board.bottom() - 24, board.width(), 12), QStringLiteral("SHIOMI"), 9,
           Mix(QColor(60, 60, 70), light.land, 0.3));
  // A bench.
  p.setBrush(light.land);
  p.drawRect(QRectF(430, 352, 90, 8));
  p.drawRect(QRectF(436, 360, 6, 24));
  p.drawRect(QRectF(508, 360, 6, 24));
  p.drawRect(QRectF(430, 336, 90, 6));
  DrawGlow(p, QPointF(320, 40), 140, Alpha(light.window, light.lit_fraction > 0.2 ? 60 : 0));
}

void WindowView(QPainter& p, const Lighting& light, Rng& rng, const QRectF& pane) {
  p.save();
  p.setClipRect(pane);
  p.translate(pane.left(), pane.top());
  p.scale(pane.width() / kWidth, pane.height() / kHeight * 1.6);
  SkyAndSea(p, light, rng, 200);
  p.restore();
}

void Classroom(QPainter& p, const Lighting& light, Rng& rng) {
  const QColor wall = Mix(QColor(214, 196, 168), light.land, 0.45);
  FillVertical(p, QRectF(0, 0, kWidth, kHeight), {{0.0, wall.darker(120)}, {1.0, wall.darker(160)}});
  for (int i = 0; i < 3; ++i) {
    const QRectF pane(20 + i * 120, 40, 110, 190);
    WindowView(p, light, rng, pane);
    p.setPen(QPen(wall.darker(140), 5));
    p.setBrush(Qt::NoBrush);
    p.drawRect(pane);
    p.drawLine(QPointF(pane.left(), pane.center().y()), QPointF(pane.right(), pane.center().y()));
  }
  // Light falling across the floor.
  p.setPen(Qt::NoPen);
  for (int i = 0; i < 3; ++i) {
    QLinearGradient beam(QPointF(0, 230), QPointF(0, 400));
    beam.setColorAt(0, Alpha(light.sun_color.isValid() ? light.sun_color : QColor(255, 250, 230), 70));
    beam.setColorAt(1, Alpha(light.sun_color.isValid() ? light.sun_color : QColor(255, 250, 230), 0));
    p.setBrush(beam);
    const double x = 20 + i * 120;
    p.drawPolygon(QPolygonF{QPointF(x, 230), QPointF(x + 110, 230), QPointF(x + 230, 400), QPointF(x + 100, 400)});
  }
  // Blackboard with a line of chalk.
  const QRectF board(400, 60, 230, 130);
  p.fillRect(board.adjusted(-6, -6, 6, 6), QColor(90, 70, 50).darker(140));
  p.fillRect(board, Mix(QColor(40, 80, 60), light.land, 0.35));
  DrawText(p, board.adjusted(10, 10, -10, -60), QStringLiteral("夏期講習　三日目"), 20, QColor(230, 230, 220, 200),
           Qt::AlignLeft | Qt::AlignTop);
  DrawText(p, board.adjusted(10, 50, -10, -10), QStringLiteral("潮の満ち引きと月"), 16, QColor(230, 230, 220, 160),
           Qt::AlignLeft | Qt::AlignTop);
  // Desks.
  const QColor desk = Mix(QColor(120, 90, 60), light.land, 0.6);
  for (int row = 0; row < 3; ++row) {
    const double y = 270 + row * 45;
    const double size = 1.0 + row * 0.35;
    for (int col = 0; col < 5; ++col) {
      const double x = 40 + col * 130 * size - row * 60;
      p.fillRect(QRectF(x, y, 80 * size, 10 * size), desk);
      p.fillRect(QRectF(x + 6, y, 5 * size, 60), desk.darker(130));
      p.fillRect(QRectF(x + 80 * size - 10, y, 5 * size, 60), desk.darker(130));
    }
  }
}

void Beach(QPainter& p, const Lighting& light, Rng& rng) {
  SkyAndSea(p, light, rng, 190);
  const QColor sand = Mix(QColor(236, 214, 170), light.land, 0.35);
  QPolygonF shore;
  shore << QPointF(0, kHeight);
  for (double x = 0; x <= kWidth; x += 8) shore << QPointF(x, 300 + 14 * std::sin(x * 0.012) + 6 * std::sin(x * 0.05));
  shore << QPointF(kWidth, kHeight);
  p.setPen(Qt::NoPen);
  QLinearGradient sand_shade(QPointF(0, 290), QPointF(0, 400));
  sand_shade.setColorAt(0, sand.darker(115));
  sand_shade.setColorAt(1, sand);
  p.setBrush(sand_shade);
  p.drawPolygon(shore);
  p.setBrush(Qt::NoBrush);
  for (int k = 0; k < 3; ++k) {
    QPainterPath foam;
    foam.moveTo(0, 296 - k * 10);
    for (double x = 0; x <= kWidth; x += 8)
      foam.lineTo(x, 296 - k * 10 + 14 * std::sin(x * 0.012 + k) + 3 * std::sin(x * 0.09));
    p.setPen(QPen(QColor(255, 255, 255, 150 - k * 40), 2.5 - k * 0.6));
    p.drawPath(foam);
  }
  // A parasol.
  p.setPen(QPen(light.land, 3));
  p.drawLine(QPointF(520, 370), QPointF(500, 270));
  p.setPen(Qt::NoPen);
  p.setBrush(Mix(QColor(230, 90, 80), light.land, 0.35));
  QPainterPath top;
  top.moveTo(430, 290);
  top.quadTo(500, 220, 575, 262);
  top.closeSubpath();
  p.drawPath(top);
  p.setBrush(QColor(0, 0, 0, 40));
  p.drawEllipse(QPointF(500, 372), 70, 10);
}

void Lighthouse(QPainter& p, const Lighting& light, Rng& rng) {
  SkyAndSea(p, light, rng, 240);
  DrawRidge(p, rng, 240, 20, Mix(light.land, light.sky_horizon, 0.5), 0, 200, 241);
  QPolygonF cape{QPointF(300, kHeight), QPointF(360, 300),    QPointF(420, 270),
                 QPointF(520, 255),     QPointF(kWidth, 250), QPointF(kWidth, kHeight)};
  p.setPen(Qt::NoPen);
  p.setBrush(light.land);
  p.drawPolygon(cape);
  DrawLighthouse(p, light, QPointF(520, 258), 170, light.lit_fraction > 0.2);
}

void StarryHill(QPainter& p, const Lighting& light, Rng& rng) {
  SkyAndSea(p, light, rng, 270);
  QPolygonF hill;
  hill << QPointF(0, kHeight);
  for (double x = 0; x <= kWidth; x += 6)
    hill << QPointF(x, 320 - 40 * std::sin(x / kWidth * 3.1) + rng.Uniform(-2, 2));
  hill << QPointF(kWidth, kHeight);
  p.setPen(Qt::NoPen);
  p.setBrush(light.land);
  p.drawPolygon(hill);
  p.setPen(QPen(light.land, 1.3));
  for (int i = 0; i < 160; ++i) {
    const double x = rng.Uniform(0, kWidth);
    const double y = 322 - 40 * std::sin(x / kWidth * 3.1);
    p.drawLine(QPointF(x, y), QPointF(x + rng.Uniform(-4, 4), y - rng.Uniform(4, 14)));
  }
}

void Festival(QPainter& p, const Lighting& light, Rng& rng) {
  DrawSky(p, light, 260);
  p.fillRect(QRectF(0, 230, kWidth, 170), Mix(light.land, QColor(60, 30, 20), 0.3));
  // Stalls on both sides, their awnings warm with light.
  for (int side = 0; side < 2; ++side) {
    for (int i = 0; i < 4; ++i) {
      const double scale = 1.0 - i * 0.2;
      const double w = 150 * scale;
      const double x = side == 0 ? -20 + i * 95 : kWidth + 20 - i * 95 - w;
      const double top = 200 + i * 14;
      p.setPen(Qt::NoPen);
      p.setBrush(Mix(light.land, QColor(40, 20, 15), 0.3));
      p.drawRect(QRectF(x, top, w, kHeight - top));
      QLinearGradient awning(QPointF(0, top - 26 * scale), QPointF(0, top));
      awning.setColorAt(0, QColor(230, 90, 60));
      awning.setColorAt(1, QColor(140, 40, 40));
      p.setBrush(awning);
      p.drawRect(QRectF(x - 4, top - 26 * scale, w + 8, 26 * scale));
      DrawGlow(p, QPointF(x + w / 2, top + 30 * scale), 90 * scale, QColor(255, 190, 110, 110));
    }
  }
  DrawLanternString(p, rng, QPointF(-10, 60), QPointF(650, 90), 40, 11, 11);
  DrawLanternString(p, rng, QPointF(-10, 140), QPointF(650, 120), 30, 14, 8);
  // A crowd, far and small.
  for (int i = 0; i < 14; ++i) {
    Figure f{i % 3 == 0 ? Hair::kShortBoy : (i % 3 == 1 ? Hair::kBob : Hair::kPonytail),
             Pose::kStanding,
             Prop::kNone,
             QPointF(rng.Uniform(160, 480), rng.Uniform(330, 360)),
             rng.Uniform(70, 95),
             i % 2 == 0,
             0};
    DrawFigure(p, f, Mix(light.land, QColor(0, 0, 0), 0.4), QColor(255, 170, 100, 160), QPointF(0, -1));
  }
}

void Shrine(QPainter& p, const Lighting& light, Rng& rng) {
  DrawSky(p, light, 250);
  // Trees on both sides.
  p.setPen(Qt::NoPen);
  for (int side = 0; side < 2; ++side) {
    for (int i = 0; i < 22; ++i) {
      const double x = side == 0 ? rng.Uniform(-40, 190) : rng.Uniform(450, 680);
      const double r = rng.Uniform(30, 70);
      p.setBrush(Mix(light.land, light.sky_mid, rng.Uniform(0, 0.15)));
      p.drawEllipse(QPointF(x, rng.Uniform(20, 260)), r, r * 0.85);
    }
    p.setBrush(light.land);
    p.drawRect(QRectF(side == 0 ? 0 : 470, 100, 170, 300));
  }
  // Stone steps narrowing towards the gate.
  const QColor stone = Mix(QColor(150, 140, 130), light.land, 0.55);
  for (int i = 0; i < 14; ++i) {
    const double t = i / 13.0;
    const double y = kHeight - t * 190;
    const double half = 190 - t * 120;
    p.setBrush(i % 2 == 0 ? stone : stone.darker(115));
    p.drawRect(QRectF(320 - half, y - 14 + t * 4, half * 2, 14 - t * 4));
  }
  DrawTorii(p, QPointF(320, 212), 110, Mix(QColor(190, 50, 40), light.land, 0.55));
  for (const double x : {150.0, 490.0}) {
    p.setBrush(light.land);
    p.drawRect(QRectF(x - 4, 300, 8, 70));
    DrawLantern(p, QPointF(x, 290), 12, QColor(250, 170, 90));
  }
}

void RainStreet(QPainter& p, const Lighting& light, Rng& rng) {
  DrawSky(p, light, 240);
  DrawTown(p, rng, light, 220, 0.0, 40);
  FillVertical(p, QRectF(0, 290, kWidth, 110), {{0.0, light.land.lighter(130)}, {1.0, light.land}});
  // Reflections of lamps in the wet road.
  for (const double x : {120.0, 430.0}) {
    p.fillRect(QRectF(x - 3, 120, 6, 180), light.land.darker(130));
    DrawGlow(p, QPointF(x, 118), 70, QColor(255, 220, 160, 150));
    p.setPen(Qt::NoPen);
    for (int k = 0; k < 12; ++k) {
      p.setBrush(QColor(255, 220, 160, 60 - k * 4));
      p.drawRect(QRectF(x - 10 + rng.Uniform(-4, 4), 300 + k * 8, 20, 3));
    }
  }
  // The bus stop shelter.
  p.setPen(Qt::NoPen);
  p.setBrush(Mix(light.land, QColor(80, 100, 120), 0.3));
  p.drawRect(QRectF(240, 170, 170, 10));
  p.drawRect(QRectF(250, 180, 6, 120));
  p.drawRect(QRectF(396, 180, 6, 120));
  p.setBrush(QColor(200, 220, 240, 40));
  p.drawRect(QRectF(256, 180, 140, 110));
  p.setBrush(light.land.darker(120));
  p.drawRect(QRectF(560, 190, 5, 110));
  p.drawEllipse(QPointF(562, 186), 16, 16);
  DrawRain(p, rng, 520, 0.45);
}

void Room(QPainter& p, const Lighting& light, Rng& rng) {
  const QColor wall = Mix(QColor(70, 70, 100), light.land, 0.55);
  p.fillRect(QRectF(0, 0, kWidth, kHeight), wall);
  const QRectF pane(170, 50, 300, 220);
  WindowView(p, light, rng, pane);
  p.save();
  p.setClipRect(pane);
  DrawTown(p, rng, light, 262, 0.0, 22);
  p.restore();
  p.setPen(QPen(wall.darker(150), 8));
  p.setBrush(Qt::NoBrush);
  p.drawRect(pane);
  p.drawLine(QPointF(pane.center().x(), pane.top()), QPointF(pane.center().x(), pane.bottom()));
  // Curtains.
  p.setPen(Qt::NoPen);
  for (const double x : {130.0, 430.0}) {
    QLinearGradient folds(QPointF(x, 0), QPointF(x + 80, 0));
    for (int i = 0; i <= 4; ++i) folds.setColorAt(i / 4.0, i % 2 == 0 ? wall.lighter(115) : wall.darker(125));
    p.setBrush(folds);
    p.drawRect(QRectF(x, 30, 80, 280));
  }
  p.fillRect(QRectF(0, 300, kWidth, 100), wall.darker(170));
  p.fillRect(QRectF(60, 300, 220, 14), wall.darker(220));
  DrawGlow(p, QPointF(90, 270), 110, QColor(255, 210, 150, 120));
  p.setBrush(QColor(30, 25, 25));
  p.drawPolygon(QPolygonF{QPointF(70, 275), QPointF(110, 275), QPointF(100, 250), QPointF(80, 250)});
  p.drawRect(QRectF(88, 275, 4, 25));
}

void Harbor(QPainter& p, const Lighting& light, Rng& rng) {
  SkyAndSea(p, light, rng, 215);
  DrawRidge(p, rng, 216, 40, Mix(light.land, light.sky_horizon, 0.55), 0, 640, 217);
  p.setPen(Qt::NoPen);
  p.setBrush(light.land);
  p.drawRect(QRectF(0, 320, 260, 80));
  p.drawRect(QRectF(380, 300, 260, 20));
  for (int i = 0; i < 3; ++i) {
    const double x = 290 + i * 110;
    const double y = 280 + i * 18;
    QPolygonF hull{QPointF(x, y), QPointF(x + 90, y), QPointF(x + 78, y + 16), QPointF(x + 8, y + 16)};
    p.drawPolygon(hull);
    p.drawRect(QRectF(x + 30, y - 18, 26, 18));
    p.setPen(QPen(light.land, 2));
    p.drawLine(QPointF(x + 60, y), QPointF(x + 60, y - 60));
    p.drawLine(QPointF(x + 60, y - 60), QPointF(x + 90, y - 10));
    p.setPen(Qt::NoPen);
  }
  p.setPen(QPen(light.land, 1.6));
  for (int i = 0; i < 5; ++i) {
    const QPointF g(rng.Uniform(80, 560), rng.Uniform(60, 160));
    const double s = rng.Uniform(5, 10);
    QPainterPath gull;
    gull.moveTo(g - QPointF(s, 0));
    gull.quadTo(g - QPointF(s / 2, s / 2), g);
    gull.quadTo(g + QPointF(s / 2, -s / 2), g + QPointF(s, 0));
    p.drawPath(gull);
  }
  FillVertical(p, QRectF(0, 190, kWidth, 60),
               {{0, QColor(255, 255, 255, 0)}, {0.5, QColor(255, 250, 240, 50)}, {1, QColor(255, 255, 255, 0)}});
}

void Fireworks(QPainter& p, const Lighting& light, Rng& rng) {
  SkyAndSea(p, light, rng, 270);
  const QColor colors[] = {QColor(255, 140, 90), QColor(140, 200, 255), QColor(255, 220, 120), QColor(220, 140, 255)};
  for (int i = 0; i < 4; ++i) {
    const QPointF centre(100 + i * 140 + rng.Uniform(-30, 30), rng.Uniform(70, 160));
    DrawFirework(p, rng, centre, rng.Uniform(50, 85), colors[i]);
    DrawGlow(p, QPointF(centre.x(), 300), 60, QColor(colors[i].red(), colors[i].green(), colors[i].blue(), 50));
  }
  QPolygonF shore{QPointF(0, kHeight), QPointF(0, 350), QPointF(640, 360), QPointF(kWidth, kHeight)};
  p.setPen(Qt::NoPen);
  p.setBrush(light.land);
  p.drawPolygon(shore);
}

void SeasideTrain(QPainter& p, const Lighting& light, Rng& rng) {
  SkyAndSea(p, light, rng, 230);
  DrawRidge(p, rng, 232, 28, Mix(light.land, light.sky_horizon, 0.5), 300, 640, 233);
  p.setPen(Qt::NoPen);
  p.setBrush(light.land);
  p.drawRect(QRectF(0, 318, kWidth, 82));
  p.setPen(QPen(light.land, 2));
  for (double x = 0; x < kWidth; x += 40) p.drawLine(QPointF(x, 318), QPointF(x + 20, 300));
  p.drawLine(QPointF(0, 300), QPointF(kWidth, 300));
  DrawTrain(p, light, 120, 314, 120, 3);
  DrawPoleWires(p, light.land, 150, 260, 40);
}

void SunflowerHill(QPainter& p, const Lighting& light, Rng& rng) {
  SkyAndSea(p, light, rng, 215);
  DrawRidge(p, rng, 260, 70, Mix(QColor(70, 130, 60), light.land, 0.4), -20, 660);
  for (int i = 0; i < 40; ++i) {
    const double depth = rng.Uniform();
    DrawSunflower(p, QPointF(rng.Uniform(-20, 660), 250 + depth * 110), 5 + depth * 16, 0.25 * (1 - depth));
  }
  for (int i = 0; i < 7; ++i) DrawSunflower(p, QPointF(rng.Uniform(-10, 650), rng.Uniform(330, 390)), 26, 0.05);
}

void Library(QPainter& p, const Lighting& light, Rng& rng) {
  const QColor wood = Mix(QColor(110, 80, 55), light.land, 0.5);
  p.fillRect(QRectF(0, 0, kWidth, kHeight), wood.darker(160));
  const QRectF pane(420, 40, 180, 220);
  WindowView(p, light, rng, pane);
  p.setPen(QPen(wood.darker(140), 6));
  p.setBrush(Qt::NoBrush);
  p.drawRect(pane);
  const QColor spines[] = {QColor(150, 60, 50), QColor(60, 90, 130), QColor(70, 110, 70), QColor(170, 140, 80),
                           QColor(110, 80, 120)};
  for (int shelf = 0; shelf < 6; ++shelf) {
    const double y = 30 + shelf * 60;
    p.fillRect(QRectF(20, y + 50, 370, 8), wood);
    double x = 24;
    while (x < 380) {
      const double w = rng.Uniform(7, 15);
      const double h = rng.Uniform(34, 48);
      p.fillRect(QRectF(x, y + 50 - h, w - 1, h), Mix(spines[rng.Int(0, 4)], light.land, 0.45));
      x += w;
    }
  }
  QLinearGradient beam(QPointF(420, 260), QPointF(200, 400));
  beam.setColorAt(0, QColor(255, 240, 200, 60));
  beam.setColorAt(1, QColor(255, 240, 200, 0));
  p.setPen(Qt::NoPen);
  p.setBrush(beam);
  p.drawPolygon(QPolygonF{QPointF(420, 40), QPointF(600, 40), QPointF(420, 400), QPointF(150, 400)});
}

void Seawall(QPainter& p, const Lighting& light, Rng& rng) {
  SkyAndSea(p, light, rng, 225);
  DrawRidge(p, rng, 226, 24, Mix(light.land, light.sky_horizon, 0.5), 0, 220, 227);
  DrawLighthouse(p, light, QPointF(600, 226), 60, light.lit_fraction > 0.2);
  p.setPen(Qt::NoPen);
  FillVertical(p, QRectF(0, 340, kWidth, 60),
               {{0.0, Mix(light.land, light.sky_horizon, 0.35)}, {0.15, light.land}, {1.0, light.land}});
}

}  // namespace

void PaintBackdrop(QPainter& p, Backdrop backdrop, const Lighting& light, Rng& rng) {
  using Painter = void (*)(QPainter&, const Lighting&, Rng&);
  static constexpr Painter kPainters[] = {SeaTown,      Station,       Classroom,  Beach,  Lighthouse, StarryHill,
                                          Festival,     Shrine,        RainStreet, Room,   Harbor,     Fireworks,
                                          SeasideTrain, SunflowerHill, Library,    Seawall};
  p.save();
  kPainters[static_cast<int>(backdrop)](p, light, rng);
  p.restore();
}

}  // namespace shiori::demo
