#include "window/Widget.h"

#include <utility>

namespace shiori {

Widget::Widget(std::string name, Layer* layer, const Design& design, ChangeListener& listener)
    : name_(std::move(name)),
      layer_(layer),
      kind_(design.kind),
      caption_(design.caption),
      visible_(design.visible),
      fore_(design.fore),
      back_(design.back),
      bounds_(design.bounds),
      font_(design.font),
      bold_(design.bold),
      alignment_(design.alignment),
      border_(design.border),
      listener_(listener) {
  if (layer_ != nullptr) layer_->Add(*this);
}

bool Widget::Shown() const { return visible_ && (layer_ == nullptr || layer_->visible()); }

template <class T>
void Widget::Change(T& field, T value) {
  if (field == value) return;
  field = std::move(value);
  listener_.Changed();
}

void Widget::SetCaption(std::string caption) { Change(caption_, std::move(caption)); }
void Widget::SetVisible(bool visible) { Change(visible_, visible); }
void Widget::SetEnabled(bool enabled) { Change(enabled_, enabled); }
void Widget::SetFore(Rgb colour) { Change(fore_, colour); }
void Widget::SetBack(std::optional<Rgb> colour) { Change(back_, colour); }
void Widget::SetFont(double points) { Change(font_, points); }
void Widget::SetLeft(int left) { Change(bounds_.left, left); }
void Widget::SetTop(int top) { Change(bounds_.top, top); }
void Widget::SetWidth(int width) { Change(bounds_.width, width); }
void Widget::SetHeight(int height) { Change(bounds_.height, height); }

Layer::Layer(std::string name, Rect bounds, Rgb back, bool visible, ChangeListener& listener)
    : name_(std::move(name)), bounds_(bounds), back_(back), visible_(visible), listener_(listener) {}

void Layer::SetVisible(bool visible) {
  if (visible_ == visible) return;
  visible_ = visible;
  listener_.Changed();
}

void Layer::SetPicture(std::string relative_name, bool missing) {
  picture_ = std::move(relative_name);
  picture_missing_ = missing;
  listener_.Changed();
}

MenuItem::MenuItem(std::string name, std::string caption, MenuItem* parent, std::string shortcut,
                   ChangeListener& listener)
    : name_(std::move(name)),
      caption_(std::move(caption)),
      parent_(parent),
      shortcut_(std::move(shortcut)),
      listener_(listener) {
  if (parent_ != nullptr) parent_->children_.push_back(this);
}

void MenuItem::SetCaption(std::string caption) {
  if (caption_ == caption) return;
  caption_ = std::move(caption);
  listener_.Changed();
}

void MenuItem::SetChecked(bool checked) {
  if (checked_ == checked) return;
  checked_ = checked;
  listener_.Changed();
}

void MenuItem::SetEnabled(bool enabled) {
  if (enabled_ == enabled) return;
  enabled_ = enabled;
  listener_.Changed();
}

}  // namespace shiori
