#include "window/Form.h"

#include <algorithm>
#include <cctype>

namespace shiori {
namespace {

constexpr Rgb kStoryGrey = 0xC0C0C0;
constexpr Rgb kMenuGrey = 0xE0E0E0;
constexpr Rgb kDarkGrey = 0x404040;
constexpr Rgb kSpeedGrey = 0x808080;
constexpr double kStoryFont = 20.25;

std::string Indexed(std::string_view name, int index) { return std::string(name) + "(" + std::to_string(index) + ")"; }

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
  });
}

}  // namespace

Form::Form(Scheduler& scheduler)
    : Picture1("Picture1", {0, 0, 640, 536}, kStoryGrey, true, *this),
      Picture2("Picture2", {0, 0, 640, 400}, kMenuGrey, true, *this),
      Picture3("Picture3", {0, 0, 641, 401}, kBlack, false, *this),
      Picture4("Picture4", {0, 0, 641, 401}, kDarkGrey, false, *this),
      menuCONF("menuCONF", "環境設定(&C)", nullptr, "", *this),
      menuBGM("menuBGM", "音楽演奏", &menuCONF, "", *this),
      menuNEXT("menuNEXT", "次の選択肢までとばす(&J)", nullptr, "", *this),
      menuSYUURYOU("menuSYUURYOU", "終了(&Q)", nullptr, "", *this),
      menuTITLE("menuTITLE", "タイトルに戻る", &menuSYUURYOU, "", *this),
      menuEND("menuEND", "ゲーム終了", &menuSYUURYOU, "", *this),
      menuRIGHT("menuRIGHT", "クイックセーブ(&S)", nullptr, "", *this),
      menuSAVE{nullptr, std::make_unique<MenuItem>("menuSAVE(1)", "データ１", &menuRIGHT, "Ctrl+W", Listener()),
               std::make_unique<MenuItem>("menuSAVE(2)", "データ２", &menuRIGHT, "Ctrl+S", Listener()),
               std::make_unique<MenuItem>("menuSAVE(3)", "データ３", &menuRIGHT, "Ctrl+X", Listener())},
      menuEND2("menuEND2", "ゲーム終了", &menuRIGHT, "", *this),
      timBGM("timBGM", 0, scheduler),
      timEND("timEND", 9000, scheduler),
      timYAZIRUSI("timYAZIRUSI", 500, scheduler) {
  top_level_ = {&menuCONF, &menuNEXT, &menuSYUURYOU, &menuRIGHT};
  menuBGM.SetChecked(true);
  BuildStoryLayer();
  BuildMenuLayer();
  BuildSettingsLayer();
  BuildGalleryLayer();
  BuildDeveloperControls();
  change_count_ = 0;
}

Form::~Form() = default;

Widget* Form::Make(std::string name, Layer* layer, const Widget::Design& design) {
  widgets_.push_back(std::make_unique<Widget>(std::move(name), layer, design, Listener()));
  widget_order_.push_back(widgets_.back().get());
  return widgets_.back().get();
}

// Widgets of each layer are made from the top of its stacking order down.
void Form::BuildStoryLayer() {
  lblFRONT = Make("lblFRONT", &Picture1, {.bounds = {0, 408, 641, 393}});
  lblSANKAKU = Make("lblSANKAKU", &Picture1, {.bounds = {568, 360, 41, 41}, .fore = kWhite, .font = kStoryFont});
  const std::array<Rect, 4> choice_bounds = {Rect{56, 32, 425, 26}, Rect{56, 96, 425, 65}, Rect{56, 168, 425, 65},
                                             Rect{56, 248, 425, 65}};
  for (int i = 3; i >= 0; --i) {
    lblSEL[i] =
        Make(Indexed("lblSEL", i), &Picture1,
             {.caption = Indexed("lblSEL", i), .bounds = choice_bounds[i], .font = kStoryFont, .visible = false});
  }
  for (int k = 0; k < 12; ++k) {
    // The lines lie 32 pixels apart, but for two that the layout nudged up by one pixel and two one pixel narrower.
    const int top = (k == 4 || k == 9) ? 7 + 32 * k : 8 + 32 * k;
    const int width = (k == 2 || k == 9) ? 616 : 617;
    lbl1[k] = Make(Indexed("lbl1", k), &Picture1,
                   {.bounds = {16, top, width, 33}, .fore = kWhite, .font = kStoryFont, .bold = true});
  }
}

void Form::BuildMenuLayer() {
  struct Entry {
    const char* caption;
    Rect bounds;
    Rgb fore;
    double font;
    Alignment alignment;
    bool border;
  };
  const std::array<Entry, 7> entries = {{
      {"▽ロードする▽", {40, 128, 249, 25}, kStoryGrey, 14.25, Alignment::Centre, false},
      {"▽セーブする▽", {40, 160, 249, 25}, kWhite, 14.25, Alignment::Centre, false},
      {"▽次の選択肢まで飛ばす▽", {40, 248, 249, 25}, kWhite, 14.25, Alignment::Centre, false},
      {"▽前の画面に戻る▽", {40, 296, 249, 25}, kWhite, 14.25, Alignment::Centre, false},
      {"24回", {183, 94, 89, 17}, kWhite, 9, Alignment::Centre, false},
      {"タイトル画面に戻る", {80, 336, 121, 17}, kBlack, 9, Alignment::Centre, true},
      {"β版ではロードデータ　その１しかご利用になれません。",
       {360, 344, 273, 41},
       kWhite,
       9.75,
       Alignment::Left,
       false},
  }};
  for (int i = 0; i < 7; ++i) {
    const Entry& e = entries[i];
    lblMLT[i] = Make(Indexed("lblMLT", i), &Picture2,
                     {.caption = e.caption,
                      .bounds = e.bounds,
                      .fore = e.fore,
                      .font = e.font,
                      .bold = true,
                      .alignment = e.alignment,
                      .border = e.border,
                      .visible = false});
  }
}

void Form::BuildSettingsLayer() {
  const auto heading = [](const char* caption, Rect bounds) {
    return Widget::Design{.caption = caption, .bounds = bounds, .fore = kWhite, .font = 12};
  };
  const auto button = [](const char* caption, Rect bounds, Rgb fore, double font) {
    return Widget::Design{.caption = caption,
                          .bounds = bounds,
                          .fore = fore,
                          .back = kDarkGrey,
                          .font = font,
                          .alignment = Alignment::Centre,
                          .border = true};
  };
  Label6 = Make("Label6", &Picture3, heading("◆文字の表示速度を選んでください◆", {192, 56, 257, 25}));
  lblMOJI_F = Make("lblMOJI_F", &Picture3, button("速い", {160, 96, 57, 33}, kSpeedGrey, 18));
  lblMOJI_N = Make("lblMOJI_N", &Picture3, button("普通", {288, 96, 57, 33}, kSpeedGrey, 18));
  lblMOJI_S = Make("lblMOJI_S", &Picture3, button("遅い", {416, 96, 57, 33}, kSpeedGrey, 18));
  Label7 = Make("Label7", &Picture3, heading("◆セーブデータの初期化を行います◆", {184, 184, 257, 25}));
  lblSYOK = Make("lblSYOK", &Picture3, button("すべてのデータを初期化する", {128, 232, 377, 33}, kWhite, 18));
  Label8 = Make("Label8", &Picture3, button("前の画面に戻る", {240, 336, 169, 25}, kWhite, 12));
}

void Form::BuildGalleryLayer() {
  lblRUI = Make("lblRUI", &Picture4, {.bounds = {56, 296, 153, 33}});
  lblSUMI = Make("lblSUMI", &Picture4, {.bounds = {248, 328, 145, 33}});
  lblNAGI = Make("lblNAGI", &Picture4, {.bounds = {432, 296, 153, 33}});
  const std::array<Rect, 3> progress_bounds = {Rect{64, 336, 137, 17}, Rect{248, 368, 145, 17},
                                               Rect{432, 336, 145, 17}};
  const std::array<const char*, 3> progress_captions = {"", "-攻略中-", "-攻略中-"};
  for (int r = 0; r < 3; ++r) {
    lblCG[r] = Make(Indexed("lblCG", r), &Picture4,
                    {.caption = progress_captions[r],
                     .bounds = progress_bounds[r],
                     .fore = kWhite,
                     .alignment = Alignment::Centre});
  }
}

void Form::BuildDeveloperControls() {
  const auto control = [](WidgetKind kind, const char* caption, Rect bounds) {
    return Widget::Design{.kind = kind, .caption = caption, .bounds = bounds, .back = kStoryGrey};
  };
  Command1 = Make("Command1", nullptr, control(WidgetKind::Button, "Command1", {48, 456, 81, 17}));
  Command2 = Make("Command2", nullptr, control(WidgetKind::Button, "Command2", {712, 64, 65, 41}));
  Command3 = Make("Command3", nullptr, control(WidgetKind::Button, "逆初期化", {688, 272, 57, 25}));
  comDES = Make("comDES", nullptr, control(WidgetKind::Button, "シーンスキップ", {688, 232, 89, 25}));
  txtDES = Make("txtDES", nullptr,
                {.kind = WidgetKind::TextBox, .caption = "0001", .bounds = {688, 168, 89, 41}, .back = kWhite});
  Label2 = Make("Label2", nullptr, {.caption = "Label2", .bounds = {8, 408, 225, 25}});
  Label3 = Make("Label3", nullptr, {.caption = "Label3", .bounds = {656, 56, 81, 33}});
}

void Form::SetPicture(std::string relative_name, bool missing) {
  picture_ = std::move(relative_name);
  picture_missing_ = missing;
  Changed();
}

std::vector<MenuItem*> Form::MenuItems() const {
  std::vector<MenuItem*> items;
  for (MenuItem* top : top_level_) {
    items.push_back(top);
    for (MenuItem* child : top->children()) items.push_back(child);
  }
  return items;
}

Widget* Form::FindWidget(std::string_view name) const {
  const auto found =
      std::find_if(widget_order_.begin(), widget_order_.end(), [&](const Widget* w) { return w->name() == name; });
  return found == widget_order_.end() ? nullptr : *found;
}

Layer* Form::FindLayer(std::string_view name) {
  for (Layer* layer : LayersBottomUp()) {
    if (layer->name() == name) return layer;
  }
  return nullptr;
}

MenuItem* Form::FindMenuItem(std::string_view name) const {
  for (MenuItem* item : MenuItems()) {
    if (item->name() == name) return item;
  }
  return nullptr;
}

MenuItem* Form::FindShortcut(std::string_view keys) const {
  for (MenuItem* item : MenuItems()) {
    if (!item->shortcut().empty() && EqualsIgnoringCase(item->shortcut(), keys)) return item;
  }
  return nullptr;
}

void Form::Deliver(MouseTarget& target, int button, const std::function<bool()>& takes_input) {
  if (!takes_input()) return;
  if (target.MouseDown) target.MouseDown(button);
  if (button == kLeftButton && takes_input() && target.Click) target.Click();
}

void Form::Press(Widget& widget, int button) {
  if (Intercepted({button, std::nullopt})) return;
  Deliver(widget, button, [&widget] { return widget.TakesInput(); });
  if (AfterPress) AfterPress();
}

void Form::Press(Layer& layer, int button) {
  if (Intercepted({button, std::nullopt})) return;
  Deliver(layer, button, [&layer] { return layer.visible(); });
  if (AfterPress) AfterPress();
}

void Form::PressWindow(int button) {
  if (Intercepted({button, std::nullopt})) return;
  Deliver(window_events, button, [] { return true; });
  if (AfterPress) AfterPress();
}

bool Form::PressByName(std::string_view name, int button) {
  if (name == "Form") {
    PressWindow(button);
  } else if (Widget* widget = FindWidget(name)) {
    Press(*widget, button);
  } else if (Layer* layer = FindLayer(name)) {
    Press(*layer, button);
  } else {
    return false;
  }
  return true;
}

void Form::PressAt(int x, int y, int button) {
  if (Intercepted({button, std::pair{x, y}})) return;
  DeliverAt(x, y, button);
  if (AfterPress) AfterPress();
}

void Form::DeliverAt(int x, int y, int button) {
  const auto layers = LayersBottomUp();
  for (auto layer = layers.rbegin(); layer != layers.rend(); ++layer) {
    if (!(*layer)->visible() || !(*layer)->bounds().Contains(x, y)) continue;
    for (Widget* widget : (*layer)->widgets()) {
      if (!widget->visible() || !widget->bounds().Contains(x, y)) continue;
      if (widget->enabled()) {
        Deliver(*widget, button, [widget] { return widget->TakesInput(); });
        return;
      }
      break;  // a disabled widget hands the press to its layer
    }
    Deliver(**layer, button, [layer] { return (*layer)->visible(); });
    return;
  }
  Deliver(window_events, button, [] { return true; });
}

void Form::SetOverlay(Overlay overlay) {
  if (overlay == overlay_) return;
  overlay_ = std::move(overlay);
  Changed();
}

void Form::Choose(MenuItem& item) {
  if (item.Available() && item.Click) item.Click();
}

}  // namespace shiori
