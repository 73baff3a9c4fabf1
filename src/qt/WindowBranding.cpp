#include <QIcon>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include "qt/MainWindow.h"

namespace shiori {
namespace {

// A page with a red ribbon bookmark hanging over its top edge, on a night-blue tile.
QPixmap DrawIcon(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(size / 64.0, size / 64.0);
  QLinearGradient tile(0, 0, 0, 64);
  tile.setColorAt(0, QColor(0x2c, 0x33, 0x5a));
  tile.setColorAt(1, QColor(0x10, 0x13, 0x26));
  painter.setPen(Qt::NoPen);
  painter.setBrush(tile);
  painter.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
  painter.setBrush(QColor(0xf4, 0xee, 0xdc));
  painter.drawRoundedRect(QRectF(14, 12, 36, 42), 3, 3);
  painter.setPen(QPen(QColor(0xb8, 0xb0, 0x9c), 2));
  for (int y : {24, 31, 38, 45}) painter.drawLine(QPointF(20, y), QPointF(36, y));
  QPainterPath ribbon;
  ribbon.moveTo(39, 8);
  ribbon.lineTo(47, 8);
  ribbon.lineTo(47, 34);
  ribbon.lineTo(43, 29);
  ribbon.lineTo(39, 34);
  ribbon.closeSubpath();
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0xc8, 0x2a, 0x3c));
  painter.drawPath(ribbon);
  return pixmap;
}

}  // namespace

QString WindowCaption() { return QStringLiteral("shiori — 「栞をはさんで」"); }

QIcon WindowIcon() {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128, 256}) icon.addPixmap(DrawIcon(size));
  return icon;
}

}  // namespace shiori
