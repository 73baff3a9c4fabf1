#include "Paint.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainterPathStroker>
#include <QPolygonF>
#include <QRadialGradient>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace shiori::demo {

namespace {

constexpr double kPi = std::numbers::pi;

QColor WithAlpha(QColor color, double alpha) {
  color.setAlphaF(static_cast<float>(std::clamp(alpha, 0.0, 1.0)));
  return color;
}

QColor Lighter(const QColor& color, double t) { return Mix(color, QColor(255, 255, 255), t); }

// Smooth hills: a sum of a few sines with random phases.
double RidgeHeight(double x, const std::vector<double>& phases) {
  double y = 0;
  for (std::size_t i = 0; i < phases.size(); ++i) {
    const double frequency = 0.006 * static_cast<double>(i + 1) * static_cast<double>(i + 1);
    y += std::sin(x * frequency + phases[i]) / static_cast<double>(i + 1);
  }
  return y;
}

QPainterPath Stroke(const QPolygonF& line, double width) {
  QPainterPath path;
  path.addPolygon(line);
  QPainterPathStroker stroker;
  stroker.setWidth(width);
  stroker.setCapStyle(Qt::RoundCap);
  stroker.setJoinStyle(Qt::RoundJoin);
  return stroker.createStroke(path);
}

QPainterPath Polygon(std::initializer_list<QPointF> points) {
  QPainterPath path;
  path.addPolygon(QPolygonF(points));
  path.closeSubpath();
  return path;
}

}  // namespace

double Rng::Uniform(double lo, double hi) {
  // xorshift64*
  state_ ^= state_ >> 12;
  state_ ^= state_ << 25;
  state_ ^= state_ >> 27;
  const std::uint64_t bits = (state_ * 0x2545F4914F6CDD1DULL) >> 11;
  return lo + (hi - lo) * (static_cast<double>(bits) / static_cast<double>(1ULL << 53));
}

int Rng::Int(int lo, int hi) { return std::min(hi, lo + static_cast<int>(Uniform(0, hi - lo + 1))); }

QColor Mix(const QColor& a, const QColor& b, double t) {
  const auto lerp = [t](double x, double y) { return x + (y - x) * t; };
  return QColor::fromRgbF(
      static_cast<float>(lerp(a.redF(), b.redF())), static_cast<float>(lerp(a.greenF(), b.greenF())),
      static_cast<float>(lerp(a.blueF(), b.blueF())), static_cast<float>(lerp(a.alphaF(), b.alphaF())));
}

Lighting LightingFor(Moment moment) {
  Lighting l;
  switch (moment) {
    case Moment::kMorning:
      l = {QColor("#5f9fd8"),
           QColor("#a4cdec"),
           QColor("#f4e4cc"),
           QColor("#86b6d0"),
           QColor("#2c6a90"),
           QColor("#fff6e0"),
           QColor("#3b5567"),
           QColor("#ffe9b0"),
           0.0,
           {150, 120},
           22,
           QColor("#fff8e6")};
      break;
    case Moment::kNoon:
      l = {QColor("#2a74cf"),
           QColor("#69aee8"),
           QColor("#d3ecfa"),
           QColor("#47a0cf"),
           QColor("#115381"),
           QColor("#ffffff"),
           QColor("#2b4859"),
           QColor("#ffe9b0"),
           0.0,
           {520, 60},
           24,
           QColor("#ffffff")};
      break;
    case Moment::kAfternoon:
      l = {QColor("#3671bd"),
           QColor("#83b5dd"),
           QColor("#f5d9ab"),
           QColor("#5b95bd"),
           QColor("#1d5274"),
           QColor("#fff1cc"),
           QColor("#33485a"),
           QColor("#ffe9b0"),
           0.0,
           {540, 120},
           24,
           QColor("#fff3cf")};
      break;
    case Moment::kDusk:
      l = {QColor("#262a5c"),
           QColor("#b8567c"),
           QColor("#f6a552"),
           QColor("#d08566"),
           QColor("#2a2646"),
           QColor("#ffd49c"),
           QColor("#221a30"),
           QColor("#ffcf7a"),
           0.35,
           {430, 250},
           30,
           QColor("#ffe2a6")};
      l.stars = 25;
      break;
    case Moment::kNight:
      l = {QColor("#060a1e"),
           QColor("#131f48"),
           QColor("#2c3e70"),
           QColor("#1d2b55"),
           QColor("#050918"),
           QColor("#b8c8ff"),
           QColor("#03060e"),
           QColor("#ffd27a"),
           0.5,
           {500, 80},
           17,
           QColor("#f6f2dc")};
      l.moon = true;
      l.stars = 260;
      l.clouds = false;
      break;
    case Moment::kDeepNight:
      l = {QColor("#020309"),
           QColor("#0a1030"),
           QColor("#1c2652"),
           QColor("#141d40"),
           QColor("#02040c"),
           QColor("#9fb4ff"),
           QColor("#010205"),
           QColor("#ffd27a"),
           0.15,
           {0, 0},
           0,
           QColor()};
      l.stars = 700;
      l.clouds = false;
      break;
    case Moment::kDawn:
      l = {QColor("#26325d"),
           QColor("#8b7fa9"),
           QColor("#ffc89e"),
           QColor("#c4a2b2"),
           QColor("#283354"),
           QColor("#fff0d8"),
           QColor("#1c2135"),
           QColor("#ffe0a0"),
           0.15,
           {320, 240},
           20,
           QColor("#fff2d2")};
      l.stars = 40;
      break;
    case Moment::kRain:
      l = {QColor("#434b59"),
           QColor("#687180"),
           QColor("#8e949c"),
           QColor("#6b7782"),
           QColor("#29313b"),
           QColor("#d9dde2"),
           QColor("#262c34"),
           QColor("#ffe2a8"),
           0.3,
           {0, 0},
           0,
           QColor()};
      l.clouds = false;
      break;
  }
  return l;
}

void FillVertical(QPainter& p, const QRectF& area, std::initializer_list<std::pair<double, QColor>> stops) {
  QLinearGradient gradient(area.topLeft(), area.bottomLeft());
  for (const auto& [at, color] : stops) gradient.setColorAt(at, color);
  p.fillRect(area, gradient);
}

void DrawGlow(QPainter& p, QPointF centre, double radius, const QColor& color) {
  QRadialGradient gradient(centre, radius);
  gradient.setColorAt(0, color);
  gradient.setColorAt(0.35, WithAlpha(color, color.alphaF() * 0.35));
  gradient.setColorAt(1, WithAlpha(color, 0));
  p.setPen(Qt::NoPen);
  p.setBrush(gradient);
  p.drawEllipse(centre, radius, radius);
}

void DrawStars(QPainter& p, Rng& rng, const QRectF& area, int count, bool milky_way) {
  p.setPen(Qt::NoPen);
  if (milky_way) {
    // A faint band across the sky, from lower left to upper right.
    for (int i = 0; i < 26; ++i) {
      const double t = i / 25.0;
      const QPointF centre(area.left() + t * area.width(), area.bottom() - t * area.height() * 0.9);
      DrawGlow(p, centre + QPointF(rng.Uniform(-20, 20), rng.Uniform(-15, 15)), rng.Uniform(50, 90),
               QColor(170, 160, 230, 34));
    }
  }
  for (int i = 0; i < count; ++i) {
    QPointF at(rng.Uniform(area.left(), area.right()), rng.Uniform(area.top(), area.bottom()));
    if (milky_way && i % 2 == 0) {
      const double t = rng.Uniform();
      at = QPointF(area.left() + t * area.width() + rng.Uniform(-45, 45),
                   area.bottom() - t * area.height() * 0.9 + rng.Uniform(-35, 35));
    }
    const double fade = 1.0 - std::clamp((at.y() - area.top()) / area.height(), 0.0, 1.0) * 0.7;
    const double size = std::pow(rng.Uniform(), 6) * 1.8 + 0.45;
    const QColor tint = Mix(QColor(255, 255, 255), rng.Uniform() < 0.5 ? QColor(180, 200, 255) : QColor(255, 225, 190),
                            rng.Uniform(0, 0.6));
    p.setBrush(WithAlpha(tint, fade * rng.Uniform(0.35, 1.0)));
    p.drawEllipse(at, size, size);
    if (size > 1.6) DrawGlow(p, at, size * 5, WithAlpha(tint, 0.35 * fade));
  }
}

void DrawSky(QPainter& p, const Lighting& light, double horizon) {
  FillVertical(p, QRectF(0, 0, kWidth, horizon + 1),
               {{0.0, light.sky_top}, {0.55, light.sky_mid}, {1.0, light.sky_horizon}});
  Rng rng(static_cast<std::uint64_t>(light.sky_top.rgb()));
  if (light.stars > 0) DrawStars(p, rng, QRectF(0, 0, kWidth, horizon * 0.85), light.stars, light.stars > 500);
  if (light.sun_radius > 0) {
    const QColor halo = light.moon ? QColor(200, 210, 255, 70) : WithAlpha(light.sun_color, 0.55);
    DrawGlow(p, light.sun, light.sun_radius * (light.moon ? 5 : 7), halo);
    p.setBrush(light.sun_color);
    p.drawEllipse(light.sun, light.sun_radius, light.sun_radius);
    if (light.moon) {
      // A crescent: cover most of the disc with the sky's colour.
      p.setBrush(Mix(light.sky_top, light.sky_mid, 0.3));
      p.drawEllipse(light.sun + QPointF(light.sun_radius * 0.45, -light.sun_radius * 0.2), light.sun_radius * 0.92,
                    light.sun_radius * 0.92);
    }
  }
  if (light.clouds) DrawClouds(p, rng, light, horizon, 5);
}

void DrawClouds(QPainter& p, Rng& rng, const Lighting& light, double horizon, int count) {
  const QColor lit = Mix(light.sun_radius > 0 ? light.sun_color : QColor(255, 255, 255), light.sky_horizon, 0.25);
  const QColor shade = Mix(light.sky_mid, light.land, 0.18);
  for (int c = 0; c < count; ++c) {
    const double base = horizon - rng.Uniform(10, horizon * 0.55);
    const double width = rng.Uniform(90, 220) * (1.2 - (horizon - base) / horizon);
    const double left = rng.Uniform(-60, kWidth - 40);
    QPainterPath cloud;
    cloud.setFillRule(Qt::WindingFill);
    const int puffs = rng.Int(4, 7);
    for (int i = 0; i < puffs; ++i) {
      const double t = (i + 0.5) / puffs;
      const double r = width * (0.16 + 0.22 * std::sin(t * kPi)) * rng.Uniform(0.8, 1.15);
      cloud.addEllipse(QPointF(left + t * width, base - r * 0.55), r, r * 0.9);
    }
    QPainterPath below;
    below.addRect(left - width, base, width * 3, 400);
    cloud = cloud.subtracted(below).simplified();
    const QRectF box = cloud.boundingRect();
    QLinearGradient gradient(box.topLeft(), box.bottomLeft());
    gradient.setColorAt(0, WithAlpha(lit, 0.92));
    gradient.setColorAt(0.6, WithAlpha(Mix(lit, shade, 0.5), 0.85));
    gradient.setColorAt(1, WithAlpha(shade, 0.75));
    p.setPen(Qt::NoPen);
    p.setBrush(gradient);
    p.drawPath(cloud);
  }
}

void DrawSea(QPainter& p, Rng& rng, const Lighting& light, double horizon, double bottom) {
  FillVertical(p, QRectF(0, horizon, kWidth, bottom - horizon), {{0.0, light.sea_far}, {1.0, light.sea_near}});
  const double glint_x = light.sun_radius > 0 ? light.sun.x() : kWidth / 2.0;
  for (int i = 0; i < 420; ++i) {
    const double t = std::pow(rng.Uniform(), 1.6);
    const double y = horizon + 1 + t * (bottom - horizon);
    const double spread = 30 + t * 220;
    const bool in_path = rng.Uniform() < 0.6 && light.sun_radius > 0;
    const double x = in_path ? glint_x + rng.Uniform(-spread, spread) * 0.45 : rng.Uniform(0, kWidth);
    const double length = (4 + t * 40) * rng.Uniform(0.4, 1.0);
    const double alpha = (in_path ? 0.75 : 0.22) * (1.0 - t * 0.5) * rng.Uniform(0.3, 1.0);
    p.setPen(QPen(WithAlpha(light.glint, alpha), 0.6 + t * 1.4));
    p.drawLine(QPointF(x - length / 2, y), QPointF(x + length / 2, y));
  }
  // Darker troughs give the water some movement.
  for (int i = 0; i < 90; ++i) {
    const double t = rng.Uniform();
    const double y = horizon + 2 + t * (bottom - horizon);
    const double x = rng.Uniform(0, kWidth);
    const double length = 10 + t * 80;
    p.setPen(QPen(WithAlpha(light.sea_near, 0.35), 1 + t * 2));
    p.drawLine(QPointF(x, y), QPointF(x + length, y));
  }
}

void DrawRidge(QPainter& p, Rng& rng, double base_y, double amplitude, const QColor& color, double left, double right,
               double bottom) {
  std::vector<double> phases;
  for (int i = 0; i < 4; ++i) phases.push_back(rng.Uniform(0, 2 * kPi));
  QPolygonF shape;
  shape << QPointF(left, bottom);
  for (double x = left; x <= right + 4; x += 4) {
    const double edge = std::min(1.0, std::min(x - left, right - x) / 60.0 + 0.05);
    shape << QPointF(x, base_y - amplitude * edge * (1.2 + RidgeHeight(x, phases)) / 2.2);
  }
  shape << QPointF(right, bottom);
  p.setPen(Qt::NoPen);
  p.setBrush(color);
  p.drawPolygon(shape);
}

void DrawTown(QPainter& p, Rng& rng, const Lighting& light, double base_y, double slope, double house_size) {
  for (int row = 0; row < 2; ++row) {
    const QColor body = row == 0 ? Mix(light.land, light.sky_horizon, 0.28) : light.land;
    const double row_y = base_y + row * house_size * 0.7;
    double x = -10 + row * house_size * 0.4;
    while (x < kWidth) {
      const double w = house_size * rng.Uniform(0.8, 1.5);
      const double h = house_size * rng.Uniform(0.55, 0.9);
      const double ground = row_y + slope * x;
      const double top = ground - h;
      p.setPen(Qt::NoPen);
      p.setBrush(body);
      p.drawRect(QRectF(x, top, w, kHeight - top));
      const bool gable = rng.Uniform() < 0.7;
      if (gable) {
        p.drawPolygon(QPolygonF{QPointF(x - 3, top), QPointF(x + w / 2, top - h * 0.45), QPointF(x + w + 3, top)});
      } else {
        p.drawRect(QRectF(x - 2, top - 3, w + 4, 4));
      }
      const int windows = std::max(1, static_cast<int>(w / 12));
      for (int i = 0; i < windows; ++i) {
        if (rng.Uniform() > light.lit_fraction) continue;
        const QRectF pane(x + 4 + i * (w - 8) / windows, top + h * 0.3, std::max(3.0, w / windows - 6), h * 0.25);
        p.fillRect(pane, WithAlpha(light.window, 0.9));
        DrawGlow(p, pane.center(), pane.width() * 2.2, WithAlpha(light.window, 0.25));
      }
      x += w + rng.Uniform(1, house_size * 0.35);
    }
  }
}

void DrawPoleWires(QPainter& p, const QColor& color, double y, double spacing, double offset) {
  std::vector<QPointF> tops;
  for (double x = offset; x < kWidth + spacing; x += spacing) tops.emplace_back(x, y);
  p.setBrush(Qt::NoBrush);
  for (const QPointF& top : tops) {
    p.setPen(QPen(color, 5));
    p.drawLine(top, QPointF(top.x() + 6, kHeight));
    p.setPen(QPen(color, 3));
    p.drawLine(top + QPointF(-18, 14), top + QPointF(20, 14));
  }
  p.setPen(QPen(color, 1.2));
  for (std::size_t i = 0; i + 1 < tops.size(); ++i) {
    for (int k = -1; k <= 1; ++k) {
      QPainterPath wire;
      const QPointF a = tops[i] + QPointF(k * 15, 14);
      const QPointF b = tops[i + 1] + QPointF(k * 15, 14);
      wire.moveTo(a);
      wire.quadTo((a + b) / 2 + QPointF(0, 26 + k * 3), b);
      p.drawPath(wire);
    }
  }
}

void DrawLighthouse(QPainter& p, const Lighting& light, QPointF base, double height, bool beam) {
  const double bw = height * 0.16;
  const double tw = height * 0.10;
  const QColor wall = Mix(light.land, QColor(240, 236, 225), light.lit_fraction > 0.4 ? 0.18 : 0.55);
  const QColor stripe = Mix(light.land, QColor(190, 60, 60), light.lit_fraction > 0.4 ? 0.25 : 0.6);
  const double top = base.y() - height;
  QPolygonF tower{QPointF(base.x() - bw / 2, base.y()), QPointF(base.x() - tw / 2, top),
                  QPointF(base.x() + tw / 2, top), QPointF(base.x() + bw / 2, base.y())};
  p.setPen(Qt::NoPen);
  p.setBrush(wall);
  p.drawPolygon(tower);
  p.setBrush(stripe);
  for (int i = 1; i <= 2; ++i) {
    const double y0 = base.y() - height * (i * 0.32);
    const double y1 = y0 - height * 0.12;
    const auto half = [&](double y) { return (bw + (tw - bw) * (base.y() - y) / height) / 2; };
    p.drawPolygon(QPolygonF{QPointF(base.x() - half(y0), y0), QPointF(base.x() - half(y1), y1),
                            QPointF(base.x() + half(y1), y1), QPointF(base.x() + half(y0), y0)});
  }
  // The shadowed side.
  p.setBrush(WithAlpha(light.land, 0.35));
  p.drawPolygon(QPolygonF{QPointF(base.x() + bw * 0.1, base.y()), QPointF(base.x() + tw * 0.1, top),
                          QPointF(base.x() + tw / 2, top), QPointF(base.x() + bw / 2, base.y())});
  p.setBrush(light.land);
  p.drawRect(QRectF(base.x() - tw * 0.8, top - 3, tw * 1.6, 4));
  const QPointF lamp(base.x(), top - height * 0.08);
  p.drawRect(QRectF(base.x() - tw * 0.45, lamp.y() - height * 0.06, tw * 0.9, height * 0.12));
  p.drawPolygon(QPolygonF{QPointF(base.x() - tw * 0.55, lamp.y() - height * 0.06),
                          QPointF(base.x(), lamp.y() - height * 0.14),
                          QPointF(base.x() + tw * 0.55, lamp.y() - height * 0.06)});
  const QColor glow = beam ? QColor(255, 240, 190) : QColor(255, 230, 170, 120);
  p.setBrush(glow);
  p.drawRect(QRectF(base.x() - tw * 0.3, lamp.y() - height * 0.04, tw * 0.6, height * 0.07));
  if (!beam) return;
  DrawGlow(p, lamp, height * 0.5, QColor(255, 240, 190, 200));
  for (const double direction : {-1.0, 1.0}) {
    QLinearGradient fade(lamp, lamp + QPointF(direction * 420, 0));
    fade.setColorAt(0, QColor(255, 240, 200, 120));
    fade.setColorAt(1, QColor(255, 240, 200, 0));
    p.setBrush(fade);
    const double spread = direction > 0 ? 40 : 26;
    p.drawPolygon(
        QPolygonF{lamp, lamp + QPointF(direction * 420, -spread - 10), lamp + QPointF(direction * 420, spread)});
  }
}

void DrawLantern(QPainter& p, QPointF centre, double size, const QColor& color) {
  DrawGlow(p, centre, size * 3.2, WithAlpha(color, 0.45));
  QRadialGradient body(centre - QPointF(size * 0.2, size * 0.25), size * 1.1);
  body.setColorAt(0, Lighter(color, 0.65));
  body.setColorAt(0.6, color);
  body.setColorAt(1, color.darker(170));
  p.setPen(Qt::NoPen);
  p.setBrush(body);
  p.drawEllipse(centre, size * 0.72, size);
  p.setPen(QPen(WithAlpha(color.darker(200), 0.5), std::max(0.5, size * 0.06)));
  for (int i = -2; i <= 2; ++i) {
    const double y = centre.y() + i * size * 0.33;
    const double half = size * 0.72 * std::sqrt(std::max(0.0, 1 - std::pow(i * 0.33, 2)));
    p.drawLine(QPointF(centre.x() - half, y), QPointF(centre.x() + half, y));
  }
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(20, 14, 10));
  p.drawRect(QRectF(centre.x() - size * 0.4, centre.y() - size * 1.08, size * 0.8, size * 0.18));
  p.drawRect(QRectF(centre.x() - size * 0.4, centre.y() + size * 0.9, size * 0.8, size * 0.18));
}

void DrawLanternString(QPainter& p, Rng& rng, QPointF from, QPointF to, double sag, int count, double size) {
  const auto at = [&](double t) {
    const QPointF straight = from + (to - from) * t;
    return straight + QPointF(0, sag * 4 * t * (1 - t));
  };
  QPainterPath rope;
  rope.moveTo(from);
  rope.quadTo((from + to) / 2 + QPointF(0, sag * 2), to);
  p.setPen(QPen(QColor(20, 12, 10, 200), 1.2));
  p.setBrush(Qt::NoBrush);
  p.drawPath(rope);
  const QColor palette[] = {QColor(236, 90, 60), QColor(250, 160, 70), QColor(240, 120, 80), QColor(255, 210, 120)};
  for (int i = 0; i < count; ++i) {
    const QPointF centre = at((i + 0.5) / count) + QPointF(0, size * 1.3);
    DrawLantern(p, centre, size * rng.Uniform(0.9, 1.1), palette[rng.Int(0, 3)]);
  }
}

void DrawFirework(QPainter& p, Rng& rng, QPointF centre, double radius, const QColor& color) {
  DrawGlow(p, centre, radius * 1.3, WithAlpha(color, 0.28));
  p.setPen(Qt::NoPen);
  const int rays = 64;
  for (int i = 0; i < rays; ++i) {
    const double angle = 2 * kPi * i / rays + rng.Uniform(-0.03, 0.03);
    const double reach = radius * rng.Uniform(0.82, 1.0);
    for (int k = 1; k <= 9; ++k) {
      const double t = k / 9.0;
      const QPointF dot = centre + QPointF(std::cos(angle), std::sin(angle) + t * 0.12) * reach * t;
      p.setBrush(WithAlpha(Lighter(color, 0.5 * (1 - t)), 0.25 + 0.7 * t));
      const double size = 0.5 + 1.3 * t;
      p.drawEllipse(dot, size, size);
    }
  }
}

void DrawRain(QPainter& p, Rng& rng, int count, double alpha) {
  for (int i = 0; i < count; ++i) {
    const QPointF start(rng.Uniform(-40, kWidth), rng.Uniform(-20, kHeight));
    const double length = rng.Uniform(10, 26);
    p.setPen(QPen(QColor(220, 230, 240, static_cast<int>(255 * alpha * rng.Uniform(0.4, 1.0))), 1));
    p.drawLine(start, start + QPointF(length * 0.25, length));
  }
}

void DrawFireflies(QPainter& p, Rng& rng, const QRectF& area, int count, const QColor& color) {
  for (int i = 0; i < count; ++i) {
    const QPointF at(rng.Uniform(area.left(), area.right()), rng.Uniform(area.top(), area.bottom()));
    const double size = rng.Uniform(0.8, 2.2);
    DrawGlow(p, at, size * 6, WithAlpha(color, 0.5));
    p.setBrush(Lighter(color, 0.6));
    p.drawEllipse(at, size, size);
  }
}

void DrawPetals(QPainter& p, Rng& rng, int count, const QColor& color) {
  p.setPen(Qt::NoPen);
  for (int i = 0; i < count; ++i) {
    p.save();
    p.translate(rng.Uniform(0, kWidth), rng.Uniform(0, kHeight));
    p.rotate(rng.Uniform(0, 180));
    p.setBrush(WithAlpha(color, rng.Uniform(0.4, 0.9)));
    const double size = rng.Uniform(2, 5);
    p.drawEllipse(QPointF(0, 0), size, size * 0.5);
    p.restore();
  }
}

void DrawTorii(QPainter& p, QPointF base, double height, const QColor& color) {
  const double w = height * 1.05;
  p.setPen(Qt::NoPen);
  p.setBrush(color);
  const double pillar = height * 0.07;
  p.drawPolygon(QPolygonF{QPointF(base.x() - w * 0.33, base.y()), QPointF(base.x() - w * 0.33 + pillar, base.y()),
                          QPointF(base.x() - w * 0.30 + pillar, base.y() - height * 0.9),
                          QPointF(base.x() - w * 0.30, base.y() - height * 0.9)});
  p.drawPolygon(QPolygonF{QPointF(base.x() + w * 0.33, base.y()), QPointF(base.x() + w * 0.33 - pillar, base.y()),
                          QPointF(base.x() + w * 0.30 - pillar, base.y() - height * 0.9),
                          QPointF(base.x() + w * 0.30, base.y() - height * 0.9)});
  p.drawRect(QRectF(base.x() - w * 0.42, base.y() - height * 0.74, w * 0.84, height * 0.06));
  QPainterPath lintel;
  lintel.moveTo(base.x() - w * 0.55, base.y() - height * 1.02);
  lintel.quadTo(base.x(), base.y() - height * 0.9, base.x() + w * 0.55, base.y() - height * 1.02);
  lintel.lineTo(base.x() + w * 0.5, base.y() - height * 0.9);
  lintel.quadTo(base.x(), base.y() - height * 0.82, base.x() - w * 0.5, base.y() - height * 0.9);
  lintel.closeSubpath();
  p.drawPath(lintel);
}

void DrawSunflower(QPainter& p, QPointF centre, double radius, double shade) {
  p.setPen(QPen(Mix(QColor(70, 120, 50), QColor(20, 30, 20), shade), radius * 0.18));
  p.drawLine(centre, QPointF(centre.x() + radius * 0.2, kHeight + 10));
  p.setPen(Qt::NoPen);
  p.setBrush(Mix(QColor(80, 140, 60), QColor(20, 30, 20), shade));
  p.drawEllipse(centre + QPointF(radius * 0.6, radius * 1.9), radius * 0.7, radius * 0.28);
  const QColor petal = Mix(QColor(255, 200, 40), QColor(60, 40, 20), shade);
  p.setBrush(petal);
  for (int i = 0; i < 16; ++i) {
    p.save();
    p.translate(centre);
    p.rotate(i * 22.5);
    p.drawEllipse(QPointF(radius * 0.75, 0), radius * 0.45, radius * 0.16);
    p.restore();
  }
  p.setBrush(Mix(QColor(110, 60, 20), QColor(30, 20, 10), shade));
  p.drawEllipse(centre, radius * 0.45, radius * 0.45);
}

void DrawTrain(QPainter& p, const Lighting& light, double x, double base_y, double car_length, int cars) {
  const double h = car_length * 0.22;
  for (int c = 0; c < cars; ++c) {
    const QRectF body(x + c * (car_length + 4), base_y - h, car_length, h);
    p.setPen(Qt::NoPen);
    p.setBrush(light.land);
    p.drawRoundedRect(body, h * 0.2, h * 0.2);
    for (double wx = body.left() + 8; wx + 10 < body.right() - 4; wx += 16) {
      const QRectF pane(wx, body.top() + h * 0.22, 10, h * 0.32);
      p.fillRect(pane, WithAlpha(light.window, light.lit_fraction > 0.2 ? 0.9 : 0.35));
    }
    p.setPen(QPen(light.land, 1.5));
    p.drawLine(QPointF(body.center().x(), body.top()), QPointF(body.center().x() - 8, body.top() - h * 0.4));
    p.drawLine(QPointF(body.center().x() - 14, body.top() - h * 0.4),
               QPointF(body.center().x() + 2, body.top() - h * 0.4));
  }
}

void Dim(QPainter& p, double amount) {
  p.fillRect(QRectF(0, 0, kWidth, kHeight), QColor(0, 0, 10, static_cast<int>(255 * amount)));
}

void Vignette(QPainter& p, double strength) {
  QRadialGradient gradient(QPointF(kWidth / 2.0, kHeight / 2.0), kWidth * 0.62);
  gradient.setColorAt(0.55, QColor(0, 0, 0, 0));
  gradient.setColorAt(1.0, QColor(0, 0, 0, static_cast<int>(255 * strength)));
  p.fillRect(QRectF(0, 0, kWidth, kHeight), gradient);
}

void DrawPanel(QPainter& p, const QRectF& box, const QColor& tint, double opacity) {
  p.setPen(QPen(QColor(255, 255, 255, 90), 1));
  p.setBrush(WithAlpha(tint, opacity));
  p.drawRoundedRect(box, 6, 6);
}

void DrawText(QPainter& p, const QRectF& box, const QString& text, double pixel_size, const QColor& color, int flags,
              bool bold, int letter_spacing) {
  QFont font("WenQuanYi Zen Hei");
  font.setPixelSize(static_cast<int>(pixel_size));
  font.setBold(bold);
  font.setLetterSpacing(QFont::AbsoluteSpacing, letter_spacing);
  p.setFont(font);
  p.setPen(QColor(0, 0, 0, color.alpha() * 2 / 3));
  p.drawText(box.translated(1.5, 1.5), flags, text);
  p.setPen(color);
  p.drawText(box, flags, text);
}

QPainterPath FigurePath(const Figure& f) {
  const bool sitting = f.pose == Pose::kSitting;
  const double drop = sitting ? 0.3 : 0.0;  // a seated body sits lower
  const double w = f.wind;
  const auto P = [drop](double x, double y) { return QPointF(x, y + drop); };
  QPainterPath body;
  body.setFillRule(Qt::WindingFill);  // the parts overlap: their union is the figure
  body.addEllipse(P(0, -0.875), 0.058, 0.068);
  body.addRect(QRectF(P(-0.022, -0.82), P(0.022, -0.76)));
  QPainterPath torso;
  torso.moveTo(P(-0.062, -0.55));
  torso.lineTo(P(-0.085, -0.7));
  torso.quadTo(P(-0.105, -0.765), P(-0.05, -0.775));
  torso.lineTo(P(0.05, -0.775));
  torso.quadTo(P(0.105, -0.765), P(0.085, -0.7));
  torso.lineTo(P(0.062, -0.55));
  torso.closeSubpath();
  body.addPath(torso);

  const bool boy = f.hair == Hair::kShortBoy;
  if (sitting) {
    body.addPath(Stroke(QPolygonF{P(-0.02, -0.32), QPointF(0.2, -0.05), QPointF(0.22, -0.0)}, 0.07));
    body.addPath(Stroke(QPolygonF{P(0.03, -0.32), QPointF(0.25, -0.06), QPointF(0.28, -0.0)}, 0.07));
    body.addPath(Polygon({P(-0.07, -0.57), P(-0.1, -0.3), QPointF(0.24, -0.07), P(0.07, -0.57)}));
  } else if (boy) {
    body.addPath(Polygon({P(-0.065, -0.56), P(0.065, -0.56), QPointF(0.07, 0), QPointF(0.02, 0), QPointF(0.0, -0.42),
                          QPointF(-0.02, 0), QPointF(-0.07, 0)}));
  } else {
    body.addPath(Polygon({QPointF(-0.058, -0.32), QPointF(-0.02, -0.32), QPointF(-0.028, 0), QPointF(-0.056, 0)}));
    body.addPath(Polygon({QPointF(0.02, -0.32), QPointF(0.058, -0.32), QPointF(0.056, 0), QPointF(0.028, 0)}));
    QPainterPath skirt;
    skirt.moveTo(P(-0.066, -0.57));
    skirt.lineTo(P(-0.15 - w * 0.6, -0.29));
    skirt.quadTo(P(-w * 0.4, -0.26), P(0.15 - w * 0.3, -0.29));
    skirt.lineTo(P(0.066, -0.57));
    skirt.closeSubpath();
    body.addPath(skirt);
  }
  if (!sitting) {
    body.addEllipse(QPointF(-0.05, -0.006), 0.03, 0.012);
    body.addEllipse(QPointF(0.05, -0.006), 0.03, 0.012);
  }

  // Arms, as thick strokes from shoulder over elbow to hand.
  QPolygonF left{P(-0.088, -0.745), P(-0.12, -0.62), P(-0.115, -0.5)};
  QPolygonF right{P(0.088, -0.745), P(0.12, -0.62), P(0.115, -0.5)};
  switch (f.pose) {
    case Pose::kArmRaised:
      right = {P(0.088, -0.745), P(0.16, -0.86), P(0.2, -1.0)};
      break;
    case Pose::kHolding:
      left = {P(-0.088, -0.745), P(-0.11, -0.63), P(-0.02, -0.6)};
      right = {P(0.088, -0.745), P(0.11, -0.63), P(0.02, -0.6)};
      break;
    case Pose::kHandsBehind:
      left = {P(-0.088, -0.745), P(-0.105, -0.64), P(-0.07, -0.56)};
      right = {P(0.088, -0.745), P(0.105, -0.64), P(0.07, -0.56)};
      break;
    case Pose::kReaching:
      right = {P(0.088, -0.745), P(0.2, -0.73), P(0.31, -0.74)};
      break;
    case Pose::kSitting:
      left = {P(-0.088, -0.745), P(-0.11, -0.62), P(-0.06, -0.52)};
      right = {P(0.088, -0.745), P(0.11, -0.62), P(0.1, -0.5)};
      break;
    case Pose::kStanding:
      break;
  }
  body.addPath(Stroke(left, 0.04));
  body.addPath(Stroke(right, 0.04));

  switch (f.hair) {
    case Hair::kLong:
      body.addEllipse(P(-0.004, -0.885), 0.066, 0.074);
      body.addPath(Polygon({P(-0.062, -0.9), P(-0.09 - w * 0.8, -0.58), P(-0.03 - w * 0.9, -0.57), P(-0.035, -0.8)}));
      body.addPath(Polygon({P(0.062, -0.9), P(0.085 - w * 0.8, -0.6), P(0.03 - w * 0.9, -0.6), P(0.035, -0.8)}));
      break;
    case Hair::kPonytail: {
      body.addEllipse(P(0.0, -0.888), 0.064, 0.07);
      QPainterPath tail;
      tail.moveTo(P(0.03, -0.95));
      tail.cubicTo(P(0.14 - w, -0.95), P(0.11 - w * 1.5, -0.8), P(0.13 - w * 2, -0.66));
      tail.cubicTo(P(0.08 - w, -0.76), P(0.09 - w * 0.5, -0.86), P(0.04, -0.9));
      tail.closeSubpath();
      body.addPath(tail);
      body.addEllipse(P(0.055, -0.93), 0.018, 0.018);
      break;
    }
    case Hair::kBob:
      body.addPath(Polygon({P(-0.074, -0.88), P(-0.078 - w * 0.3, -0.8), P(0.078 - w * 0.3, -0.8), P(0.074, -0.88)}));
      body.addEllipse(P(0.0, -0.89), 0.074, 0.07);
      break;
    case Hair::kShortBoy:
      body.addEllipse(P(0.0, -0.89), 0.064, 0.066);
      body.addPath(Polygon({P(-0.064, -0.9), P(-0.07, -0.84), P(-0.05, -0.86)}));
      break;
  }

  switch (f.prop) {
    case Prop::kUmbrella: {
      QPainterPath canopy;
      canopy.moveTo(P(-0.2, -1.02));
      canopy.quadTo(P(0.0, -1.3), P(0.28, -1.08));
      for (int i = 0; i < 4; ++i) {
        const double x0 = 0.28 - i * 0.12;
        canopy.quadTo(P(x0 - 0.06, -1.04), P(x0 - 0.12, -1.06 + i * 0.01));
      }
      canopy.closeSubpath();
      body.addPath(canopy);
      body.addPath(Stroke(QPolygonF{P(0.04, -1.15), P(0.02, -0.6)}, 0.012));
      break;
    }
    case Prop::kStrawHat:
      body.addEllipse(P(0.0, -0.935), 0.14, 0.028);
      body.addEllipse(P(0.0, -0.96), 0.07, 0.045);
      break;
    case Prop::kBook:
      body.addRect(QRectF(P(-0.05, -0.66), P(0.05, -0.57)));
      break;
    case Prop::kLantern:
      body.addPath(Stroke(QPolygonF{P(0.0, -0.6), P(0.0, -0.5)}, 0.006));
      break;
    case Prop::kFlower:
    case Prop::kNone:
      break;
  }

  QTransform to_picture;
  to_picture.translate(f.feet.x(), f.feet.y());
  to_picture.scale(f.facing_left ? -f.height : f.height, f.height);
  return to_picture.map(body.simplified());
}

void DrawFigure(QPainter& p, const Figure& figure, const QColor& body, const QColor& rim, QPointF light_from) {
  const QPainterPath shape = FigurePath(figure);
  p.setPen(Qt::NoPen);
  p.setBrush(body);
  p.drawPath(shape);
  const double shift = std::max(1.2, figure.height * 0.008);
  const QPainterPath edge = shape.subtracted(shape.translated(-light_from * shift));
  p.setBrush(rim);
  p.drawPath(edge);
  const double drop = figure.pose == Pose::kSitting ? 0.3 : 0.0;
  const auto hand = [&](double x, double y) {
    return figure.feet + QPointF((figure.facing_left ? -x : x) * figure.height, (y + drop) * figure.height);
  };
  if (figure.prop == Prop::kLantern) DrawLantern(p, hand(0.0, -0.46), figure.height * 0.045, QColor(250, 150, 70));
  if (figure.prop == Prop::kFlower) {
    for (int i = 0; i < 3; ++i)
      DrawGlow(p, hand(0.02 * i, -0.62 - 0.02 * i), figure.height * 0.03, QColor(255, 200, 220, 200));
  }
}

}  // namespace shiori::demo
