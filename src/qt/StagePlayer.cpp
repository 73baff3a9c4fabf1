#include "qt/StagePlayer.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <variant>
#include <vector>

namespace shiori {
namespace {

constexpr stage::Box kStage{0, 0, StagePlayer::kWidth, StagePlayer::kHeight};

QColor Colour(stage::Argb argb) { return QColor::fromRgba(argb); }

int Nearest(qreal device) { return static_cast<int>(std::lround(device)); }

// The sizes of the stage font a page needs (a handful) stay; a window dragged through many scales lets them go.
constexpr std::size_t kSizesKept = 16;

}  // namespace

QRectF StagePlayer::Output::Area(const stage::Box& box) const {
  return {Map(box.x, box.y), Map(box.right(), box.bottom())};
}

QRect StagePlayer::Output::Pixels(const stage::Box& box) const {
  const QRectF area = Area(box);
  const QPoint top_left(Nearest(area.left()), Nearest(area.top()));
  const QPoint bottom_right(Nearest(area.right()), Nearest(area.bottom()));
  return {top_left, QSize(bottom_right.x() - top_left.x(), bottom_right.y() - top_left.y())};
}

StagePlayer::StagePlayer(GameFolder folder, PictureCache& pictures, QRawFont font)
    : folder_(std::move(folder)), pictures_(pictures), font_(std::move(font)) {}

void StagePlayer::Paint(const stage::DisplayList& list, QPainter& painter, const QRectF& target,
                        const QRectF& exposed) {
  // Everything is drawn in the device's pixels, so that glyphs and pictures land on whole ones whatever the
  // painter's scale. A widget's painter stays moved on to the widget's place in its window past that.
  const QTransform to_device = painter.combinedTransform();
  const QRectF device_target = to_device.mapRect(target);
  if (device_target.isEmpty()) return;
  Output output{device_target.topLeft(), device_target.width() / kWidth, device_target.height() / kHeight, {}};
  const QRectF device_exposed = to_device.mapRect(exposed).intersected(device_target);
  output.exposed = {static_cast<float>((device_exposed.x() - output.origin.x()) / output.sx),
                    static_cast<float>((device_exposed.y() - output.origin.y()) / output.sy),
                    static_cast<float>(device_exposed.width() / output.sx),
                    static_cast<float>(device_exposed.height() / output.sy)};
  if (output.exposed.empty()) return;

  // A part of the stage is drawn with the pictures the rest of it shows; the files are looked at again (and
  // decoded afresh if they have been replaced) when the whole stage is drawn, as it is whenever a picture changes.
  const bool whole = device_exposed == device_target;
  if (whole) shown_.clear();
  painter.save();
  painter.setWorldTransform(to_device.inverted() * painter.worldTransform());
  painter.setClipRect(output.Pixels(kStage), Qt::IntersectClip);
  for (const stage::Item& item : list.items) {
    if (!item.bounds.Intersects(output.exposed)) continue;
    std::visit([&](const auto& drawing) { Draw(drawing, painter, output); }, item.drawing);
  }
  painter.restore();
  // A picture the stage no longer shows is a megabyte held for nothing; decoding it again, should it come back,
  // takes a few milliseconds.
  if (whole) {
    std::vector<QImage> kept;
    for (const auto& [name, picture] : shown_) kept.push_back(picture);
    pictures_.KeepOnly(kept);
  }
}

QImage StagePlayer::Render(const stage::DisplayList& list, int scale) {
  QImage image(kWidth * scale, kHeight * scale, QImage::Format_RGB32);
  image.fill(Qt::black);
  QPainter painter(&image);
  Paint(list, painter, QRectF(image.rect()));
  painter.end();
  return image;
}

QImage StagePlayer::Render(const Form& form, int scale) { return Render(layout_.Lay(form), scale); }

void StagePlayer::Draw(const stage::Fill& fill, QPainter& painter, const Output& output) {
  painter.fillRect(output.Pixels(fill.box), Colour(fill.colour));
}

void StagePlayer::Draw(const stage::VerticalGradient& gradient, QPainter& painter, const Output& output) {
  const QRect pixels = output.Pixels(gradient.box);
  QLinearGradient shade(0, pixels.top(), 0, pixels.top() + pixels.height());
  for (const auto& [offset, colour] : gradient.stops) shade.setColorAt(offset, Colour(colour));
  painter.fillRect(pixels, shade);
}

void StagePlayer::Draw(const stage::Polygon& polygon, QPainter& painter, const Output& output) {
  QPolygonF points;
  for (const stage::Point& point : polygon.points) points << output.Map(point.x, point.y);
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(Colour(polygon.colour));
  painter.drawPolygon(points);
  painter.restore();
}

void StagePlayer::Draw(const stage::RoundedBox& box, QPainter& painter, const Output& output) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setBrush(qAlpha(box.fill) != 0 ? QBrush(Colour(box.fill)) : QBrush(Qt::NoBrush));
  painter.setPen(box.stroke_width > 0 ? QPen(Colour(box.stroke), box.stroke_width * output.sx) : QPen(Qt::NoPen));
  const qreal radius = box.radius * output.sx;
  painter.drawRoundedRect(output.Area(box.box), radius, radius);
  painter.restore();
}

void StagePlayer::Draw(const stage::Picture& picture, QPainter& painter, const Output& output) {
  const QRect clip = output.Pixels(picture.clip);
  const QImage original = PictureNamed(picture.name);
  if (original.isNull()) {
    painter.fillRect(clip, Qt::black);
    return;
  }
  // Drawn from a copy scaled once to the device's pixels, laid over them pixel for pixel.
  const QSize size(Nearest(original.width() * picture.scale * output.sx),
                   Nearest(original.height() * picture.scale * output.sy));
  const QPointF at = output.Map(picture.at.x, picture.at.y);
  painter.save();
  painter.setClipRect(clip, Qt::IntersectClip);
  painter.drawImage(QPoint(Nearest(at.x()), Nearest(at.y())), pictures_.Scaled(original, size));
  painter.restore();
}

void StagePlayer::Draw(const stage::GlyphRun& run, QPainter& painter, const Output& output) {
  const GlyphPictures::Style style{FontAt(run.pixel_size * output.sy), run.squeeze * output.sx / output.sy,
                                   run.bold ? std::max(1, Nearest(output.sx)) : 0, run.colour};
  painter.save();
  painter.setClipRect(output.Pixels(run.clip), Qt::IntersectClip);
  for (std::size_t i = 0; i < run.glyphs.size(); ++i) {
    // While a page types only the new glyph's cell is exposed: only the glyphs that may reach into it are drawn.
    if (!stage::GlyphReach(run, i).Intersects(output.exposed)) continue;
    const stage::Glyph& glyph = run.glyphs[i];
    const QPointF origin = output.Map(glyph.x, run.baseline);
    glyphs_.Draw(painter, style, GlyphIndex(glyph.code), QPoint(Nearest(origin.x()), Nearest(origin.y())));
  }
  painter.restore();
}

QImage StagePlayer::PictureNamed(const std::string& relative) {
  if (const auto found = shown_.find(relative); found != shown_.end()) return found->second;
  return shown_.emplace(relative, pictures_.Get(PictureFile(relative))).first->second;
}

std::filesystem::path StagePlayer::PictureFile(const std::string& relative) {
  // Looking a name up case-insensitively walks directories; a name found once is kept. One not found is looked up
  // again next time, in case the file has appeared.
  if (const auto found = files_.find(relative); found != files_.end()) return found->second;
  std::filesystem::path file = folder_.GameFile(relative);
  std::error_code error;
  if (std::filesystem::exists(file, error)) files_.emplace(relative, file);
  return file;
}

const QRawFont& StagePlayer::FontAt(qreal pixels) {
  if (const auto found = sizes_.find(pixels); found != sizes_.end()) return found->second;
  if (sizes_.size() >= kSizesKept) sizes_.clear();
  QRawFont sized = font_;
  sized.setPixelSize(pixels);
  return sizes_.emplace(pixels, sized).first->second;
}

quint32 StagePlayer::GlyphIndex(char32_t code) {
  if (const auto found = glyph_indexes_.find(code); found != glyph_indexes_.end()) return found->second;
  const QList<quint32> indexes = font_.glyphIndexesForString(QString::fromUcs4(&code, 1));
  // The core has put the geta mark in place of what the font lacks; glyph 0, the font's own mark, is the last resort.
  return glyph_indexes_.emplace(code, indexes.value(0)).first->second;
}

}  // namespace shiori
