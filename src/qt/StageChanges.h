#pragma once

#include <QRect>
#include <optional>
#include <string>
#include <vector>

#include "window/Form.h"

namespace shiori {

// Finds what part of the stage a change of the model touched, so that the window repaints only that: while a page
// types, one message line changes per character and only its rectangle is drawn again.
class StageChanges {
 public:
  // Stage rectangles that may look different since the last call: the whole stage the first time and whenever a
  // layer or the window's picture changed, else the old and new rectangles of every widget that changed.
  [[nodiscard]] std::vector<QRect> Take(const Form& form);

 private:
  struct WidgetLook {
    bool visible;
    std::string caption;
    Rgb fore;
    std::optional<Rgb> back;
    Rect bounds;
    double font;
    bool bold;
    Alignment alignment;
    bool border;
    bool operator==(const WidgetLook&) const = default;
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

  [[nodiscard]] static Look Capture(const Form& form);

  std::optional<Look> last_;
};

}  // namespace shiori
