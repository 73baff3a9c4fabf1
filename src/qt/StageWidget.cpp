#include "qt/StageWidget.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <chrono>
#include <cstdio>

#include "qt/StageGeometry.h"
#include "qt/StagePainter.h"

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

StageWidget::StageWidget(const Form& form, StagePainter& painter, QWidget* parent)
    : QWidget(parent), form_(form), painter_(painter) {
  // Everything is painted here, every pixel, every time: no background fill by Qt first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);  // for the hover mark
  setMinimumSize(StagePainter::kWidth / 2, StagePainter::kHeight / 2);
}

QRectF StageWidget::StageRect() const { return FitStage(QSizeF(size()), devicePixelRatioF()); }

void StageWidget::RepaintStage(const std::vector<QRect>& rects) {
  QRegion region;
  for (const QRect& rect : rects) region += FromStageRect(StageRect(), rect, devicePixelRatioF());
  if (!region.isEmpty()) repaint(region);
}

void StageWidget::SetPreferredScale(int scale) {
  preferred_scale_ = scale;
  updateGeometry();
}

QSize StageWidget::sizeHint() const { return QSize(StagePainter::kWidth, StagePainter::kHeight) * preferred_scale_; }

void StageWidget::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QRectF stage = StageRect();
  const QRegion bars = QRegion(rect()).subtracted(QRegion(stage.toAlignedRect()));
  for (const QRect& bar : bars.intersected(event->region())) painter.fillRect(bar, Qt::black);
  painter_.Paint(form_, painter, stage, QRectF(event->rect()));
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
