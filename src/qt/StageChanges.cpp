#include "qt/StageChanges.h"

#include "qt/StagePainter.h"

namespace shiori {
namespace {

QRect ToQRect(const Rect& r) { return QRect(r.left, r.top, r.width, r.height); }

}  // namespace

std::vector<StageChanges::LayerLook> StageChanges::LayersOf(const Form& form) {
  std::vector<LayerLook> layers;
  for (const Layer* layer : {&form.Picture1, &form.Picture2, &form.Picture3, &form.Picture4}) {
    layers.push_back({layer->visible(), layer->picture(), layer->picture_missing()});
  }
  layers.push_back({true, form.picture(), form.picture_missing()});
  return layers;
}

StageChanges::WidgetFrame StageChanges::FrameOf(const Widget& w) {
  return {w.visible(), w.fore(), w.back(), w.bounds(), w.font(), w.bold(), w.alignment(), w.border()};
}

StageChanges::Look StageChanges::Capture(const Form& form) {
  Look look{LayersOf(form), {}, form.overlay()};
  for (const Widget* w : form.widgets()) look.widgets.push_back({w->caption(), FrameOf(*w)});
  return look;
}

std::vector<QRect> StageChanges::Take(const Form& form) {
  const QRect stage(0, 0, StagePainter::kWidth, StagePainter::kHeight);
  const std::vector<Widget*>& widgets = form.widgets();
  // The overlay lies over everything (the history dims the whole stage), so a change to it redraws it all.
  if (!last_ || last_->layers != LayersOf(form) || last_->widgets.size() != widgets.size() ||
      !(last_->overlay == form.overlay())) {
    last_ = Capture(form);
    return {stage};
  }
  std::vector<QRect> changed;
  for (std::size_t i = 0; i < widgets.size(); ++i) {
    WidgetLook& shown = last_->widgets[i];
    const Widget& widget = *widgets[i];
    WidgetFrame frame = FrameOf(widget);
    if (shown.frame == frame && shown.caption == widget.caption()) continue;
    WidgetLook now{widget.caption(), frame};
    const Layer* layer = widget.layer();
    // Developer controls lie outside the stage; widgets of a hidden layer are not on screen.
    if (layer != nullptr && layer->visible()) AddChange(widget, shown, now, changed);
    shown = std::move(now);
  }
  return changed;
}

void StageChanges::AddChange(const Widget& widget, const WidgetLook& before, const WidgetLook& after,
                             std::vector<QRect>& changed) {
  const QRect stage(0, 0, StagePainter::kWidth, StagePainter::kHeight);
  if (before.frame.visible && before.frame == after.frame && after.caption.starts_with(before.caption)) {
    if (const std::optional<QRect> cells = painter_.GrownText(widget, before.caption)) {
      if (!cells->intersected(stage).isEmpty()) changed.push_back(cells->intersected(stage));
      return;
    }
  }
  const QRect was = ToQRect(before.frame.bounds).intersected(stage);
  const QRect is = ToQRect(after.frame.bounds).intersected(stage);
  if (!was.isEmpty()) changed.push_back(was);
  if (!is.isEmpty() && is != was) changed.push_back(is);
}

}  // namespace shiori
