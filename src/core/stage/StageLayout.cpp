#include "stage/StageLayout.h"

#include <algorithm>
#include <cmath>

#include "comforts/Backlog.h"
#include "stage/StageFont.h"

namespace shiori::stage {
namespace {

constexpr Box kStage{0, 0, StageLayout::kWidth, StageLayout::kHeight};

// What an item belongs to, so that the same thing keeps its name from frame to frame.
enum class Source : std::uint32_t { Window = 1, Layer = 2, Widget = 3, Overlay = 4 };
std::uint32_t Owner(Source source, std::uint32_t index, std::uint32_t part = 0) {
  return static_cast<std::uint32_t>(source) << 24 | (index & 0xFFFF) << 8 | (part & 0xFF);
}

// The parts of a widget, and of the overlay.
// The border takes four parts, the text one per line.
enum WidgetPart : std::uint32_t { kBackPart = 0, kBorderPart = 1, kTextPart = 8 };
enum OverlayPart : std::uint32_t { kHoverPart, kFocusPart, kBacklogPart, kIndicatorPart, kNoticePart };

Box ToBox(const Rect& r) {
  return {static_cast<float>(r.left), static_cast<float>(r.top), static_cast<float>(r.width),
          static_cast<float>(r.height)};
}

void Add(DisplayList& list, std::uint32_t owner, const Box& bounds, Drawing drawing) {
  const Box shown = bounds.Intersected(kStage);
  if (!shown.empty()) list.items.push_back({owner, shown, std::move(drawing)});
}

void AddFill(DisplayList& list, std::uint32_t owner, const Box& box, Argb colour) {
  Add(list, owner, box, Fill{box, colour});
}

Box RunReach(const GlyphRun& run) {
  Box reach;
  for (std::size_t i = 0; i < run.glyphs.size(); ++i) reach = reach.United(GlyphReach(run, i));
  return reach.Intersected(run.clip);
}

void AddText(DisplayList& list, std::uint32_t owner, const std::vector<TextLine>& lines, float pixel_size, Argb colour,
             bool bold, const Box& clip) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const TextLine& line = lines[i];
    GlyphRun run{line.glyphs, line.baseline, pixel_size, line.squeeze, colour, bold, clip};
    const Box bounds = RunReach(run);
    Add(list, owner + static_cast<std::uint32_t>(i), bounds, std::move(run));
  }
}

enum class Side { Left, Centre, Right };

// One line of overlay text, cut short to fit and centred vertically in `box`.
void AddLabel(DisplayList& list, std::uint32_t owner, std::string_view text, float pixel_size, const Box& box,
              Side side, Argb colour) {
  const std::u32string shown = Elided(CodePoints(text), pixel_size, box.width);
  const float width = LineWidth(shown, pixel_size);
  const float left = side == Side::Centre ? box.x + (box.width - width) / 2
                     : side == Side::Left ? box.x
                                          : box.right() - width;
  TextLine line{{}, box.y + (box.height - LinePitch(pixel_size)) / 2 + BaselineInLine(pixel_size), 1, 0};
  float x = left;
  for (const char32_t c : shown) {
    line.glyphs.push_back({StageFont::Shown(c), x});
    x += StageFont::Advance(c) * pixel_size;
  }
  AddText(list, owner, {line}, pixel_size, colour, false, box);
}

// The window's own picture when the story has given it none: ours, a dark evening gradient with a ribbon.
void AddDesignBackground(DisplayList& list) {
  const std::uint32_t owner = Owner(Source::Window, 0);
  Add(list, owner, kStage,
      VerticalGradient{kStage, {{0.0f, Opaque(0x262a40)}, {0.6f, Opaque(0x121422)}, {1.0f, Opaque(0x06070c)}}});
  Add(list, owner + 1, {560, 0, 32, 120},
      Polygon{{{560, 0}, {592, 0}, {592, 120}, {576, 104}, {560, 120}}, 0x60a03040});
}

// The single border: a sunken one-pixel edge, visible on dark and light grounds alike.
void AddBorder(DisplayList& list, std::uint32_t owner, const Box& box) {
  constexpr Argb kShadow = Opaque(0x808080);
  constexpr Argb kLight = Opaque(0xFFFFFF);
  AddFill(list, owner, {box.x, box.y, box.width, 1}, kShadow);
  AddFill(list, owner + 1, {box.x, box.y, 1, box.height}, kShadow);
  AddFill(list, owner + 2, {box.x, box.bottom() - 1, box.width, 1}, kLight);
  AddFill(list, owner + 3, {box.right() - 1, box.y, 1, box.height}, kLight);
}

// --- the overlay ---

constexpr Argb kMarkColour = Opaque(0xffd88c);  // warm, like the lamp light of the menus
constexpr float kBacklogTop = 40;
constexpr float kBacklogPitch = 30;
constexpr float kBacklogLeft = 40;

std::uint32_t OverlayOwner(OverlayPart part, std::uint32_t index = 0) { return Owner(Source::Overlay, part, index); }

// A mark on a widget the reader can act on; none when the widget is out of sight or out of use by now.
const Widget* Marked(const Form& form, const std::optional<std::string>& name) {
  if (!name) return nullptr;
  const Widget* widget = form.FindWidget(*name);
  return widget != nullptr && widget->TakesInput() ? widget : nullptr;
}

void AddMarks(const Form& form, DisplayList& list) {
  if (const Widget* hovered = Marked(form, form.overlay().hover)) {
    AddFill(list, OverlayOwner(kHoverPart), ToBox(hovered->bounds()), 0x28FFFFFF);
  }
  if (const Widget* focused = Marked(form, form.overlay().focus)) {
    const Box around = ToBox(focused->bounds());
    const Box box{around.x - 3, around.y - 3, around.width + 6, around.height + 6};
    Add(list, OverlayOwner(kFocusPart), {box.x - 1, box.y - 1, box.width + 2, box.height + 2},
        RoundedBox{box, 4, 0, kMarkColour, 2});
  }
}

void AddBacklog(const Overlay& overlay, DisplayList& list) {
  std::uint32_t part = 0;
  const auto owner = [&] { return OverlayOwner(kBacklogPart, part++); };
  AddFill(list, owner(), kStage, 0xE8000010);
  constexpr Argb kCaption = Opaque(0xc0c0d0);
  AddLabel(list, owner(), "履歴", 12, {16, 8, 608, 24}, Side::Left, kCaption);
  AddLabel(list, owner(), "ホイール・↑↓・PageUp/Down で読み返す　Esc・右クリックで戻る", 12, {16, 372, 608, 20},
           Side::Right, kCaption);
  for (std::size_t i = 0; i < overlay.backlog_lines.size(); ++i) {
    const Box line{kBacklogLeft, kBacklogTop + static_cast<float>(i) * kBacklogPitch, 560, kBacklogPitch};
    AddLabel(list, owner(), overlay.backlog_lines[i], 20, line, Side::Left, Opaque(0xFFFFFF));
  }
  // Where the view lies in the whole history.
  const Box track{620, kBacklogTop, 4, Backlog::kVisibleLines * kBacklogPitch};
  AddFill(list, owner(), track, 0x32FFFFFF);
  constexpr float kThumb = 24;
  const float thumb_top = track.y + (track.height - kThumb) * static_cast<float>(overlay.backlog_position);
  AddFill(list, owner(), {track.x, thumb_top, track.width, kThumb}, kMarkColour);
}

// A small rounded box of text: the indicator in the bottom right corner, the notice at the bottom.
void AddTag(DisplayList& list, std::uint32_t owner, std::string_view text, float pixel_size, Point anchor, Side side) {
  const float width = std::min(LineWidth(CodePoints(text), pixel_size) + 2 * pixel_size, StageLayout::kWidth - 16);
  const float height = pixel_size * 1.8f;
  const float left = side == Side::Right ? anchor.x - width : anchor.x - width / 2;
  const Box box{left, anchor.y, width, height};
  Add(list, owner, box, RoundedBox{box, height / 2, 0xAA000000, 0, 0});
  const Box inside{box.x + pixel_size / 2, box.y, box.width - pixel_size, box.height};
  AddLabel(list, owner + 1, text, pixel_size, inside, Side::Centre, Opaque(0xFFFFFF));
}

void AddOverlay(const Form& form, DisplayList& list) {
  const Overlay& overlay = form.overlay();
  if (overlay.backlog_open) {
    AddBacklog(overlay, list);
  } else {
    AddMarks(form, list);
  }
  if (overlay.indicator) {
    // Beside the next-arrow, where the page's last line seldom reaches.
    AddTag(list, OverlayOwner(kIndicatorPart), *overlay.indicator == "AUTO" ? "AUTO ▶" : "SKIP ▶▶", 12, {564, 374},
           Side::Right);
  }
  if (overlay.notice) {
    AddTag(list, OverlayOwner(kNoticePart), *overlay.notice, 14, {StageLayout::kWidth / 2, 340}, Side::Centre);
  }
}

}  // namespace

Box GlyphReach(const GlyphRun& run, std::size_t index) {
  const Glyph& glyph = run.glyphs[index];
  const float px = run.pixel_size;
  const float left = glyph.x - StageFont::LeftOverhang(glyph.code) * px * run.squeeze - 1;
  const float right = glyph.x +
                      (StageFont::Advance(glyph.code) + StageFont::RightOverhang(glyph.code)) * px * run.squeeze + 1 +
                      (run.bold ? 1 : 0);
  const float top = run.baseline - BaselineInLine(px) - 1;
  return {left, top, right - left, LinePitch(px) + 2};
}

float PointsToPixels(double points) { return static_cast<float>(std::lround(points * 96.0 / 72.0)); }

bool HiddenByOverlay(const Form& form, const Widget& widget) {
  if (!form.overlay().text_hidden) return false;
  return &widget == form.lblSANKAKU || std::find(form.lbl1.begin(), form.lbl1.end(), &widget) != form.lbl1.end();
}

DisplayList StageLayout::Lay(const Form& form) {
  DisplayList list;
  const Layer* const layers[] = {&form.Picture1, &form.Picture2, &form.Picture3, &form.Picture4};
  // Every layer covers the whole client area, so the window's own picture shows only when all are hidden.
  if (std::none_of(std::begin(layers), std::end(layers), [](const Layer* l) { return l->visible(); })) {
    LayWindowPicture(form, list);
  }
  for (std::uint32_t i = 0; i < 4; ++i) {
    if (layers[i]->visible()) LayLayer(form, *layers[i], i, list);
  }
  AddOverlay(form, list);
  return list;
}

void StageLayout::LayWindowPicture(const Form& form, DisplayList& list) {
  if (!form.picture()) {
    AddDesignBackground(list);
    return;
  }
  const std::uint32_t owner = Owner(Source::Window, 0);
  AddFill(list, owner, kStage, Opaque(kBlack));
  if (!form.picture_missing()) Add(list, owner + 1, kStage, Picture{*form.picture(), {0, 0}, kStage});
}

void StageLayout::LayLayer(const Form& form, const Layer& layer, std::uint32_t layer_index, DisplayList& list) {
  const Box bounds = ToBox(layer.bounds());
  const std::uint32_t owner = Owner(Source::Layer, layer_index);
  // A picture that could not be loaded leaves the layer plain black, not its back colour.
  const bool picture = layer.picture() && !layer.picture_missing();
  AddFill(list, owner, bounds, Opaque(layer.picture() && !picture ? kBlack : layer.back()));
  if (picture) Add(list, owner + 1, bounds, Picture{*layer.picture(), {bounds.x, bounds.y}, bounds});
  const std::vector<Widget*>& widgets = form.widgets();
  const std::vector<Widget*>& stacked = layer.widgets();  // top first
  for (auto it = stacked.rbegin(); it != stacked.rend(); ++it) {
    const Widget& widget = **it;
    if (!widget.visible() || HiddenByOverlay(form, widget)) continue;
    const auto index = static_cast<std::uint32_t>(std::find(widgets.begin(), widgets.end(), &widget) - widgets.begin());
    LayWidget(widget, index, list);
  }
}

void StageLayout::LayWidget(const Widget& widget, std::uint32_t widget_index, DisplayList& list) {
  const Box bounds = ToBox(widget.bounds());
  if (!bounds.Intersects(kStage)) return;  // the developer controls lie outside the client area
  if (widget.back()) AddFill(list, Owner(Source::Widget, widget_index, kBackPart), bounds, Opaque(*widget.back()));
  if (widget.border()) AddBorder(list, Owner(Source::Widget, widget_index, kBorderPart), bounds);
  if (widget.caption().empty()) return;
  // Where the text goes: inside the border, if there is one.
  const Box text_box = widget.border() ? Box{bounds.x + 1, bounds.y + 1, bounds.width - 2, bounds.height - 2} : bounds;
  const std::vector<Item>& text = TextOf(widget, widget_index, text_box);
  list.items.insert(list.items.end(), text.begin(), text.end());
}

const std::vector<Item>& StageLayout::TextOf(const Widget& widget, std::uint32_t widget_index, const Box& box) {
  const TextStyle style{PointsToPixels(widget.font()), widget.alignment()};
  const Argb colour = Opaque(widget.fore());
  CachedText& cached = texts_[&widget];
  if (cached.caption != widget.caption() || !(cached.style == style) || !(cached.box == box) ||
      cached.colour != colour || cached.bold != widget.bold()) {
    DisplayList text;
    AddText(text, Owner(Source::Widget, widget_index, kTextPart), LayOutText(widget.caption(), style, box),
            style.pixel_size, colour, widget.bold(), box);
    cached = {widget.caption(), style, box, colour, widget.bold(), std::move(text.items)};
  }
  return cached.items;
}

}  // namespace shiori::stage
