#pragma once

#include <map>
#include <string>
#include <vector>

#include "stage/DisplayList.h"
#include "stage/TextLayout.h"
#include "window/Form.h"

namespace shiori::stage {

// Turns the window model and the comforts' overlay into the display list every shell plays: layers with their
// back colours and pictures, each widget's fill, border and text, the overlay's marks, history and notices. This
// is the one place that decides where anything lands on the stage.
class StageLayout {
 public:
  static constexpr float kWidth = Form::kClientWidth;
  static constexpr float kHeight = Form::kClientHeight;

  [[nodiscard]] DisplayList Lay(const Form& form);

 private:
  void LayWindowPicture(const Form& form, DisplayList& list);
  void LayLayer(const Form& form, const Layer& layer, std::uint32_t layer_index, DisplayList& list);
  void LayWidget(const Widget& widget, std::uint32_t widget_index, DisplayList& list);
  // The items of a widget's text in `box`.
  [[nodiscard]] const std::vector<Item>& TextOf(const Widget& widget, std::uint32_t widget_index, const Box& box);

  // A widget's text keeps its items until its caption, style, box or colour change: while a page types, only the
  // line that grows is laid out again, and only its glyphs are measured.
  struct CachedText {
    std::string caption;
    TextStyle style;
    Box box;
    Argb colour = 0;
    bool bold = false;
    std::vector<Item> items;
  };
  std::map<const Widget*, CachedText> texts_;
};

// Where glyph `index` of `run` may leave ink: its cell, as far as the font's outline reaches past it, a pixel more
// all round for antialiasing and one more to the right for a bold's second stroke.
[[nodiscard]] Box GlyphReach(const GlyphRun& run, std::size_t index);

// Points are measured at 96 dots per inch, as the stage's layout was (20.25 pt = 27 px).
[[nodiscard]] float PointsToPixels(double points);

// The widgets the overlay hides: the message lines and the arrow, while the reader looks at the picture.
[[nodiscard]] bool HiddenByOverlay(const Form& form, const Widget& widget);

}  // namespace shiori::stage
