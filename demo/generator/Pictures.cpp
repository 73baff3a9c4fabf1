#include "Pictures.h"

#include <QImageWriter>
#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <vector>

#include "Backdrops.h"

namespace shiori::demo {

namespace {

// The three companions, one per gallery route.
struct Companion {
  QString name;
  QString reading;
  Hair hair;
  QColor accent;
};

const Companion kAkari{QStringLiteral("灯"), QStringLiteral("あかり"), Hair::kLong, QColor(120, 170, 255)};
const Companion kNanami{QStringLiteral("七海"), QStringLiteral("ななみ"), Hair::kPonytail, QColor(255, 150, 90)};
const Companion kSayo{QStringLiteral("小夜"), QStringLiteral("さよ"), Hair::kBob, QColor(170, 220, 150)};

enum class Effect { kNone, kFireflies, kPetals, kSparkles, kRain };

struct CgPicture {
  int number;
  Backdrop backdrop;
  Moment moment;
  const Companion* companion;
  Pose pose;
  Prop prop;
  double x;
  double height;
  bool facing_left;
  bool with_boy;
  Effect effect;
};

// route 2: Nanami, CGs 1-13; route 3: Sayo, 14-25; route 1: Akari, 26-38.
const std::array<CgPicture, 38> kCgs{{
    {1, Backdrop::kBeach, Moment::kNoon, &kNanami, Pose::kArmRaised, Prop::kStrawHat, 420, 330, true, false,
     Effect::kSparkles},
    {2, Backdrop::kSeaTown, Moment::kMorning, &kNanami, Pose::kHandsBehind, Prop::kNone, 230, 360, false, false,
     Effect::kNone},
    {3, Backdrop::kHarbor, Moment::kMorning, &kNanami, Pose::kReaching, Prop::kNone, 180, 330, false, false,
     Effect::kSparkles},
    {4, Backdrop::kClassroom, Moment::kAfternoon, &kNanami, Pose::kSitting, Prop::kNone, 250, 330, false, false,
     Effect::kNone},
    {5, Backdrop::kSunflowerHill, Moment::kAfternoon, &kNanami, Pose::kStanding, Prop::kStrawHat, 400, 340, true, false,
     Effect::kPetals},
    {6, Backdrop::kFestival, Moment::kNight, &kNanami, Pose::kHolding, Prop::kLantern, 330, 340, false, false,
     Effect::kFireflies},
    {7, Backdrop::kShrine, Moment::kDusk, &kNanami, Pose::kHandsBehind, Prop::kNone, 330, 300, true, false,
     Effect::kFireflies},
    {8, Backdrop::kFireworks, Moment::kNight, &kNanami, Pose::kStanding, Prop::kNone, 290, 300, false, true,
     Effect::kNone},
    {9, Backdrop::kBeach, Moment::kDusk, &kNanami, Pose::kSitting, Prop::kNone, 260, 320, false, false,
     Effect::kSparkles},
    {10, Backdrop::kSeasideTrain, Moment::kDusk, &kNanami, Pose::kStanding, Prop::kNone, 470, 330, true, false,
     Effect::kNone},
    {11, Backdrop::kSeawall, Moment::kNight, &kNanami, Pose::kArmRaised, Prop::kNone, 300, 330, false, false,
     Effect::kSparkles},
    {12, Backdrop::kRainStreet, Moment::kRain, &kNanami, Pose::kStanding, Prop::kNone, 330, 340, true, false,
     Effect::kRain},
    {13, Backdrop::kBeach, Moment::kDawn, &kNanami, Pose::kReaching, Prop::kNone, 250, 320, false, true,
     Effect::kPetals},
    {14, Backdrop::kStation, Moment::kDusk, &kSayo, Pose::kHolding, Prop::kBook, 330, 320, false, false, Effect::kNone},
    {15, Backdrop::kLibrary, Moment::kAfternoon, &kSayo, Pose::kSitting, Prop::kBook, 250, 320, false, false,
     Effect::kSparkles},
    {16, Backdrop::kRainStreet, Moment::kRain, &kSayo, Pose::kHolding, Prop::kUmbrella, 320, 300, false, false,
     Effect::kRain},
    {17, Backdrop::kStation, Moment::kRain, &kSayo, Pose::kHolding, Prop::kUmbrella, 180, 300, false, false,
     Effect::kRain},
    {18, Backdrop::kClassroom, Moment::kDusk, &kSayo, Pose::kStanding, Prop::kNone, 200, 330, true, false,
     Effect::kNone},
    {19, Backdrop::kRoom, Moment::kNight, &kSayo, Pose::kSitting, Prop::kBook, 420, 300, true, false, Effect::kNone},
    {20, Backdrop::kSeasideTrain, Moment::kMorning, &kSayo, Pose::kHandsBehind, Prop::kNone, 470, 340, true, false,
     Effect::kNone},
    {21, Backdrop::kStarryHill, Moment::kNight, &kSayo, Pose::kHandsBehind, Prop::kNone, 320, 300, false, false,
     Effect::kFireflies},
    {22, Backdrop::kShrine, Moment::kDusk, &kSayo, Pose::kHolding, Prop::kFlower, 320, 320, false, false,
     Effect::kPetals},
    {23, Backdrop::kFestival, Moment::kNight, &kSayo, Pose::kHolding, Prop::kLantern, 250, 330, false, false,
     Effect::kFireflies},
    {24, Backdrop::kHarbor, Moment::kDawn, &kSayo, Pose::kReaching, Prop::kNone, 200, 320, false, false,
     Effect::kSparkles},
    {25, Backdrop::kStation, Moment::kDawn, &kSayo, Pose::kHolding, Prop::kBook, 280, 310, false, true,
     Effect::kPetals},
    {26, Backdrop::kLighthouse, Moment::kDusk, &kAkari, Pose::kStanding, Prop::kNone, 220, 330, false, false,
     Effect::kNone},
    {27, Backdrop::kStarryHill, Moment::kDeepNight, &kAkari, Pose::kArmRaised, Prop::kNone, 260, 320, false, false,
     Effect::kFireflies},
    {28, Backdrop::kSeawall, Moment::kNight, &kAkari, Pose::kStanding, Prop::kNone, 330, 340, true, false,
     Effect::kNone},
    {29, Backdrop::kLighthouse, Moment::kNight, &kAkari, Pose::kHolding, Prop::kLantern, 250, 320, false, false,
     Effect::kFireflies},
    {30, Backdrop::kBeach, Moment::kNight, &kAkari, Pose::kSitting, Prop::kNone, 300, 310, false, false,
     Effect::kSparkles},
    {31, Backdrop::kSeaTown, Moment::kDusk, &kAkari, Pose::kHandsBehind, Prop::kNone, 420, 340, true, false,
     Effect::kNone},
    {32, Backdrop::kStarryHill, Moment::kDeepNight, &kAkari, Pose::kSitting, Prop::kNone, 260, 280, false, true,
     Effect::kFireflies},
    {33, Backdrop::kHarbor, Moment::kDusk, &kAkari, Pose::kStanding, Prop::kNone, 200, 330, false, false,
     Effect::kNone},
    {34, Backdrop::kRoom, Moment::kNight, &kAkari, Pose::kHolding, Prop::kBook, 420, 320, true, false, Effect::kNone},
    {35, Backdrop::kFireworks, Moment::kNight, &kAkari, Pose::kArmRaised, Prop::kNone, 200, 320, false, false,
     Effect::kSparkles},
    {36, Backdrop::kClassroom, Moment::kAfternoon, &kAkari, Pose::kHandsBehind, Prop::kNone, 300, 340, false, false,
     Effect::kNone},
    {37, Backdrop::kLighthouse, Moment::kDawn, &kAkari, Pose::kReaching, Prop::kNone, 230, 330, false, false,
     Effect::kPetals},
    {38, Backdrop::kSeawall, Moment::kDawn, &kAkari, Pose::kArmRaised, Prop::kNone, 260, 320, false, true,
     Effect::kSparkles},
}};

struct ScenePicture {
  int number;
  Backdrop backdrop;
  Moment moment;
  Encoding encoding;
};

const std::array<ScenePicture, 20> kScenes{{
    {1, Backdrop::kSeaTown, Moment::kAfternoon, Encoding::kJpeg},
    {2, Backdrop::kStation, Moment::kDusk, Encoding::kPng},
    {3, Backdrop::kClassroom, Moment::kAfternoon, Encoding::kBmp24},
    {4, Backdrop::kBeach, Moment::kNoon, Encoding::kJpeg},
    {5, Backdrop::kLighthouse, Moment::kDusk, Encoding::kPng},
    {6, Backdrop::kStarryHill, Moment::kDeepNight, Encoding::kJpeg},
    {7, Backdrop::kFestival, Moment::kNight, Encoding::kPng},
    {8, Backdrop::kShrine, Moment::kDusk, Encoding::kJpeg},
    {9, Backdrop::kRainStreet, Moment::kRain, Encoding::kBmp24},
    {10, Backdrop::kRoom, Moment::kNight, Encoding::kJpeg},
    {11, Backdrop::kHarbor, Moment::kMorning, Encoding::kPng},
    {12, Backdrop::kFireworks, Moment::kNight, Encoding::kJpeg},
    {13, Backdrop::kSeasideTrain, Moment::kDusk, Encoding::kPng},
    {14, Backdrop::kSunflowerHill, Moment::kNoon, Encoding::kJpeg},
    {15, Backdrop::kLibrary, Moment::kAfternoon, Encoding::kPng},
    {16, Backdrop::kSeawall, Moment::kNight, Encoding::kJpeg},
    {17, Backdrop::kSeaTown, Moment::kDawn, Encoding::kPng},
    {18, Backdrop::kSeawall, Moment::kDusk, Encoding::kJpeg},
    {19, Backdrop::kSeaTown, Moment::kNight, Encoding::kPng},
    {20, Backdrop::kStation, Moment::kMorning, Encoding::kJpeg},
}};

bool IsDark(Moment moment) { return moment == Moment::kNight || moment == Moment::kDeepNight; }

QImage NewCanvas() {
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  image.fill(Qt::black);
  return image;
}

QColor RimFor(const Lighting& light) {
  QColor rim = Mix(light.sun_radius > 0 ? light.sun_color : light.glint, QColor(255, 255, 255), 0.2);
  rim.setAlpha(220);
  return rim;
}

QPointF LightDirection(const Lighting& light, QPointF from) {
  if (light.sun_radius <= 0) return {0, -1};
  QPointF d = light.sun - from;
  const double length = std::hypot(d.x(), d.y());
  return length > 0 ? d / length : QPointF(0, -1);
}

// A companion (and for some scenes the narrator beside her) against the backdrop's light.
void DrawPeople(QPainter& p, const Lighting& light, const Figure& her, bool with_boy) {
  const QColor body = Mix(light.land, QColor(0, 0, 0), 0.35);
  const QPointF chest = her.feet - QPointF(0, her.height * 0.7);
  DrawGlow(p, chest, her.height * 0.75,
           QColor(light.sky_horizon.red(), light.sky_horizon.green(), light.sky_horizon.blue(), 90));
  if (with_boy) {
    Figure boy{Hair::kShortBoy,
               Pose::kStanding,
               Prop::kNone,
               her.feet + QPointF(her.facing_left ? -her.height * 0.32 : her.height * 0.32, her.height * 0.02),
               her.height * 1.08,
               her.facing_left,
               0};
    DrawFigure(p, boy, body, RimFor(light), LightDirection(light, boy.feet - QPointF(0, boy.height * 0.7)));
  }
  DrawFigure(p, her, body, RimFor(light), LightDirection(light, chest));
}

void DrawEffect(QPainter& p, Rng& rng, Effect effect, const Companion& companion) {
  switch (effect) {
    case Effect::kFireflies:
      DrawFireflies(p, rng, QRectF(0, 140, kWidth, 260), 40, QColor(220, 255, 160));
      break;
    case Effect::kPetals:
      DrawPetals(p, rng, 60, Mix(companion.accent, QColor(255, 255, 255), 0.5));
      break;
    case Effect::kSparkles:
      DrawFireflies(p, rng, QRectF(0, 0, kWidth, kHeight), 24, QColor(255, 250, 230));
      break;
    case Effect::kRain:
      DrawRain(p, rng, 260, 0.35);
      break;
    case Effect::kNone:
      break;
  }
}

QImage DrawCg(const CgPicture& cg) {
  QImage image = NewCanvas();
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  Rng rng(static_cast<std::uint64_t>(cg.number) * 7919);
  const Lighting light = LightingFor(cg.moment);
  PaintBackdrop(p, cg.backdrop, light, rng);
  // Standing figures are cut at the knees, close to the viewer; a seated one needs her whole height.
  const double feet_y = cg.pose == Pose::kSitting ? 392 : 400 + cg.height * 0.3;
  const Figure her{cg.companion->hair, cg.pose, cg.prop, QPointF(cg.x, feet_y), cg.height, cg.facing_left, 0.04};
  DrawPeople(p, light, her, cg.with_boy);
  DrawEffect(p, rng, cg.effect, *cg.companion);
  Vignette(p, 0.45);
  DrawText(p, QRectF(kWidth - 70, kHeight - 22, 62, 16), QStringLiteral("No.%1").arg(cg.number, 2, 10, QChar('0')), 11,
           QColor(255, 255, 255, 120), Qt::AlignRight | Qt::AlignVCenter);
  return image;
}

// Most pages use the upper half of the message window: shade it a little more than the rest.
void ShadeTextArea(QPainter& p) {
  FillVertical(p, QRectF(0, 0, kWidth, kHeight), {{0.0, QColor(0, 0, 12, 90)}, {0.6, QColor(0, 0, 12, 0)}});
}

// The picture behind the message text: the same as in the gallery, but darker so that white text reads.
QImage DimmedForText(QImage image, double amount) {
  QPainter p(&image);
  Dim(p, amount);
  ShadeTextArea(p);
  Vignette(p, 0.35);
  return image;
}

QImage DrawScene(const ScenePicture& scene) {
  QImage image = NewCanvas();
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  Rng rng(static_cast<std::uint64_t>(scene.number) * 104729);
  PaintBackdrop(p, scene.backdrop, LightingFor(scene.moment), rng);
  Dim(p, IsDark(scene.moment) ? 0.2 : 0.4);
  ShadeTextArea(p);
  Vignette(p, 0.5);
  return image;
}

QImage DrawTitle() {
  QImage image = NewCanvas();
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  Rng rng(12);
  const Lighting light = LightingFor(Moment::kDusk);
  PaintBackdrop(p, Backdrop::kSeawall, light, rng);
  double x = 90;
  for (const Companion* c : {&kSayo, &kAkari, &kNanami}) {
    const Figure f{c->hair, Pose::kStanding, Prop::kNone, QPointF(x, 345), 118, x > 150, 0.05};
    DrawFigure(p, f, Mix(light.land, QColor(0, 0, 0), 0.3), RimFor(light), QPointF(1, -0.3));
    x += 52;
  }
  DrawPetals(p, rng, 30, QColor(255, 220, 200));
  Vignette(p, 0.4);
  DrawGlow(p, QPointF(150, 95), 150, QColor(255, 230, 200, 60));
  DrawText(p, QRectF(40, 30, 300, 100), QStringLiteral("しおり"), 76, QColor(255, 252, 245), Qt::AlignCenter, true, 10);
  DrawText(p, QRectF(40, 122, 300, 30), QStringLiteral("― 潮見町の夏 ―"), 22, QColor(255, 236, 215));
  DrawText(p, QRectF(40, 152, 300, 20), QStringLiteral("a summer in Shiomi"), 12, QColor(255, 236, 215, 200));
  // Calm ground for the four menu entries.
  DrawPanel(p, QRectF(266, 230, 334, 68), QColor(20, 16, 40), 0.55);
  return image;
}

void DrawLoadPanels(QPainter& p) {
  const QColor tint(12, 18, 42);
  for (const double top : {48.0, 128.0, 216.0, 304.0}) DrawPanel(p, QRectF(328, top - 6, 265, 61), tint, 0.6);
  DrawPanel(p, QRectF(22, 120, 269, 190), tint, 0.62);
  DrawPanel(p, QRectF(80, 311, 134, 25), tint, 0.6);
  p.setPen(QPen(QColor(255, 255, 255, 60), 1));
  p.drawLine(QPointF(34, 104), QPointF(278, 104));
}

QImage DrawLoadMenu(bool all_seen) {
  QImage image = NewCanvas();
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  Rng rng(all_seen ? 22 : 21);
  if (all_seen) {
    PaintBackdrop(p, Backdrop::kSeaTown, LightingFor(Moment::kDawn), rng);
    DrawPetals(p, rng, 80, QColor(255, 214, 150));
  } else {
    PaintBackdrop(p, Backdrop::kStarryHill, LightingFor(Moment::kDeepNight), rng);
  }
  Dim(p, 0.25);
  Vignette(p, 0.5);
  DrawLoadPanels(p);
  DrawText(p, QRectF(30, 26, 250, 40), QStringLiteral("しおりを選ぶ"), 28, QColor(255, 255, 255),
           Qt::AlignLeft | Qt::AlignVCenter, true);
  DrawText(p, QRectF(32, 66, 250, 22),
           all_seen ? QStringLiteral("すべての思い出が、ここに。") : QStringLiteral("LOAD ― 続きから読む"), 13,
           all_seen ? QColor(255, 226, 170) : QColor(200, 210, 255), Qt::AlignLeft | Qt::AlignVCenter);
  return image;
}

QImage DrawInGameMenu() {
  QImage image = NewCanvas();
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  Rng rng(31);
  PaintBackdrop(p, Backdrop::kRoom, LightingFor(Moment::kNight), rng);
  Dim(p, 0.3);
  Vignette(p, 0.5);
  DrawPanel(p, QRectF(26, 136, 277, 206), QColor(14, 14, 36), 0.65);
  for (const double top : {186.0, 234.0, 282.0}) {
    p.setPen(QPen(QColor(255, 255, 255, 50), 1));
    p.drawLine(QPointF(46, top + 7), QPointF(283, top + 7));
  }
  DrawText(p, QRectF(30, 80, 270, 44), QStringLiteral("メニュー"), 30, QColor(255, 255, 255),
           Qt::AlignLeft | Qt::AlignVCenter, true, 4);
  return image;
}

QImage DrawGallery() {
  QImage image = NewCanvas();
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  Rng rng(40);
  const Lighting night = LightingFor(Moment::kNight);
  FillVertical(p, QRectF(0, 0, kWidth, kHeight), {{0, night.sky_top}, {0.7, night.sky_mid}, {1, QColor(40, 40, 80)}});
  DrawStars(p, rng, QRectF(0, 0, kWidth, 300), 260, true);
  DrawText(p, QRectF(0, 14, kWidth, 40), QStringLiteral("思い出のアルバム"), 28, QColor(255, 255, 255), Qt::AlignCenter,
           true, 4);
  struct Card {
    const Companion* companion;
    Backdrop backdrop;
    Moment moment;
    QRectF frame;
    QRectF plate;     // the route's click area
    QRectF progress;  // where the progress text is written
  };
  const Card cards[] = {
      {&kAkari, Backdrop::kLighthouse, Moment::kDusk, QRectF(56, 66, 153, 222), QRectF(56, 296, 153, 33),
       QRectF(56, 334, 153, 21)},
      {&kNanami, Backdrop::kBeach, Moment::kAfternoon, QRectF(248, 98, 145, 222), QRectF(248, 328, 145, 33),
       QRectF(244, 366, 153, 21)},
      {&kSayo, Backdrop::kStation, Moment::kDusk, QRectF(432, 66, 153, 222), QRectF(432, 296, 153, 33),
       QRectF(428, 334, 161, 21)},
  };
  for (const Card& card : cards) {
    p.save();
    QPainterPath clip;
    clip.addRoundedRect(card.frame, 8, 8);
    p.setClipPath(clip);
    p.translate(card.frame.topLeft());
    p.scale(card.frame.width() / 260.0, card.frame.height() / kHeight);
    p.translate(-190, 0);
    const Lighting light = LightingFor(card.moment);
    PaintBackdrop(p, card.backdrop, light, rng);
    DrawPeople(p, light,
               Figure{card.companion->hair, Pose::kStanding, Prop::kNone, QPointF(320, 470), 380, false, 0.05}, false);
    p.restore();
    p.setPen(QPen(card.companion->accent, 2));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(card.frame, 8, 8);
    DrawPanel(p, card.plate, card.companion->accent.darker(300), 0.8);
    DrawText(p, card.plate, card.companion->name + QStringLiteral("　") + card.companion->reading, 17,
             QColor(255, 255, 255), Qt::AlignCenter, true);
    DrawPanel(p, card.progress, QColor(0, 0, 0), 0.45);
  }
  // Kept clear of the picture's edge, where a window frame or a monitor's bezel would cut into it.
  constexpr double kHintMargin = 14;
  DrawText(p, QRectF(0, 376, kWidth - kHintMargin, 18), QStringLiteral("右クリックでタイトルへ"), 11,
           QColor(255, 255, 255, 150), Qt::AlignRight | Qt::AlignVCenter);
  return image;
}

struct EndingPicture {
  Backdrop backdrop;
  Moment moment;
  QString heading;
  QString line;
};

QImage DrawEnding(int index) {
  static const EndingPicture kEndings[] = {
      {Backdrop::kSeaTown, Moment::kDawn, QStringLiteral("しおり"), QStringLiteral("― 潮見町の夏 ―")},
      {Backdrop::kSeasideTrain, Moment::kMorning, QStringLiteral("物語"), QStringLiteral("shiori デモ制作班")},
      {Backdrop::kStarryHill, Moment::kDeepNight, QStringLiteral("絵と音楽"),
       QStringLiteral("すべて、ビルドのたびにプログラムが描いています")},
      {Backdrop::kBeach, Moment::kDusk, QStringLiteral("灯　七海　小夜"), QStringLiteral("そして、きみへ")},
      {Backdrop::kSeawall, Moment::kDusk, QStringLiteral("おしまい"), QStringLiteral("読んでくれて、ありがとう")},
  };
  const EndingPicture& e = kEndings[index];
  QImage image = NewCanvas();
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  Rng rng(50 + static_cast<std::uint64_t>(index));
  const Lighting light = LightingFor(e.moment);
  PaintBackdrop(p, e.backdrop, light, rng);
  if (index == 3) {
    double x = 230;
    for (const Companion* c : {&kAkari, &kNanami, &kSayo}) {
      DrawFigure(p, Figure{c->hair, Pose::kHandsBehind, Prop::kNone, QPointF(x, 390), 150, x > 300, 0.05},
                 Mix(light.land, QColor(0, 0, 0), 0.35), RimFor(light), QPointF(0.6, -0.8));
      x += 90;
    }
  }
  Dim(p, 0.3);
  Vignette(p, 0.55);
  DrawText(p, QRectF(0, 130, kWidth, 70), e.heading, index == 0 ? 60 : 38, QColor(255, 255, 255), Qt::AlignCenter, true,
           6);
  DrawText(p, QRectF(0, 205, kWidth, 30), e.line, 18, QColor(255, 240, 225));
  return image;
}

QString FourDigits(int number) { return QStringLiteral("%1").arg(number, 4, 10, QChar('0')); }

Encoding CgEncoding(int number) {
  static constexpr Encoding kCycle[] = {Encoding::kPng, Encoding::kJpeg, Encoding::kBmp24};
  return kCycle[number % 3];
}

// A palette of the picture's most used colours, so that an 8-bit picture keeps its gradients.
QList<QRgb> PopularColours(const QImage& image) {
  std::map<QRgb, int> counts;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) ++counts[image.pixel(x, y) & 0xF8F8F8];
  }
  std::vector<std::pair<int, QRgb>> ranked;
  for (const auto& [colour, count] : counts) ranked.emplace_back(count, colour);
  std::sort(ranked.rbegin(), ranked.rend());
  QList<QRgb> table;
  for (std::size_t i = 0; i < ranked.size() && i < 256; ++i) table.push_back(ranked[i].second | 0xFF040404);
  return table;
}

}  // namespace

std::vector<PictureJob> AllPictures() {
  std::vector<PictureJob> jobs;
  for (const ScenePicture& scene : kScenes) {
    jobs.push_back(
        {"data/" + FourDigits(scene.number) + ".rgd", scene.encoding, [&scene] { return DrawScene(scene); }});
  }
  for (const CgPicture& cg : kCgs) {
    jobs.push_back({"log/" + FourDigits(cg.number) + ".log", CgEncoding(cg.number), [&cg] { return DrawCg(cg); }});
    // The page that shows a CG uses it as its scene, numbered 100 above the CG.
    jobs.push_back({"data/" + FourDigits(100 + cg.number) + ".rgd", Encoding::kJpeg,
                    [&cg] { return DimmedForText(DrawCg(cg), IsDark(cg.moment) ? 0.3 : 0.42); }});
  }
  jobs.push_back({"data/op01.rgd", Encoding::kPng, DrawTitle});
  jobs.push_back({"data/ld01.rgd", Encoding::kBmp8, [] { return DrawLoadMenu(false); }});
  jobs.push_back({"data/ld02.rgd", Encoding::kJpeg, [] { return DrawLoadMenu(true); }});
  jobs.push_back({"data/rg01.rgd", Encoding::kBmp24, DrawInGameMenu});
  jobs.push_back({"log/0000.log", Encoding::kPng, DrawGallery});
  for (int i = 0; i < 5; ++i) {
    jobs.push_back({QStringLiteral("data/e%1.rgd").arg(i + 1, 2, 10, QChar('0')),
                    i % 2 == 0 ? Encoding::kJpeg : Encoding::kPng, [i] { return DrawEnding(i); }});
  }
  return jobs;
}

bool SavePicture(const QImage& image, Encoding encoding, const QString& file) {
  QImageWriter writer(file);
  switch (encoding) {
    case Encoding::kPng:
      writer.setFormat("png");
      return writer.write(image);
    case Encoding::kJpeg:
      writer.setFormat("jpeg");
      writer.setQuality(90);
      return writer.write(image);
    case Encoding::kBmp24:
      writer.setFormat("bmp");
      return writer.write(image.convertToFormat(QImage::Format_RGB888));
    case Encoding::kBmp8:
      writer.setFormat("bmp");
      return writer.write(image.convertToFormat(QImage::Format_Indexed8, PopularColours(image), Qt::DiffuseDither));
  }
  return false;
}

}  // namespace shiori::demo
