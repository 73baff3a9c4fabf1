#pragma once

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <cstdint>
#include <initializer_list>
#include <utility>

namespace shiori::demo {

inline constexpr int kWidth = 640;
inline constexpr int kHeight = 400;

// A small deterministic generator, so that every build draws the same pictures on every platform.
class Rng {
 public:
  explicit Rng(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ULL + 1) {}
  [[nodiscard]] double Uniform(double lo = 0.0, double hi = 1.0);
  [[nodiscard]] int Int(int lo, int hi);  // inclusive

 private:
  std::uint64_t state_;
};

// The light of a moment of the day: every backdrop takes its colours from one of these.
struct Lighting {
  QColor sky_top, sky_mid, sky_horizon;
  QColor sea_far, sea_near, glint;
  QColor land;    // silhouettes of hills, houses, people
  QColor window;  // lit windows and lamps
  double lit_fraction = 0.0;
  QPointF sun{480, 200};
  double sun_radius = 0.0;  // 0: no sun or moon disc
  QColor sun_color;
  bool moon = false;
  int stars = 0;
  bool clouds = true;
};

enum class Moment { kMorning, kNoon, kAfternoon, kDusk, kNight, kDeepNight, kDawn, kRain };
[[nodiscard]] Lighting LightingFor(Moment moment);
[[nodiscard]] QColor Mix(const QColor& a, const QColor& b, double t);

void FillVertical(QPainter& p, const QRectF& area, std::initializer_list<std::pair<double, QColor>> stops);
void DrawSky(QPainter& p, const Lighting& light, double horizon);
void DrawGlow(QPainter& p, QPointF centre, double radius, const QColor& color);
void DrawStars(QPainter& p, Rng& rng, const QRectF& area, int count, bool milky_way);
void DrawClouds(QPainter& p, Rng& rng, const Lighting& light, double horizon, int count);
void DrawSea(QPainter& p, Rng& rng, const Lighting& light, double horizon, double bottom);
// Hills between `left` and `right`, filled down to `bottom`: the foot of a far island sits on the horizon.
void DrawRidge(QPainter& p, Rng& rng, double base_y, double amplitude, const QColor& color, double left = 0,
               double right = kWidth, double bottom = kHeight);
void DrawTown(QPainter& p, Rng& rng, const Lighting& light, double base_y, double slope, double house_size);
void DrawPoleWires(QPainter& p, const QColor& color, double y, double spacing, double offset);
void DrawLighthouse(QPainter& p, const Lighting& light, QPointF base, double height, bool beam);
void DrawLantern(QPainter& p, QPointF centre, double size, const QColor& color);
void DrawLanternString(QPainter& p, Rng& rng, QPointF from, QPointF to, double sag, int count, double size);
void DrawFirework(QPainter& p, Rng& rng, QPointF centre, double radius, const QColor& color);
void DrawRain(QPainter& p, Rng& rng, int count, double alpha);
void DrawFireflies(QPainter& p, Rng& rng, const QRectF& area, int count, const QColor& color);
void DrawPetals(QPainter& p, Rng& rng, int count, const QColor& color);
void DrawTorii(QPainter& p, QPointF base, double height, const QColor& color);
void DrawSunflower(QPainter& p, QPointF centre, double radius, double shade);
void DrawTrain(QPainter& p, const Lighting& light, double x, double base_y, double car_length, int cars);

// Darkening under the message text, and the soft dark corners that calm a busy picture.
void Dim(QPainter& p, double amount);
void Vignette(QPainter& p, double strength);
// A translucent rounded panel for menu entries to sit on.
void DrawPanel(QPainter& p, const QRectF& box, const QColor& tint, double opacity);
// Text in the demo's Japanese face, with a soft shadow so it reads on any background.
void DrawText(QPainter& p, const QRectF& box, const QString& text, double pixel_size, const QColor& color,
              int flags = Qt::AlignCenter, bool bold = false, int letter_spacing = 0);

// People, seen as silhouettes against the light.
enum class Hair { kLong, kPonytail, kBob, kShortBoy };
enum class Pose { kStanding, kArmRaised, kHolding, kHandsBehind, kReaching, kSitting };
enum class Prop { kNone, kUmbrella, kLantern, kStrawHat, kBook, kFlower };

struct Figure {
  Hair hair = Hair::kLong;
  Pose pose = Pose::kStanding;
  Prop prop = Prop::kNone;
  QPointF feet{320, 400};
  double height = 200;
  bool facing_left = false;
  double wind = 0.0;  // how far hair and skirt are blown, in figure heights
};

[[nodiscard]] QPainterPath FigurePath(const Figure& figure);
// Fills the figure with `body` and lights the edge facing `light_from` (a unit vector) with `rim`.
void DrawFigure(QPainter& p, const Figure& figure, const QColor& body, const QColor& rim, QPointF light_from);

}  // namespace shiori::demo
