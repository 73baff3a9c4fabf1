#pragma once

#include <QPoint>
#include <QRectF>
#include <QWidget>
#include <functional>
#include <optional>

#include "stage/StageFrames.h"
#include "window/Form.h"

namespace shiori {

class StagePlayer;

// The client area: plays the core's stage letter-boxed at its aspect ratio and reports presses in stage pixels.
class StageWidget : public QWidget {
 public:
  explicit StageWidget(StagePlayer& player, QWidget* parent = nullptr);

  // Where the stage lies in this widget, in logical pixels.
  [[nodiscard]] QRectF StageRect() const;
  // Lays the stage out from `form` and repaints what changed since the last frame, at once: while a page types this
  // runs once per character, and a repaint posted for later would cost the event loop a wake-up of its own.
  void ShowStage(const Form& form);
  // The display list on screen; an empty stage before the first frame.
  [[nodiscard]] const stage::DisplayList& Shown() const;
  // The size the window opens at: `scale` window pixels per stage pixel.
  void SetPreferredScale(int scale);
  [[nodiscard]] QSize sizeHint() const override;
  // The story's newest text for screen readers: the stage's accessible name, announced as it changes.
  void Announce(const QString& text);

  std::function<void(QPoint stage, int button)> Pressed;     // button 1 left, 2 right, 4 middle
  std::function<void(int notches)> Wheel;                    // whole notches, up negative
  std::function<void(std::optional<QPoint> stage)> Hovered;  // none when the pointer leaves the stage
  std::function<void()> Painted;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  StagePlayer& player_;
  stage::StageFrames frames_;
  int preferred_scale_ = 1;
  int wheel_travel_ = 0;
};

}  // namespace shiori
