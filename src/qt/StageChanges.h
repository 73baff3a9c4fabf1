#pragma once

#include <QRect>
#include <optional>
#include <string>
#include <vector>

#include "window/Form.h"

namespace shiori {

class StagePainter;

// Finds what part of the stage a change of the model touched, so that the window repaints only that: while a page
// types, one character appears at a time and only its glyph is drawn again.
class StageChanges {
 public:
  // The painter tells where a growing text's new characters lie.
  explicit StageChanges(StagePainter& painter) : painter_(painter) {}

  // Stage rectangles that may look different since the last call: the whole stage the first time and whenever a
  // layer or the window's picture changed, else where the glyphs added to a text lie, or the old and new
  // rectangles of every other widget that changed.
  [[nodiscard]] std::vector<QRect> Take(const Form& form);

 private:
  // How a widget looks apart from its text, kept apart so that most widgets, unchanged, are compared without
  // copying their text.
  struct WidgetFrame {
    bool visible;
    Rgb fore;
    std::optional<Rgb> back;
    Rect bounds;
    double font;
    bool bold;
    Alignment alignment;
    bool border;
    bool operator==(const WidgetFrame&) const = default;
  };
  struct WidgetLook {
    std::string caption;
    WidgetFrame frame;
  };
  struct LayerLook {
    bool visible;
    std::optional<std::string> picture;
    bool missing;
    bool operator==(const LayerLook&) const = default;
  };
  struct Look {
    std::vector<LayerLook> layers;  // the four layers, then the window's own picture
    std::vector<WidgetLook> widgets;
    Overlay overlay;
  };

  [[nodiscard]] static std::vector<LayerLook> LayersOf(const Form& form);
  [[nodiscard]] static WidgetFrame FrameOf(const Widget& widget);
  [[nodiscard]] static Look Capture(const Form& form);
  // Where `widget` looks different now that it has gone from `before` to `after`: its new characters' glyphs when
  // only its text grew, else where it was and where it is.
  void AddChange(const Widget& widget, const WidgetLook& before, const WidgetLook& after, std::vector<QRect>& changed);

  StagePainter& painter_;
  std::optional<Look> last_;
};

}  // namespace shiori
