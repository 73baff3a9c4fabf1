#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace shiori {

// Colours are 24-bit RRGGBB values.
using Rgb = std::uint32_t;
constexpr Rgb kBlack = 0x000000;
constexpr Rgb kWhite = 0xFFFFFF;

struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;

  [[nodiscard]] bool Contains(int x, int y) const {
    return x >= left && y >= top && x < left + width && y < top + height;
  }
  bool operator==(const Rect&) const = default;
};

enum class WidgetKind { Label, Button, TextBox };
enum class Alignment { Left, Centre };

// Mouse buttons as the window reports them.
enum MouseButton : int { kLeftButton = 1, kRightButton = 2, kMiddleButton = 4 };

class Layer;

// Something the reader can press: a widget, a layer or the bare window. A press raises MouseDown with the button,
// then, for the left button, Click.
struct MouseTarget {
  std::function<void(int button)> MouseDown;
  std::function<void()> Click;
};

// Notified of every change to what the window shows, so that a shell repaints only what changed.
class ChangeListener {
 public:
  virtual ~ChangeListener() = default;
  virtual void Changed() = 0;
};

// A label, button or text box of the window, under its name in the story ("lbl1(3)", "lblSEL(0)", "comDES").
// Changes go through the setters so that the shells learn of them.
class Widget : public MouseTarget {
 public:
  struct Design {
    WidgetKind kind = WidgetKind::Label;
    std::string caption;
    Rect bounds;
    Rgb fore = kBlack;
    std::optional<Rgb> back;  // none: transparent
    double font = 9;          // points
    bool bold = false;
    Alignment alignment = Alignment::Left;
    bool border = false;
    bool visible = true;
  };

  Widget(std::string name, Layer* layer, const Design& design, ChangeListener& listener);
  Widget(const Widget&) = delete;
  Widget& operator=(const Widget&) = delete;

  [[nodiscard]] const std::string& name() const { return name_; }
  [[nodiscard]] Layer* layer() const { return layer_; }
  [[nodiscard]] WidgetKind kind() const { return kind_; }
  [[nodiscard]] const std::string& caption() const { return caption_; }
  [[nodiscard]] bool visible() const { return visible_; }
  [[nodiscard]] bool enabled() const { return enabled_; }
  [[nodiscard]] Rgb fore() const { return fore_; }
  [[nodiscard]] std::optional<Rgb> back() const { return back_; }
  [[nodiscard]] const Rect& bounds() const { return bounds_; }
  [[nodiscard]] double font() const { return font_; }
  [[nodiscard]] bool bold() const { return bold_; }
  [[nodiscard]] Alignment alignment() const { return alignment_; }
  [[nodiscard]] bool border() const { return border_; }

  // Shown on screen: visible itself and on a visible layer (window-level widgets have no layer).
  [[nodiscard]] bool Shown() const;
  // Takes mouse input: shown and enabled.
  [[nodiscard]] bool TakesInput() const { return Shown() && enabled_; }

  void SetCaption(std::string caption);
  void SetVisible(bool visible);
  void SetEnabled(bool enabled);
  void SetFore(Rgb colour);
  void SetBack(std::optional<Rgb> colour);
  void SetFont(double points);
  void SetLeft(int left);
  void SetTop(int top);
  void SetWidth(int width);
  void SetHeight(int height);

 private:
  template <class T>
  void Change(T& field, T value);

  std::string name_;
  Layer* layer_;
  WidgetKind kind_;
  std::string caption_;
  bool visible_;
  bool enabled_ = true;
  Rgb fore_;
  std::optional<Rgb> back_;
  Rect bounds_;
  double font_;
  bool bold_;
  Alignment alignment_;
  bool border_;
  ChangeListener& listener_;
};

// One of the four full-window picture boxes (`Picture1` .. `Picture4`). Its widgets are listed from the top of
// the stacking order down. The picture is the name the story built ("data/0001.rgd"); `picture_missing` says the
// file could not be loaded, and the layer then shows plain black.
class Layer : public MouseTarget {
 public:
  Layer(std::string name, Rect bounds, Rgb back, bool visible, ChangeListener& listener);
  Layer(const Layer&) = delete;
  Layer& operator=(const Layer&) = delete;

  [[nodiscard]] const std::string& name() const { return name_; }
  [[nodiscard]] const Rect& bounds() const { return bounds_; }
  [[nodiscard]] Rgb back() const { return back_; }
  [[nodiscard]] bool visible() const { return visible_; }
  [[nodiscard]] const std::optional<std::string>& picture() const { return picture_; }
  [[nodiscard]] bool picture_missing() const { return picture_missing_; }
  [[nodiscard]] const std::vector<Widget*>& widgets() const { return widgets_; }

  void SetVisible(bool visible);
  void SetPicture(std::string relative_name, bool missing);
  void Add(Widget& widget) { widgets_.push_back(&widget); }

 private:
  std::string name_;
  Rect bounds_;
  Rgb back_;
  bool visible_;
  std::optional<std::string> picture_;
  bool picture_missing_ = false;
  std::vector<Widget*> widgets_;
  ChangeListener& listener_;
};

// An item of the menu bar. A top-level item with no children is itself a command (`menuNEXT`).
class MenuItem {
 public:
  MenuItem(std::string name, std::string caption, MenuItem* parent, std::string shortcut, ChangeListener& listener);
  MenuItem(const MenuItem&) = delete;
  MenuItem& operator=(const MenuItem&) = delete;

  [[nodiscard]] const std::string& name() const { return name_; }
  [[nodiscard]] const std::string& caption() const { return caption_; }
  [[nodiscard]] bool checked() const { return checked_; }
  [[nodiscard]] bool enabled() const { return enabled_; }
  [[nodiscard]] MenuItem* parent() const { return parent_; }
  [[nodiscard]] const std::string& shortcut() const { return shortcut_; }  // "Ctrl+W" or ""
  [[nodiscard]] const std::vector<MenuItem*>& children() const { return children_; }
  // Can be chosen: enabled, and its parent too.
  [[nodiscard]] bool Available() const { return enabled_ && (parent_ == nullptr || parent_->enabled()); }

  void SetCaption(std::string caption);
  void SetChecked(bool checked);
  void SetEnabled(bool enabled);

  std::function<void()> Click;

 private:
  std::string name_;
  std::string caption_;
  bool checked_ = false;
  bool enabled_ = true;
  MenuItem* parent_;
  std::string shortcut_;
  std::vector<MenuItem*> children_;
  ChangeListener& listener_;
};

}  // namespace shiori
