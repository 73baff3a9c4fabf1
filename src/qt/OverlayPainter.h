#pragma once

#include "window/Form.h"

class QPainter;

namespace shiori {

// Draws the comforts' overlay over the stage, in stage pixels: the hover and focus marks, the text history over a
// dimmed stage, the auto/skip indicator and the notice. Part of every paint, so screenshots show it too.
void PaintOverlay(const Form& form, QPainter& painter);

// Whether the overlay keeps `widget` out of sight (the message lines and the arrow while the text is hidden).
[[nodiscard]] bool HiddenByOverlay(const Form& form, const Widget& widget);

}  // namespace shiori
