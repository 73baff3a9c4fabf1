#include "qt/StageWidget.h"

#include <QAccessible>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <chrono>
#include <cstdio>

#include "qt/StageGeometry.h"
#include "qt/StagePlayer.h"

namespace shiori {
namespace {

int ButtonNumber(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton:
      return kLeftButton;
    case Qt::RightButton:
      return kRightButton;
    case Qt::MiddleButton:
      return kMiddleButton;
    default:
      return 0;
  }
}

// SHIORI_TRACE_FRAMES=1 reports each press and each repaint on standard error, with the wall-clock time in
// microseconds, for the window benchmark: start-up to the first frame, input to the next frame, and proof that
// nothing is drawn while nothing changes.
bool Tracing() {
  static const bool tracing = qEnvironmentVariableIntValue("SHIORI_TRACE_FRAMES") == 1;
  return tracing;
}

void Trace(const char* what, const QRect& area) {
  const auto now =
      std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::system_clock::now().time_since_epoch());
  std::fprintf(stderr, "shiori: trace %s %lld %dx%d\n", what, static_cast<long long>(now.count()), area.width(),
               area.height());
}

}  // namespace

StageWidget::StageWidget(StagePlayer& player, QWidget* parent) : QWidget(parent), player_(player) {
  // Everything is painted here, every pixel, every time: no background fill by Qt first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);  // for the hover mark
  setMinimumSize(StagePlayer::kWidth / 2, StagePlayer::kHeight / 2);
}

QRectF StageWidget::StageRect() const { return FitStage(QSizeF(size()), devicePixelRatioF()); }

void StageWidget::ShowStage(const Form& form) {
  const stage::Frame frame = frames_.Next(form);
  QRegion region;
  for (const stage::Box& box : frame.changed) {
    region += FromStageRect(StageRect(), QRectF(box.x, box.y, box.width, box.height), devicePixelRatioF());
  }
  if (!region.isEmpty()) repaint(region);
}

const stage::DisplayList& StageWidget::Shown() const {
  static const stage::DisplayList kNothing;
  return frames_.shown() != nullptr ? *frames_.shown() : kNothing;
}

void StageWidget::SetPreferredScale(int scale) {
  preferred_scale_ = scale;
  updateGeometry();
}

// The stage is one picture to Qt, so what it says goes out through its own name: a screen reader reads the name
// of the widget with the keyboard's focus as it changes.
void StageWidget::Announce(const QString& text) {
  setAccessibleName(text);
  QAccessibleEvent changed(this, QAccessible::NameChanged);
  QAccessible::updateAccessibility(&changed);
}

QSize StageWidget::sizeHint() const { return QSize(StagePlayer::kWidth, StagePlayer::kHeight) * preferred_scale_; }

void StageWidget::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QRectF stage = StageRect();
  // Black beside the stage, and on it too until the first frame has been laid out.
  const QRegion stage_pixels = frames_.shown() != nullptr ? QRegion(stage.toAlignedRect()) : QRegion();
  const QRegion bars = QRegion(rect()).subtracted(stage_pixels);
  for (const QRect& bar : bars.intersected(event->region())) painter.fillRect(bar, Qt::black);
  player_.Paint(Shown(), painter, stage, QRectF(event->rect()));
  painter.end();
  if (Tracing()) Trace("paint", event->rect());
  if (Painted) Painted();
}

void StageWidget::mousePressEvent(QMouseEvent* event) {
  const int button = ButtonNumber(event->button());
  const std::optional<QPoint> at = ToStagePixel(StageRect(), event->position());
  if (Tracing()) Trace("press", QRect());
  if (button != 0 && at && Pressed) Pressed(*at, button);
  event->accept();
}

void StageWidget::mouseMoveEvent(QMouseEvent* event) {
  if (Hovered) Hovered(ToStagePixel(StageRect(), event->position()));
  event->accept();
}

void StageWidget::leaveEvent(QEvent* event) {
  if (Hovered) Hovered(std::nullopt);
  QWidget::leaveEvent(event);
}

void StageWidget::wheelEvent(QWheelEvent* event) {
  // Touchpads report a notch in small parts; a whole notch (120) is one step. Turning back starts afresh.
  const int delta = event->angleDelta().y();
  if ((delta > 0) != (wheel_travel_ > 0)) wheel_travel_ = 0;
  wheel_travel_ += delta;
  const int notches = wheel_travel_ / 120;
  wheel_travel_ -= notches * 120;
  // Qt counts a turn away from the reader (up) as positive.
  if (notches != 0 && Wheel) Wheel(-notches);
  event->accept();
}

}  // namespace shiori
