#include "qt/StagePainter.h"

#include <QFontDatabase>
#include <QGlyphRun>
#include <QLinearGradient>
#include <QPaintDevice>
#include <QPainter>
#include <QRawFont>
#include <QTextLayout>
#include <QTextOption>
#include <algorithm>
#include <cmath>
#include <map>

#include "qt/OverlayPainter.h"

namespace shiori {
namespace {

QColor Colour(Rgb rgb) { return QColor::fromRgb(static_cast<QRgb>(rgb)); }

QRectF ToQRect(const Rect& r) { return QRectF(r.left, r.top, r.width, r.height); }

// Points are measured at 96 dots per inch, as the story's layout was (20.25 pt = 27 px).
int PointsToPixels(double points) { return static_cast<int>(std::lround(points * 96.0 / 72.0)); }

// Japanese text wraps between any two characters; Latin text at word boundaries.
bool HasJapanese(const QString& text) {
  for (const QChar c : text) {
    const char16_t u = c.unicode();
    if ((u >= 0x3000 && u <= 0x30FF) || (u >= 0x3400 && u <= 0x9FFF) || (u >= 0xF900 && u <= 0xFAFF) ||
        (u >= 0xFF00 && u <= 0xFFEF)) {
      return true;
    }
  }
  return false;
}

// Text made of nothing but Japanese (ideographs, kana, their punctuation) needs no shaping: each character is one
// glyph at its own advance, as the shaper would place it. Skipping the shaper halves the cost of laying out a line,
// which a typed page does once per character. Latin letters keep their kerning and ligatures.
bool OnlyJapanese(const QString& text) {
  for (const QChar c : text) {
    const char16_t u = c.unicode();
    const bool japanese = (u >= 0x3000 && u <= 0x30FF) || (u >= 0x3400 && u <= 0x9FFF) ||
                          (u >= 0xF900 && u <= 0xFAFF) || (u >= 0xFF01 && u <= 0xFF0F) ||
                          (u >= 0xFF1A && u <= 0xFF20) || u == 0x2015 || u == 0x2025 || u == 0x2026;
    if (!japanese) return false;
  }
  return true;
}

// Where the baseline lies in a line of text, as a fraction of the text's pixel size from the top of its em box:
// ideographs fill the box, Latin descenders dip below the baseline into it.
constexpr qreal kEmAscent = 0.86;
// How far a line may be narrowed rather than wrapped out of sight.
constexpr qreal kMaxSqueeze = 1.12;
// How far any line may be narrowed rather than wrapped at all: our full-width characters are a little wider than
// the twelve pixels a box was measured in (21 of them take 256 pixels, not 252), which would otherwise push the
// last character of a full line, often a lone full stop, onto a line of its own.
constexpr qreal kQuietSqueeze = 1.02;
// How far a line may be narrowed by taking space from between its characters alone (a pixel a character at most
// for 27-pixel text); beyond it the glyphs narrow too. Glyphs of their own shape are those already rasterised for
// the other lines: narrowed ones would all be rasterised afresh, for one line, when its last character arrives.
constexpr qreal kSpacingSqueeze = 1.04;
// How many pixels of a line's cell may hang below a label and still count as a whole line.
constexpr qreal kLineSlack = 2;

// Characters that close what came before them and so never begin a line of Japanese text.
bool IsClosingPunctuation(QChar c) {
  static const QString kClosing = QStringLiteral(
      "、。，．・：；？！）」』】〕〉》〙〗’”…‥ー々ゝゞぁぃぅぇぉっゃゅょゎァィゥェォッャュョヮヵヶ）！？，．：；"
      ")]}!?,.:;");
  return kClosing.contains(c);
}

// A line never starts with closing punctuation: the characters before it go down to the next line with it.
void KeepClosingPunctuationWithItsWord(QTextLine& line, const QString& text, qreal width) {
  const int start = line.textStart();
  int length = line.textLength();
  while (length > 1 && start + length < text.size() && IsClosingPunctuation(text[start + length])) --length;
  if (length != line.textLength()) line.setNumColumns(length, width);
}

// How a line `natural` pixels wide and `glyphs` glyphs long is brought to `width`: by taking space from between
// its glyphs when it is at most a little too wide, else by narrowing the glyphs too.
struct Narrowing {
  qreal squeeze = 1;
  qreal spacing = 0;
};
Narrowing NarrowTo(qreal width, qreal natural, qsizetype glyphs) {
  if (natural <= width) return {};
  if (natural > width * kSpacingSqueeze) return {width / natural, 0};
  return {1, -(natural - width) / static_cast<qreal>(std::max<qsizetype>(glyphs, 1))};
}

// How many glyphs `line` has: as many as its characters, but for ligatures.
qsizetype GlyphCount(const QTextLine& line) {
  qsizetype glyphs = 0;
  for (const QGlyphRun& run : line.glyphRuns()) glyphs += run.glyphIndexes().size();
  return glyphs;
}

QString LabelText(const std::string& caption) {
  QString text = QString::fromStdString(caption);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(QChar('\r'), QChar('\n'));
  return text;
}

// The single border: a sunken one-pixel edge, visible on dark and light grounds alike.
void PaintBorder(QPainter& painter, const QRectF& box) {
  const qreal right = box.right() - 1;
  const qreal bottom = box.bottom() - 1;
  painter.fillRect(QRectF(box.left(), box.top(), box.width(), 1), QColor(0x80, 0x80, 0x80));
  painter.fillRect(QRectF(box.left(), box.top(), 1, box.height()), QColor(0x80, 0x80, 0x80));
  painter.fillRect(QRectF(box.left(), bottom, box.width(), 1), Qt::white);
  painter.fillRect(QRectF(right, box.top(), 1, box.height()), Qt::white);
}

// The window's own picture when the story has given it none: ours, a dark evening gradient with a ribbon.
void PaintDesignBackground(QPainter& painter) {
  QLinearGradient sky(0, 0, 0, StagePainter::kHeight);
  sky.setColorAt(0.0, QColor(0x26, 0x2a, 0x40));
  sky.setColorAt(0.6, QColor(0x12, 0x14, 0x22));
  sky.setColorAt(1.0, QColor(0x06, 0x07, 0x0c));
  painter.fillRect(QRectF(0, 0, StagePainter::kWidth, StagePainter::kHeight), sky);
  QPolygonF ribbon;
  ribbon << QPointF(560, 0) << QPointF(592, 0) << QPointF(592, 120) << QPointF(576, 104) << QPointF(560, 120);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0xa0, 0x30, 0x40, 0x60));
  painter.drawPolygon(ribbon);
  painter.setBrush(Qt::NoBrush);
}

}  // namespace

bool FamilyHasBold(const QString& family) {
  static std::map<QString, bool> known;
  if (const auto found = known.find(family); found != known.end()) return found->second;
  bool bold = false;
  for (const QString& style : QFontDatabase::styles(family))
    bold = bold || QFontDatabase::weight(family, style) >= QFont::Bold;
  return known.emplace(family, bold).first->second;
}

QString StageFontFamily() {
  static const QString family = [] {
    const QStringList installed = QFontDatabase::families();
    for (const char* preferred : {"WenQuanYi Zen Hei", "Noto Sans CJK JP", "Noto Sans JP", "IPAPGothic", "VL PGothic",
                                  "Takao PGothic", "IPAGothic"}) {
      if (installed.contains(QLatin1String(preferred))) return QString::fromLatin1(preferred);
    }
    const QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
    return japanese.isEmpty() ? QString() : japanese.front();
  }();
  return family;
}

StagePainter::StagePainter(GameFolder folder, PictureCache& pictures)
    : folder_(std::move(folder)), pictures_(pictures) {}

StagePainter::TextStyle& StagePainter::LabelStyle(double points, bool bold) {
  const int pixels = PointsToPixels(points);
  const auto key = std::make_pair(pixels, bold);
  if (const auto found = styles_.find(key); found != styles_.end()) return found->second;
  QFont font(StageFontFamily());
  font.setPixelSize(pixels > 0 ? pixels : 1);
  // Grey-scale antialiasing and light hinting only: the same glyphs whatever the display, so that the window and
  // a screenshot agree, and the same advances at every scale, so that a line wraps alike at every size.
  font.setStyleStrategy(QFont::StyleStrategy(QFont::PreferAntialias | QFont::NoSubpixelAntialias));
  font.setHintingPreference(QFont::PreferVerticalHinting);
  // A family without a bold face would be emboldened by the rasteriser by an amount that shrinks, relative to the
  // text, as the output grows; striking it twice a stage pixel apart looks the same at every scale.
  const bool real_bold = bold && FamilyHasBold(font.family());
  font.setBold(real_bold);
  QFont unshaped = font;
  unshaped.setStyleStrategy(QFont::StyleStrategy(font.styleStrategy() | QFont::PreferNoShaping));
  auto plain = std::make_unique<PlainGlyphs>(unshaped);
  return styles_.emplace(key, TextStyle{font, unshaped, bold && !real_bold, std::move(plain)}).first->second;
}

void StagePainter::Paint(const Form& form, QPainter& painter, const QRectF& target, const QRectF& exposed) {
  const qreal sx = target.width() / kWidth;
  const qreal sy = target.height() / kHeight;
  if (sx <= 0 || sy <= 0) return;
  const QRectF exposed_stage((exposed.x() - target.x()) / sx, (exposed.y() - target.y()) / sy, exposed.width() / sx,
                             exposed.height() / sy);
  const Output output{painter.worldTransform(), target, painter.device()->devicePixelRatioF(),
                      exposed_stage.intersected(QRectF(0, 0, kWidth, kHeight))};
  if (output.exposed.isEmpty()) return;

  painter.save();
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.setRenderHint(QPainter::TextAntialiasing);
  painter.translate(target.topLeft());
  painter.scale(sx, sy);
  painter.setClipRect(QRectF(0, 0, kWidth, kHeight), Qt::IntersectClip);

  // A part of the stage is drawn with the pictures the rest of it shows; the files are looked at again (and
  // decoded afresh if they have been replaced) when the whole stage is drawn, as it is whenever a picture changes.
  const bool whole = output.exposed == QRectF(0, 0, kWidth, kHeight);
  if (whole) shown_.clear();
  const Layer* const layers[] = {&form.Picture1, &form.Picture2, &form.Picture3, &form.Picture4};
  bool any_layer = false;
  for (const Layer* layer : layers) any_layer = any_layer || layer->visible();
  // Every layer covers the whole client area, so the window's own picture shows only when all are hidden.
  if (!any_layer) PaintWindowPicture(form, painter, output);
  for (const Layer* layer : layers) {
    if (layer->visible()) PaintLayer(form, *layer, painter, output);
  }
  PaintOverlay(form, painter);
  painter.restore();
  // A picture the stage no longer shows is a megabyte held for nothing; decoding it again, should it come back,
  // takes a few milliseconds.
  if (whole) {
    std::vector<QImage> kept;
    for (const auto& [name, picture] : shown_) kept.push_back(picture);
    pictures_.KeepOnly(kept);
  }
}

QImage StagePainter::Render(const Form& form, int scale) {
  QImage image(kWidth * scale, kHeight * scale, QImage::Format_RGB32);
  image.fill(Qt::black);
  QPainter painter(&image);
  Paint(form, painter, QRectF(0, 0, image.width(), image.height()));
  painter.end();
  return image;
}

void StagePainter::PaintWindowPicture(const Form& form, QPainter& painter, const Output& output) {
  if (!form.picture()) {
    PaintDesignBackground(painter);
    return;
  }
  painter.fillRect(QRectF(0, 0, kWidth, kHeight), Qt::black);
  if (form.picture_missing()) return;
  const QImage picture = Picture(*form.picture());
  if (!picture.isNull()) PaintPicture(picture, painter, output);
}

void StagePainter::PaintLayer(const Form& form, const Layer& layer, QPainter& painter, const Output& output) {
  const QRectF bounds = ToQRect(layer.bounds());
  // A picture that could not be loaded leaves the layer plain black, not its back colour.
  QImage picture;
  if (layer.picture() && !layer.picture_missing()) picture = Picture(*layer.picture());
  const bool black = layer.picture() && picture.isNull();
  painter.fillRect(bounds, black ? QColor(Qt::black) : Colour(layer.back()));
  if (!picture.isNull()) PaintPicture(picture, painter, output);
  const std::vector<Widget*>& widgets = layer.widgets();
  for (auto it = widgets.rbegin(); it != widgets.rend(); ++it) {
    const Widget& widget = **it;
    if (widget.visible() && !HiddenByOverlay(form, widget) && ToQRect(widget.bounds()).intersects(output.exposed)) {
      PaintWidget(widget, painter, output.exposed);
    }
  }
}

QImage StagePainter::Picture(const std::string& relative) {
  if (const auto found = shown_.find(relative); found != shown_.end()) return found->second;
  return shown_.emplace(relative, pictures_.Get(PictureFile(relative))).first->second;
}

std::filesystem::path StagePainter::PictureFile(const std::string& relative) {
  // Looking a name up case-insensitively walks directories; a name found once is kept. One not found is looked up
  // again next time, in case the file has appeared.
  if (const auto found = files_.find(relative); found != files_.end()) return found->second;
  std::filesystem::path file = folder_.GameFile(relative);
  std::error_code error;
  if (std::filesystem::exists(file, error)) files_.emplace(relative, file);
  return file;
}

void StagePainter::PaintPicture(const QImage& original, QPainter& painter, const Output& output) {
  // Drawn from a copy scaled once to the output's device pixels, laid over the output pixel for pixel.
  const qreal dpr = output.device_pixel_ratio;
  const qreal sx = output.target.width() / kWidth;
  const qreal sy = output.target.height() / kHeight;
  const QSize device_size(static_cast<int>(std::lround(original.width() * sx * dpr)),
                          static_cast<int>(std::lround(original.height() * sy * dpr)));
  QImage scaled = pictures_.Scaled(original, device_size);
  scaled.setDevicePixelRatio(dpr);
  painter.save();
  painter.setWorldTransform(output.base);
  painter.drawImage(output.target.topLeft(), scaled);
  painter.restore();
}

void StagePainter::PaintWidget(const Widget& widget, QPainter& painter, const QRectF& exposed) {
  const QRectF bounds = ToQRect(widget.bounds());
  if (widget.back()) painter.fillRect(bounds, Colour(*widget.back()));
  if (widget.border()) PaintBorder(painter, bounds);
  if (widget.caption().empty()) return;
  const TextStyle& style = LabelStyle(widget.font(), widget.bold());
  painter.save();
  painter.setClipRect(TextBox(widget), Qt::IntersectClip);
  painter.setPen(Colour(widget.fore()));
  // Glyphs reach a little past their cells: antialiasing, overhangs, the second stroke of a bold drawn twice.
  const qreal reach = std::ceil(style.font.pixelSize() / 4.0) + 1;
  for (const TextBlock& block : LaidOutText(widget)) {
    painter.save();
    painter.translate(block.origin);
    painter.scale(block.squeeze, 1);
    // While a page types only a character's ink is exposed: only the glyphs that may reach into it are looked at.
    const QRectF near = block.Placement().inverted().mapRect(exposed);
    for (const TextLine& line : block.lines) {
      if (!line.cells.adjusted(-reach, -reach, reach, reach).intersects(near)) continue;
      for (const QGlyphRun& run : line.glyphs) glyphs_.Draw(painter, run, style.overstrike, near);
    }
    painter.restore();
  }
  painter.restore();
}

QRectF StagePainter::TextBox(const Widget& widget) {
  QRectF box = ToQRect(widget.bounds());
  if (widget.border()) box.adjust(1, 1, -1, -1);
  return box;
}

StagePainter::TextKey StagePainter::KeyOf(const Widget& widget, const std::string& caption) {
  const int pixels = LabelStyle(widget.font(), widget.bold()).font.pixelSize();
  return TextKey{caption, pixels, widget.bold(), widget.alignment(), TextBox(widget)};
}

const std::vector<StagePainter::TextBlock>& StagePainter::LaidOutText(const Widget& widget) {
  CachedText& cached = texts_[&widget];
  TextKey key = KeyOf(widget, widget.caption());
  if (!(cached.key == key)) {
    cached.blocks =
        LayOutText(LabelText(widget.caption()), LabelStyle(widget.font(), widget.bold()), widget.alignment(), key.box);
    cached.key = std::move(key);
  }
  return cached.blocks;
}

std::optional<QRect> StagePainter::GrownText(const Widget& widget, const std::string& before) {
  const QString old_text = LabelText(before);
  const QString new_text = LabelText(widget.caption());
  if (widget.alignment() != Alignment::Left || !new_text.startsWith(old_text)) return std::nullopt;
  // The layout of `before` is in the cache when the widget was last drawn with it, as it is while a page types.
  std::vector<TextBlock> old_blocks;
  CachedText& cached = texts_[&widget];
  if (cached.key == KeyOf(widget, before)) {
    old_blocks = std::move(cached.blocks);
    cached.key = {};
  } else {
    old_blocks = LayOutText(old_text, LabelStyle(widget.font(), widget.bold()), widget.alignment(), TextBox(widget));
  }
  const std::vector<TextBlock>& new_blocks = LaidOutText(widget);
  const auto kept = static_cast<int>(old_text.size());
  if (!KeptInPlace(old_blocks, new_blocks, kept)) return std::nullopt;
  // A ligature or kerning may change the glyphs of the last characters there were: they are drawn again too.
  // Text laid out without the shaper has neither.
  int from = kept;
  if (!OnlyJapanese(new_text)) {
    while (from > 0 && GlyphsOf(old_blocks, from - 1, from) != GlyphsOf(new_blocks, from - 1, from)) --from;
  }
  const QRectF ink = InkOf(old_blocks, from, kept) | InkOf(new_blocks, from, static_cast<int>(new_text.size()));
  if (ink.isEmpty()) return QRect();
  // Antialiasing may reach a pixel past the outlines; a bold drawn twice, one more to the right.
  const qreal overstrike = LabelStyle(widget.font(), widget.bold()).overstrike ? 1 : 0;
  return ink.adjusted(-1, -1, 1 + overstrike, 1).intersected(TextBox(widget)).toAlignedRect();
}

bool StagePainter::KeptInPlace(const std::vector<TextBlock>& before, const std::vector<TextBlock>& now, int kept) {
  // The first `kept` characters must stand where they stood: in the same block, on the same lines, as far apart.
  for (const TextBlock& old : before) {
    const auto same = std::find_if(now.begin(), now.end(), [&](const TextBlock& b) { return b.start == old.start; });
    if (same == now.end() || same->origin != old.origin || same->squeeze != old.squeeze ||
        same->spacing != old.spacing) {
      return false;
    }
    const int kept_here = kept - old.start;
    for (std::size_t i = 0; i < old.lines.size(); ++i) {
      const TextLine& was = old.lines[i];
      if (was.start >= kept_here) break;
      if (i >= same->lines.size()) return false;
      const TextLine& is = same->lines[i];
      const int was_end = std::min(was.start + was.length, kept_here);
      if (is.start != was.start || is.cells.y() != was.cells.y() || is.start + is.length < was_end) return false;
    }
  }
  return true;
}

std::vector<StagePainter::PlacedGlyphs> StagePainter::GlyphsOf(const std::vector<TextBlock>& blocks, int from, int to) {
  std::vector<PlacedGlyphs> glyphs;
  for (const TextBlock& block : blocks) {
    if (block.lines.empty()) continue;
    const int length = block.layout ? static_cast<int>(block.layout->text().size()) : block.lines.front().length;
    const int first = std::max(from - block.start, 0);
    const int last = std::min(to - block.start, length);
    if (first >= last) continue;
    if (block.layout) {
      for (const QGlyphRun& run : block.layout->glyphRuns(first, last - first)) glyphs.push_back({run, &block});
    } else {
      // A line of Japanese alone has a glyph for every character.
      const QGlyphRun& line = block.lines.front().glyphs.front();
      QGlyphRun run = line;
      run.setGlyphIndexes(line.glyphIndexes().mid(first, last - first));
      run.setPositions(line.positions().mid(first, last - first));
      glyphs.push_back({run, &block});
    }
  }
  return glyphs;
}

QRectF StagePainter::InkOf(const std::vector<TextBlock>& blocks, int from, int to) {
  // Outlines as designed, with room for hinting: the box of each glyph as drawn would cost the glyph's loading
  // and hinting once more.
  QRectF ink;
  for (const PlacedGlyphs& placed : GlyphsOf(blocks, from, to)) {
    const QTransform onStage = placed.block->Placement();
    const QRawFont font = placed.run.rawFont();
    const QList<quint32> indexes = placed.run.glyphIndexes();
    const QList<QPointF> positions = placed.run.positions();
    for (qsizetype i = 0; i < indexes.size() && i < positions.size(); ++i) {
      const QRectF outline = glyphs_.Reach(font, indexes[i]).translated(positions[i]);
      if (!outline.isEmpty()) ink |= onStage.mapRect(outline);
    }
  }
  return ink;
}

std::vector<StagePainter::TextLine> StagePainter::LinesOf(const QTextLayout& layout) {
  std::vector<TextLine> lines;
  for (int i = 0; i < layout.lineCount(); ++i) {
    const QTextLine line = layout.lineAt(i);
    lines.push_back({line.textStart(), line.textLength(),
                     QRectF(line.x(), line.y(), line.naturalTextWidth(), line.height()), line.glyphRuns()});
  }
  return lines;
}

std::optional<StagePainter::TextBlock> StagePainter::PlainLine(const QString& paragraph, PlainGlyphs& glyphs,
                                                               qreal width, qreal squeeze_limit, qreal baseline) {
  if (paragraph.isEmpty() || !OnlyJapanese(paragraph) || paragraph.back().isSpace()) return std::nullopt;
  std::optional<QGlyphRun> run = glyphs.Line(paragraph, 0, baseline);
  if (!run) return std::nullopt;
  const qreal natural = run->boundingRect().width();
  // The general layout measures in 64ths of a pixel and minds overhangs: near a limit, it decides.
  const auto near = [natural](qreal limit) { return std::abs(natural - limit) < 1; };
  if (near(width) || near(width * kSpacingSqueeze) || near(width * squeeze_limit)) return std::nullopt;
  if (natural > width * squeeze_limit) return std::nullopt;  // it wraps
  const Narrowing narrowing = NarrowTo(width, natural, paragraph.size());
  if (narrowing.spacing != 0) run = glyphs.Line(paragraph, narrowing.spacing, baseline);
  TextBlock block;
  block.squeeze = narrowing.squeeze;
  block.spacing = narrowing.spacing;
  block.lines.push_back({0, static_cast<int>(paragraph.size()), run->boundingRect(), {*run}});
  return block;
}

StagePainter::TextBlock StagePainter::NarrowedLine(std::unique_ptr<QTextLayout> layout, const QTextLine& single,
                                                   const QTextOption& option, qreal width, qreal baseline) {
  const Narrowing narrowing = NarrowTo(width, single.naturalTextWidth(), GlyphCount(single));
  TextBlock block;
  block.squeeze = narrowing.squeeze;
  block.spacing = narrowing.spacing;
  if (block.spacing != 0) {
    QFont tight = layout->font();
    tight.setLetterSpacing(QFont::AbsoluteSpacing, block.spacing);
    layout = std::make_unique<QTextLayout>(layout->text(), tight);
    layout->setCacheEnabled(true);
  }
  layout->setTextOption(option);
  layout->beginLayout();
  QTextLine line = layout->createLine();
  line.setLineWidth(width / block.squeeze);
  line.setPosition(QPointF(0, baseline - line.ascent()));
  layout->endLayout();
  block.lines = LinesOf(*layout);
  block.layout = std::move(layout);
  return block;
}

std::vector<StagePainter::TextBlock> StagePainter::LayOutText(const QString& text, TextStyle& style,
                                                              Alignment alignment, const QRectF& box) {
  const QFont& font = style.font;
  // Lines follow each other at the pitch the layout was made for (30 pixels for 27-pixel text), whatever the
  // font's own line spacing, so that a two-line choice fills its 60 pixels as it should.
  const qreal pixels = font.pixelSize();
  const qreal pitch = std::round(pixels * 10 / 9);
  const qreal baseline = (pitch - pixels) / 2 + pixels * kEmAscent;
  // Only whole lines are drawn: a wrapped line that would show its top few pixels under a one-line label stays
  // out of sight altogether.
  const int capacity = std::max(1, static_cast<int>((box.height() + kLineSlack) / pitch));
  QTextOption option(alignment == Alignment::Centre ? Qt::AlignHCenter : Qt::AlignLeft);
  std::vector<TextBlock> blocks;
  int line_index = 0;
  int start = 0;
  for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
    const int paragraph_start = start;
    start += static_cast<int>(paragraph.size()) + 1;
    if (line_index >= capacity) break;
    const int first_line = line_index;
    // A line a little too long for a label with no room below would wrap its end out of sight; squeezed a few
    // per cent, the reader sees all of it. One a hair too long wraps a lone last character where there is room:
    // squeezed less, it stays whole. (The stage's widths were measured with narrower fonts than ours.)
    const qreal squeeze_limit = first_line + 1 >= capacity ? kMaxSqueeze : kQuietSqueeze;
    const auto keep_one_line = [&](TextBlock block) {
      block.origin = box.topLeft() + QPointF(0, first_line * pitch);
      block.start = paragraph_start;
      blocks.push_back(std::move(block));
      line_index = first_line + 1;
    };
    if (alignment == Alignment::Left) {
      if (std::optional<TextBlock> line = PlainLine(paragraph, *style.plain, box.width(), squeeze_limit, baseline)) {
        keep_one_line(std::move(*line));
        continue;
      }
    }
    auto layout = std::make_unique<QTextLayout>(paragraph, OnlyJapanese(paragraph) ? style.unshaped : font);
    layout->setCacheEnabled(true);  // shaped once: drawing it again, cell by cell, shapes nothing
    const auto wrap = [&] {
      option.setWrapMode(HasJapanese(paragraph) ? QTextOption::WrapAnywhere
                                                : QTextOption::WrapAtWordBoundaryOrAnywhere);
      layout->setTextOption(option);
      layout->beginLayout();
      for (line_index = first_line; line_index < capacity; ++line_index) {
        QTextLine line = layout->createLine();
        if (!line.isValid()) break;
        line.setLineWidth(box.width());
        KeepClosingPunctuationWithItsWord(line, paragraph, box.width());
        line.setPosition(QPointF(0, line_index * pitch + baseline - line.ascent()));
      }
      layout->endLayout();
    };
    wrap();  // once, in the usual case: the paragraph fits, or has room to wrap
    const QTextLine first = layout->lineAt(0);
    const bool fits = layout->lineCount() == 1 && first.textStart() + first.textLength() >= paragraph.size();
    if (!fits) {
      option.setWrapMode(QTextOption::NoWrap);
      layout->setTextOption(option);
      layout->beginLayout();
      const QTextLine single = layout->createLine();
      layout->endLayout();
      const qreal natural = single.naturalTextWidth();
      if (natural > box.width() && natural <= box.width() * squeeze_limit) {
        keep_one_line(NarrowedLine(std::move(layout), single, option, box.width(), baseline));
        continue;
      }
      wrap();
    }
    if (!paragraph.isEmpty()) {
      std::vector<TextLine> lines = LinesOf(*layout);
      blocks.push_back({std::move(lines), std::move(layout), box.topLeft(), 1, 0, paragraph_start});
    }
  }
  return blocks;
}

}  // namespace shiori
