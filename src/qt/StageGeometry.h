#pragma once

#include <QPoint>
#include <QRect>
#include <QRectF>
#include <QSize>
#include <optional>

namespace shiori {

// Where the 640 x 400 stage lies in the window, and back from the window to stage pixels.

// The largest rectangle of the stage's aspect ratio that fits `area` (logical pixels), centred in it, with its
// edges on whole device pixels so that pictures and text are not smeared across a pixel boundary.
[[nodiscard]] QRectF FitStage(const QSizeF& area, qreal device_pixel_ratio);

// The stage pixel under `position` (same coordinates as `stage`), or nothing in the bars beside the stage.
[[nodiscard]] std::optional<QPoint> ToStagePixel(const QRectF& stage, const QPointF& position);

// The window's rectangle (same coordinates as `stage`) that shows the stage area `rect`, widened to whole pixels;
// at a fractional scale a pixel more all round, so that a repaint covers everything the area's antialiased edges
// touch.
[[nodiscard]] QRect FromStageRect(const QRectF& stage, const QRectF& rect, qreal device_pixel_ratio = 1);

// The largest whole multiple of the stage that fits comfortably into `available` (a screen's free area, logical
// pixels) together with `chrome` (the menu bar and the window frame); at least 1.
[[nodiscard]] int LargestStageScale(const QSize& available, const QSize& chrome);

}  // namespace shiori
