#include "qt/StageGeometry.h"

#include <algorithm>
#include <cmath>

#include "window/Form.h"

namespace shiori {
namespace {

constexpr qreal kWidth = Form::kClientWidth;
constexpr qreal kHeight = Form::kClientHeight;

qreal SnapToDevice(qreal logical, qreal device_pixel_ratio) {
  return std::round(logical * device_pixel_ratio) / device_pixel_ratio;
}

}  // namespace

QRectF FitStage(const QSizeF& area, qreal device_pixel_ratio) {
  const qreal dpr = device_pixel_ratio > 0 ? device_pixel_ratio : 1;
  const qreal scale = std::min(area.width() / kWidth, area.height() / kHeight);
  if (scale <= 0) return {};
  const qreal width = SnapToDevice(kWidth * scale, dpr);
  const qreal height = SnapToDevice(kHeight * scale, dpr);
  const qreal left = SnapToDevice((area.width() - width) / 2, dpr);
  const qreal top = SnapToDevice((area.height() - height) / 2, dpr);
  return QRectF(left, top, width, height);
}

std::optional<QPoint> ToStagePixel(const QRectF& stage, const QPointF& position) {
  if (stage.isEmpty()) return std::nullopt;
  const int x = static_cast<int>(std::floor((position.x() - stage.x()) * kWidth / stage.width()));
  const int y = static_cast<int>(std::floor((position.y() - stage.y()) * kHeight / stage.height()));
  if (x < 0 || y < 0 || x >= kWidth || y >= kHeight) return std::nullopt;
  return QPoint(x, y);
}

QRect FromStageRect(const QRectF& stage, const QRectF& rect, qreal device_pixel_ratio) {
  const qreal sx = stage.width() / kWidth;
  const qreal sy = stage.height() / kHeight;
  const QRectF mapped(stage.x() + rect.x() * sx, stage.y() + rect.y() * sy, rect.width() * sx, rect.height() * sy);
  // At a whole scale on whole device pixels every stage pixel is a block of window pixels and the rectangle is
  // exact: a typed character's repaint stays the size of its glyph rather than a pixel larger all round.
  const auto whole = [](qreal value) { return value == std::round(value); };
  if (whole(sx) && whole(sy) && whole(stage.x()) && whole(stage.y()) && whole(device_pixel_ratio)) {
    return mapped.toAlignedRect();
  }
  return mapped.toAlignedRect().adjusted(-1, -1, 1, 1);
}

int LargestStageScale(const QSize& available, const QSize& chrome) {
  // "Comfortably": leave a tenth of the screen free, so the window does not touch panels and edges.
  const qreal room_x = available.width() * 0.9 - chrome.width();
  const qreal room_y = available.height() * 0.9 - chrome.height();
  const int scale = static_cast<int>(std::min(room_x / kWidth, room_y / kHeight));
  return std::max(scale, 1);
}

}  // namespace shiori
