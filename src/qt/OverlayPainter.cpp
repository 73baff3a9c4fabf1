#include "qt/OverlayPainter.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

#include "comforts/Backlog.h"
#include "qt/StagePainter.h"

namespace shiori {
namespace {

const QColor kMarkColour(0xff, 0xd8, 0x8c);  // warm, like the lamp light of the menus
constexpr int kBacklogTop = 40;
constexpr int kBacklogPitch = 30;
constexpr int kBacklogLeft = 40;

QFont OverlayFont(int pixels) {
  QFont font(StageFontFamily());
  font.setPixelSize(pixels);
  font.setStyleStrategy(QFont::StyleStrategy(QFont::PreferAntialias | QFont::NoSubpixelAntialias));
  return font;
}

QRectF Bounds(const Widget& widget) {
  const Rect& r = widget.bounds();
  return QRectF(r.left, r.top, r.width, r.height);
}

// A mark on a widget the reader can act on; none when the widget is out of sight or out of use by now.
const Widget* Marked(const Form& form, const std::optional<std::string>& name) {
  if (!name) return nullptr;
  const Widget* widget = form.FindWidget(*name);
  return widget != nullptr && widget->TakesInput() ? widget : nullptr;
}

void PaintMarks(const Form& form, QPainter& painter) {
  if (const Widget* hovered = Marked(form, form.overlay().hover)) {
    painter.fillRect(Bounds(*hovered), QColor(255, 255, 255, 40));
  }
  if (const Widget* focused = Marked(form, form.overlay().focus)) {
    painter.setPen(QPen(kMarkColour, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(Bounds(*focused).adjusted(-3, -3, 3, 3), 4, 4);
  }
}

// A small rounded box of text: the indicator in the top right corner, the notice at the bottom.
void PaintTag(QPainter& painter, const QString& text, int pixels, QPointF anchor, Qt::Alignment side) {
  const QFont font = OverlayFont(pixels);
  const QFontMetrics metrics(font);
  const qreal width = std::min<qreal>(metrics.horizontalAdvance(text) + 2 * pixels, StagePainter::kWidth - 16);
  const qreal height = pixels * 1.8;
  const qreal left = side & Qt::AlignRight ? anchor.x() - width : anchor.x() - width / 2;
  const QRectF box(left, anchor.y(), width, height);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0, 0, 0, 170));
  painter.drawRoundedRect(box, height / 2, height / 2);
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(box, Qt::AlignCenter, metrics.elidedText(text, Qt::ElideRight, static_cast<int>(width - pixels)));
}

void PaintBacklog(const Overlay& overlay, QPainter& painter) {
  painter.fillRect(QRectF(0, 0, StagePainter::kWidth, StagePainter::kHeight), QColor(0, 0, 16, 232));
  painter.setFont(OverlayFont(12));
  painter.setPen(QColor(0xc0, 0xc0, 0xd0));
  painter.drawText(QRectF(16, 8, 608, 24), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("履歴"));
  painter.drawText(QRectF(16, 372, 608, 20), Qt::AlignRight | Qt::AlignVCenter,
                   QStringLiteral("ホイール・↑↓・PageUp/Down で読み返す　Esc・右クリックで戻る"));
  painter.setFont(OverlayFont(20));
  painter.setPen(Qt::white);
  for (std::size_t i = 0; i < overlay.backlog_lines.size(); ++i) {
    const QRectF line(kBacklogLeft, kBacklogTop + static_cast<qreal>(i) * kBacklogPitch, 560, kBacklogPitch);
    painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter, QString::fromStdString(overlay.backlog_lines[i]));
  }
  // Where the view lies in the whole history.
  const QRectF track(620, kBacklogTop, 4, Backlog::kVisibleLines * kBacklogPitch);
  painter.fillRect(track, QColor(255, 255, 255, 50));
  const qreal thumb = 24;
  painter.fillRect(
      QRectF(track.left(), track.top() + (track.height() - thumb) * overlay.backlog_position, track.width(), thumb),
      kMarkColour);
}

}  // namespace

bool HiddenByOverlay(const Form& form, const Widget& widget) {
  if (!form.overlay().text_hidden) return false;
  return &widget == form.lblSANKAKU || std::find(form.lbl1.begin(), form.lbl1.end(), &widget) != form.lbl1.end();
}

void PaintOverlay(const Form& form, QPainter& painter) {
  const Overlay& overlay = form.overlay();
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  if (overlay.backlog_open) {
    PaintBacklog(overlay, painter);
  } else {
    PaintMarks(form, painter);
  }
  if (overlay.indicator) {
    const QString text = *overlay.indicator == "AUTO" ? QStringLiteral("AUTO ▶") : QStringLiteral("SKIP ▶▶");
    // Beside the next-arrow, where the page's last line seldom reaches.
    PaintTag(painter, text, 12, QPointF(564, 374), Qt::AlignRight);
  }
  if (overlay.notice) {
    PaintTag(painter, QString::fromStdString(*overlay.notice), 14, QPointF(StagePainter::kWidth / 2.0, 340),
             Qt::AlignHCenter);
  }
  painter.restore();
}

}  // namespace shiori
