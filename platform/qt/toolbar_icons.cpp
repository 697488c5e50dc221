#include "platform/qt/toolbar_icons.h"

#include <QPainter>
#include <QPixmap>
#include <QPolygonF>

namespace qtdesk {

QIcon ToolbarIcon(const std::string& key) {
  QPixmap pm(50, 50);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor ink(0x1f, 0x3a, 0x5a), accent(0xc0, 0x5a, 0x20);
  p.setPen(QPen(ink, 3.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  auto page = [&](QRectF r) {
    p.setBrush(QColor(0xfb, 0xf8, 0xf0));
    p.drawRect(r);
    p.setBrush(Qt::NoBrush);
  };
  auto speaker = [&] {
    QPolygonF s;
    s << QPointF(8, 19) << QPointF(16, 19) << QPointF(26, 10) << QPointF(26, 40) << QPointF(16, 31)
      << QPointF(8, 31);
    p.setBrush(ink);
    p.drawPolygon(s);
    p.setBrush(Qt::NoBrush);
  };
  auto lines = [&] {
    page(QRectF(9, 6, 32, 38));
    p.setPen(QPen(accent, 3));
    for (int y = 16; y <= 36; y += 7) p.drawLine(13, y, 37, y);
    p.setPen(QPen(ink, 3.5));
  };
  auto magnifier = [&](bool plus) {
    p.drawEllipse(QRectF(7, 7, 26, 26));
    p.drawLine(QPointF(29, 29), QPointF(43, 43));
    p.drawLine(QPointF(13, 20), QPointF(27, 20));
    if (plus) p.drawLine(QPointF(20, 13), QPointF(20, 27));
  };
  if (key == "Index") {
    page(QRectF(9, 6, 32, 38));
    for (int y = 15; y <= 35; y += 10) {
      p.drawPoint(QPointF(15, y));
      p.drawLine(QPointF(21, y), QPointF(35, y));
    }
  } else if (key == "player") {
    p.setBrush(ink);
    QPolygonF t;
    t << QPointF(15, 9) << QPointF(15, 41) << QPointF(40, 25);
    p.drawPolygon(t);
  } else if (key == "zoomIn") {
    magnifier(true);
  } else if (key == "zoomOut") {
    magnifier(false);
  } else if (key == "singlePage") {
    page(QRectF(13, 6, 24, 38));
  } else if (key == "doublePage") {
    page(QRectF(4, 8, 21, 34));
    page(QRectF(25, 8, 21, 34));
  } else if (key == "Note") {
    p.setBrush(QColor(0xff, 0xd8, 0x40));
    QPolygonF n;
    n << QPointF(8, 7) << QPointF(42, 7) << QPointF(42, 33) << QPointF(32, 43) << QPointF(8, 43);
    p.drawPolygon(n);
    for (int y = 16; y <= 30; y += 7) p.drawLine(14, y, 36, y);
  } else if (key == "bookmark") {
    p.setBrush(accent);
    QPolygonF b;
    b << QPointF(14, 5) << QPointF(36, 5) << QPointF(36, 45) << QPointF(25, 35) << QPointF(14, 45);
    p.drawPolygon(b);
  } else if (key == "mute") {
    speaker();
    p.setPen(QPen(accent, 3.5));
    p.drawLine(31, 18, 43, 32);
    p.drawLine(43, 18, 31, 32);
  } else if (key == "soundOn") {
    speaker();
    p.drawArc(QRectF(24, 15, 12, 20), -60 * 16, 120 * 16);
    p.drawArc(QRectF(24, 9, 20, 32), -60 * 16, 120 * 16);
  } else if (key == "transfer") {
    p.drawLine(8, 17, 40, 17);
    p.drawLine(32, 9, 40, 17);
    p.drawLine(42, 33, 10, 33);
    p.drawLine(18, 41, 10, 33);
  } else if (key == "regionLine") {
    lines();
  } else if (key == "regionLine2") {
    lines();
    p.setPen(QPen(accent, 3.5));
    p.drawLine(6, 44, 44, 6);
  } else if (key == "Discuss") {
    p.setBrush(QColor(0xdd, 0xea, 0xf6));
    p.drawRoundedRect(QRectF(5, 8, 40, 26), 8, 8);
    QPolygonF tail;
    tail << QPointF(14, 33) << QPointF(12, 44) << QPointF(24, 33);
    p.drawPolygon(tail);
  } else if (key == "Help") {
    p.drawEllipse(QRectF(6, 6, 38, 38));
    QFont f("DejaVu Sans");
    f.setPixelSize(28);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRectF(6, 6, 38, 38), Qt::AlignCenter, "?");
  } else if (key == "Buy") {
    p.drawLine(QPointF(5, 9), QPointF(12, 9));
    p.drawLine(QPointF(12, 9), QPointF(18, 32));
    p.drawLine(QPointF(18, 32), QPointF(40, 32));
    p.drawLine(QPointF(15, 16), QPointF(44, 16));
    p.drawLine(QPointF(44, 16), QPointF(40, 32));
    p.drawEllipse(QPointF(20, 40), 3, 3);
    p.drawEllipse(QPointF(37, 40), 3, 3);
  }
  p.end();
  return QIcon(pm);
}

}  // namespace qtdesk
