#include "qt/StageChanges.h"

#include "qt/StagePainter.h"

namespace shiori {
namespace {

QRect ToQRect(const Rect& r) { return QRect(r.left, r.top, r.width, r.height); }

}  // namespace

StageChanges::Look StageChanges::Capture(const Form& form) {
  Look look;
  for (const Layer* layer : {&form.Picture1, &form.Picture2, &form.Picture3, &form.Picture4}) {
    look.layers.push_back({layer->visible(), layer->picture(), layer->picture_missing()});
  }
  look.layers.push_back({true, form.picture(), form.picture_missing()});
  for (const Widget* w : form.widgets()) {
    look.widgets.push_back({w->visible(), w->caption(), w->fore(), w->back(), w->bounds(), w->font(), w->bold(),
                            w->alignment(), w->border()});
  }
  look.overlay = form.overlay();
  return look;
}

std::vector<QRect> StageChanges::Take(const Form& form) {
  Look now = Capture(form);
  const QRect stage(0, 0, StagePainter::kWidth, StagePainter::kHeight);
  std::vector<QRect> changed;
  // The overlay lies over everything (the history dims the whole stage), so a change to it redraws it all.
  if (!last_ || last_->layers != now.layers || last_->widgets.size() != now.widgets.size() ||
      !(last_->overlay == now.overlay)) {
    changed.push_back(stage);
  } else {
    for (std::size_t i = 0; i < now.widgets.size(); ++i) {
      const WidgetLook& before = last_->widgets[i];
      const WidgetLook& after = now.widgets[i];
      const Layer* layer = form.widgets()[i]->layer();
      // Developer controls lie outside the stage; widgets of a hidden layer are not on screen.
      if (before == after || layer == nullptr || !layer->visible()) continue;
      AddChange(*form.widgets()[i], before, after, changed);
    }
  }
  last_ = std::move(now);
  return changed;
}

void StageChanges::AddChange(const Widget& widget, const WidgetLook& before, const WidgetLook& after,
                             std::vector<QRect>& changed) {
  const QRect stage(0, 0, StagePainter::kWidth, StagePainter::kHeight);
  WidgetLook grown = before;
  grown.caption = after.caption;
  if (before.visible && grown == after && after.caption.starts_with(before.caption)) {
    if (const std::optional<QRect> cells = painter_.GrownText(widget, before.caption)) {
      if (!cells->intersected(stage).isEmpty()) changed.push_back(cells->intersected(stage));
      return;
    }
  }
  const QRect was = ToQRect(before.bounds).intersected(stage);
  const QRect is = ToQRect(after.bounds).intersected(stage);
  if (!was.isEmpty()) changed.push_back(was);
  if (!is.isEmpty() && is != was) changed.push_back(is);
}

}  // namespace shiori
