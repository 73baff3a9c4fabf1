#pragma once

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "window/Overlay.h"
#include "window/Scheduler.h"
#include "window/Timer.h"
#include "window/Widget.h"

namespace shiori {

// The main window `frmMAIN` as data: four full-window layers with their widgets, the developer controls outside
// the client area, the menu bar and the three timers, all in their start state. The story logic changes them
// through their setters and attaches its handlers to their events; the shells draw them and deliver input here.
class Form : private ChangeListener {
 public:
  static constexpr int kClientWidth = 640;
  static constexpr int kClientHeight = 400;

  explicit Form(Scheduler& scheduler);
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;
  ~Form() override;

  // Layers, from the bottom of the stacking order up: story, menus, settings, gallery.
  Layer Picture1;
  Layer Picture2;
  Layer Picture3;
  Layer Picture4;

  // Story layer.
  Widget* lblFRONT;
  Widget* lblSANKAKU;
  std::array<Widget*, 4> lblSEL;
  std::array<Widget*, 12> lbl1;
  // Menu layer.
  std::array<Widget*, 7> lblMLT;
  // Settings layer.
  Widget* Label6;
  Widget* lblMOJI_F;
  Widget* lblMOJI_N;
  Widget* lblMOJI_S;
  Widget* Label7;
  Widget* lblSYOK;
  Widget* Label8;
  // Gallery layer.
  Widget* lblRUI;
  Widget* lblSUMI;
  Widget* lblNAGI;
  std::array<Widget*, 3> lblCG;
  // Developer controls, outside the client area.
  Widget* Command1;
  Widget* Command2;
  Widget* Command3;
  Widget* comDES;
  Widget* txtDES;
  Widget* Label2;
  Widget* Label3;

  // Menu bar.
  MenuItem menuCONF;
  MenuItem menuBGM;
  MenuItem menuNEXT;
  MenuItem menuSYUURYOU;
  MenuItem menuTITLE;
  MenuItem menuEND;
  MenuItem menuRIGHT;
  std::array<std::unique_ptr<MenuItem>, 4> menuSAVE;  // [1] .. [3], numbered as the items are; [0] is empty
  MenuItem menuEND2;

  Timer timBGM;
  Timer timEND;
  Timer timYAZIRUSI;

  // The bare window: its click (after the ending), load and unload.
  MouseTarget window_events;
  std::function<void()> Load;
  std::function<void()> Unload;

  // Every press reaches this first: a comfort that takes it (closing the history, showing hidden text) returns
  // true and the press goes no further. `at` is the point for a press at a point of the client area.
  struct PressEvent {
    int button;
    std::optional<std::pair<int, int>> at;
  };
  std::function<bool(const PressEvent&)> BeforePress;
  // Told when a press has been delivered: the screen may have changed under the overlay.
  std::function<void()> AfterPress;

  // What the comforts show over the stage.
  [[nodiscard]] const Overlay& overlay() const { return overlay_; }
  void SetOverlay(Overlay overlay);

  // The window's own picture under the layers: none means the design picture stored with the window.
  [[nodiscard]] const std::optional<std::string>& picture() const { return picture_; }
  [[nodiscard]] bool picture_missing() const { return picture_missing_; }
  void SetPicture(std::string relative_name, bool missing);

  [[nodiscard]] std::array<Layer*, 4> LayersBottomUp() { return {&Picture1, &Picture2, &Picture3, &Picture4}; }
  [[nodiscard]] const std::vector<Widget*>& widgets() const { return widget_order_; }
  [[nodiscard]] std::vector<MenuItem*> MenuItems() const;  // top level first, each followed by its items
  [[nodiscard]] std::array<Timer*, 3> Timers() { return {&timBGM, &timEND, &timYAZIRUSI}; }

  [[nodiscard]] Widget* FindWidget(std::string_view name) const;
  [[nodiscard]] Layer* FindLayer(std::string_view name);
  [[nodiscard]] MenuItem* FindMenuItem(std::string_view name) const;
  // The item whose shortcut is `keys` ("ctrl+w", any case).
  [[nodiscard]] MenuItem* FindShortcut(std::string_view keys) const;

  // Input, delivered as the window delivers it. A widget that is hidden, disabled or on a hidden layer receives
  // nothing. A press raises mouse-down with the button and then, for the left button, the click, provided the
  // target still takes input.
  void Press(Widget& widget, int button);
  void Press(Layer& layer, int button);
  void PressWindow(int button);
  // A press on the widget or layer of that name, or on the window ("Form"). False when no such name exists.
  [[nodiscard]] bool PressByName(std::string_view name, int button);
  // At a point of the client area: the top-most shown widget there (a disabled one hands the press to its
  // layer), else the top-most visible layer, else the window itself.
  void PressAt(int x, int y, int button);
  // A menu item is chosen only while it and its parent are enabled.
  void Choose(MenuItem& item);

  // Counts every change to what the window shows; a shell repaints when it moves.
  [[nodiscard]] std::uint64_t change_count() const { return change_count_; }

 private:
  void Changed() override { ++change_count_; }
  ChangeListener& Listener() { return *this; }
  Widget* Make(std::string name, Layer* layer, const Widget::Design& design);
  void BuildStoryLayer();
  void BuildMenuLayer();
  void BuildSettingsLayer();
  void BuildGalleryLayer();
  void BuildDeveloperControls();
  [[nodiscard]] bool Intercepted(const PressEvent& press) const { return BeforePress && BeforePress(press); }
  void DeliverAt(int x, int y, int button);
  static void Deliver(MouseTarget& target, int button, const std::function<bool()>& takes_input);

  std::vector<std::unique_ptr<Widget>> widgets_;
  std::vector<Widget*> widget_order_;
  std::array<MenuItem*, 4> top_level_{};
  Overlay overlay_;
  std::optional<std::string> picture_;
  bool picture_missing_ = false;
  std::uint64_t change_count_ = 0;
};

}  // namespace shiori
