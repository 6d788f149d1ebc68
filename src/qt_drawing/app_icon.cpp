#include "qt_drawing/app_icon.h"

#include <QColor>
#include <QPainter>

namespace velmora {

QImage DrawAppIcon(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 256.0, size / 256.0);
  const QColor paper(0xfd, 0xf8, 0xee);
  p.setPen(Qt::NoPen);
  p.setBrush(paper);
  p.drawRoundedRect(QRectF(8, 8, 240, 240), 20, 20);
  QPen pen(QColor(0x7a, 0x1f, 0x1f), 10, Qt::SolidLine, Qt::SquareCap);
  p.setPen(pen);
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRectF(24, 24, 208, 208));
  for (double at : {76.0, 180.0}) {
    p.drawLine(QPointF(at, 24), QPointF(at, 232));
    p.drawLine(QPointF(24, at), QPointF(232, at));
  }
  p.drawLine(QPointF(128, 24), QPointF(128, 76));
  p.drawLine(QPointF(128, 180), QPointF(128, 232));
  p.drawLine(QPointF(24, 128), QPointF(76, 128));
  p.drawLine(QPointF(180, 128), QPointF(232, 128));
  p.setPen(Qt::NoPen);
  p.setBrush(paper);
  p.drawRect(QRectF(81, 81, 94, 94));
  p.setBrush(QColor(0xc0, 0x39, 0x2b));
  p.drawEllipse(QPointF(128, 128), 18, 18);
  p.end();
  return image;
}

}  // namespace velmora
