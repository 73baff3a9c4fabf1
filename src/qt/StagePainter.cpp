#include "qt/StagePainter.h"

#include <QFontDatabase>
#include <QLinearGradient>
#include <QPaintDevice>
#include <QPainter>
#include <QTextOption>
#include <cmath>

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

QString StageFontFamily() {
  static const QString family = [] {
    const QStringList installed = QFontDatabase::families();
    for (const char* preferred : {"WenQuanYi Zen Hei", "Noto Sans CJK JP", "Noto Sans JP", "IPAPGothic",
                                  "VL PGothic", "Takao PGothic", "IPAGothic"}) {
      if (installed.contains(QLatin1String(preferred))) return QString::fromLatin1(preferred);
    }
    const QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
    return japanese.isEmpty() ? QString() : japanese.front();
  }();
  return family;
}

StagePainter::StagePainter(GameFolder folder, PictureCache& pictures)
    : folder_(std::move(folder)), pictures_(pictures) {}

QFont StagePainter::LabelFont(double points, bool bold) {
  const int pixels = PointsToPixels(points);
  const auto key = std::make_pair(pixels, bold);
  if (const auto found = fonts_.find(key); found != fonts_.end()) return found->second;
  QFont font(StageFontFamily());
  font.setPixelSize(pixels > 0 ? pixels : 1);
  font.setBold(bold);
  // Grey-scale antialiasing and light hinting only: the same glyphs whatever the display, so that the window and
  // a screenshot agree, and the same advances at every scale, so that a line wraps alike at every size.
  font.setStyleStrategy(QFont::StyleStrategy(QFont::PreferAntialias | QFont::NoSubpixelAntialias));
  font.setHintingPreference(QFont::PreferVerticalHinting);
  return fonts_.emplace(key, font).first->second;
}

void StagePainter::Paint(const Form& form, QPainter& painter, const QRectF& target, const QRectF& exposed) {
  const qreal sx = target.width() / kWidth;
  const qreal sy = target.height() / kHeight;
  if (sx <= 0 || sy <= 0) return;
  const QRectF exposed_stage((exposed.x() - target.x()) / sx, (exposed.y() - target.y()) / sy,
                             exposed.width() / sx, exposed.height() / sy);
  const Output output{painter.worldTransform(), target, painter.device()->devicePixelRatioF(),
                      exposed_stage.intersected(QRectF(0, 0, kWidth, kHeight))};
  if (output.exposed.isEmpty()) return;

  painter.save();
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.setRenderHint(QPainter::TextAntialiasing);
  painter.translate(target.topLeft());
  painter.scale(sx, sy);
  painter.setClipRect(QRectF(0, 0, kWidth, kHeight), Qt::IntersectClip);

  const Layer* const layers[] = {&form.Picture1, &form.Picture2, &form.Picture3, &form.Picture4};
  bool any_layer = false;
  for (const Layer* layer : layers) any_layer = any_layer || layer->visible();
  // Every layer covers the whole client area, so the window's own picture shows only when all are hidden.
  if (!any_layer) PaintWindowPicture(form, painter, output);
  for (const Layer* layer : layers) {
    if (layer->visible()) PaintLayer(*layer, painter, output);
  }
  painter.restore();
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
  if (!form.picture_missing()) PaintPicture(*form.picture(), painter, output);
}

void StagePainter::PaintLayer(const Layer& layer, QPainter& painter, const Output& output) {
  const QRectF bounds = ToQRect(layer.bounds());
  // A picture that could not be loaded leaves the layer plain black, not its back colour.
  const bool black = layer.picture() && (layer.picture_missing() || !PictureAvailable(*layer.picture()));
  painter.fillRect(bounds, black ? QColor(Qt::black) : Colour(layer.back()));
  if (layer.picture() && !black) PaintPicture(*layer.picture(), painter, output);
  const std::vector<Widget*>& widgets = layer.widgets();
  for (auto it = widgets.rbegin(); it != widgets.rend(); ++it) {
    const Widget& widget = **it;
    if (widget.visible() && ToQRect(widget.bounds()).intersects(output.exposed)) PaintWidget(widget, painter);
  }
}

bool StagePainter::PictureAvailable(const std::string& relative) {
  return !pictures_.Get(folder_.GameFile(relative)).isNull();
}

void StagePainter::PaintPicture(const std::string& relative, QPainter& painter, const Output& output) {
  const std::filesystem::path file = folder_.GameFile(relative);
  const QImage original = pictures_.Get(file);
  if (original.isNull()) return;
  // Drawn from a copy scaled once to the output's device pixels, laid over the output pixel for pixel.
  const qreal dpr = output.device_pixel_ratio;
  const qreal sx = output.target.width() / kWidth;
  const qreal sy = output.target.height() / kHeight;
  const QSize device_size(static_cast<int>(std::lround(original.width() * sx * dpr)),
                          static_cast<int>(std::lround(original.height() * sy * dpr)));
  QImage scaled = pictures_.Scaled(file, device_size);
  scaled.setDevicePixelRatio(dpr);
  painter.save();
  painter.setWorldTransform(output.base);
  painter.drawImage(output.target.topLeft(), scaled);
  painter.restore();
}

void StagePainter::PaintWidget(const Widget& widget, QPainter& painter) {
  QRectF box = ToQRect(widget.bounds());
  if (widget.back()) painter.fillRect(box, Colour(*widget.back()));
  if (widget.border()) {
    PaintBorder(painter, box);
    box.adjust(1, 1, -1, -1);
  }
  if (widget.caption().empty()) return;
  const QString text = LabelText(widget.caption());
  QTextOption option(widget.alignment() == Alignment::Centre ? Qt::AlignHCenter : Qt::AlignLeft);
  option.setWrapMode(HasJapanese(text) ? QTextOption::WrapAnywhere : QTextOption::WrapAtWordBoundaryOrAnywhere);
  painter.save();
  painter.setClipRect(box, Qt::IntersectClip);
  painter.setFont(LabelFont(widget.font(), widget.bold()));
  painter.setPen(Colour(widget.fore()));
  painter.drawText(box, text, option);
  painter.restore();
}

}  // namespace shiori
