// What the player widget draws over the book's pages: marker lines, note
// markers and narration buttons, the book's own window buttons, the narrator.
#include <QPainter>
#include <QPainterPath>
#include <cmath>

#include "platform/qt/qt_player.h"

namespace qtdesk {

namespace L = player::layout;

void PlayerWidget::DrawPageExtras(QPainter& p, const L::Rect& r, int page) {
  if (page <= 0) return;
  if (player_.pages().lines()) {
    p.setPen(QPen(QColor(0x3b, 0x7d, 0xd8, 90), 1.2));
    for (double y = r.y + r.h * 0.14; y < r.y + r.h * 0.9; y += r.h / 24)
      p.drawLine(QPointF(r.x + 12, y), QPointF(r.x + r.w - 12, y));
  }
  if (player_.lists().NoteIndexOf(page) >= 0) {
    L::Rect m = L::NoteMarker(r);
    p.setPen(QPen(QColor(0xa0, 0x80, 0x10), 1));
    p.setBrush(QColor(0xff, 0xd8, 0x40));
    QPainterPath fold;
    fold.moveTo(m.x, m.y);
    fold.lineTo(m.x + m.w, m.y);
    fold.lineTo(m.x + m.w, m.y + m.h - 7);
    fold.lineTo(m.x + m.w - 7, m.y + m.h);
    fold.lineTo(m.x, m.y + m.h);
    fold.closeSubpath();
    p.drawPath(fold);
    p.setPen(QPen(QColor(0x80, 0x60, 0x10), 1.2));
    for (int i = 1; i <= 3; ++i)
      p.drawLine(QPointF(m.x + 4, m.y + i * 5.5), QPointF(m.x + m.w - 5, m.y + i * 5.5));
  }
  if (auto c = player_.book().ChapterOf(page); c && c->first == page) {
    L::Rect b = L::NarrationButton(r);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1f, 0x4e, 0x79));
    p.drawEllipse(R(b));
    // A loudspeaker with two waves.
    double cx = b.x + b.w / 2, cy = b.y + b.h / 2, u = b.w / 40;
    QPainterPath spk;
    spk.moveTo(cx - 10 * u, cy - 4 * u);
    spk.lineTo(cx - 5 * u, cy - 4 * u);
    spk.lineTo(cx + 1 * u, cy - 10 * u);
    spk.lineTo(cx + 1 * u, cy + 10 * u);
    spk.lineTo(cx - 5 * u, cy + 4 * u);
    spk.lineTo(cx - 10 * u, cy + 4 * u);
    spk.closeSubpath();
    p.setBrush(Qt::white);
    p.drawPath(spk);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, 2 * u));
    p.drawArc(QRectF(cx - 2 * u, cy - 6 * u, 10 * u, 12 * u), -60 * 16, 120 * 16);
    p.drawArc(QRectF(cx - 2 * u, cy - 11 * u, 16 * u, 22 * u), -60 * 16, 120 * 16);
  }
}

void PlayerWidget::DrawWindowButtons(QPainter& p) {
  for (int i = 0; i < 4; ++i) {
    L::Rect b = L::WindowButton(i);
    QRectF r = R(b);
    p.setPen(QPen(QColor(0x90, 0x88, 0x78), 1));
    p.setBrush(QColor(0x4a, 0x46, 0x40));
    p.drawRoundedRect(r, 4, 4);
    p.setPen(QPen(QColor(0xf0, 0xe8, 0xd8), 2));
    p.setBrush(Qt::NoBrush);
    QRectF g = r.adjusted(6, 6, -6, -6);
    switch (i) {
      case L::kHelpButton: {
        QPainterPath q;
        q.moveTo(g.left() + 2, g.top() + 3);
        q.cubicTo(g.left() + 2, g.top() - 1, g.right() - 1, g.top() - 1, g.right() - 1, g.top() + 3);
        q.cubicTo(g.right() - 1, g.top() + 6, g.center().x(), g.top() + 6, g.center().x(), g.bottom() - 3);
        p.drawPath(q);
        p.drawPoint(QPointF(g.center().x(), g.bottom()));
        break;
      }
      case L::kMinimizeButton:
        p.drawLine(QPointF(g.left(), g.bottom()), QPointF(g.right(), g.bottom()));
        break;
      case L::kMaximizeButton:
        if (player_.pages().maximized()) {
          p.drawRect(g.adjusted(0, 3, -3, 0));
          p.drawLine(QPointF(g.left() + 3, g.top()), QPointF(g.right(), g.top()));
          p.drawLine(QPointF(g.right(), g.top()), QPointF(g.right(), g.bottom() - 3));
        } else {
          p.drawRect(g);
        }
        break;
      case L::kCloseButton:
        p.drawLine(g.topLeft(), g.bottomRight());
        p.drawLine(g.topRight(), g.bottomLeft());
        break;
    }
  }
}

void PlayerWidget::DrawNarrator(QPainter& p, double scale) {
  const player::SwfMovie* man = player_.narration().narrator();
  if (!man || !player_.narration().animationRunning()) return;
  if (narratorFor_ != man) {
    narratorFrames_.clear();
    for (size_t i = 0; i < man->pictures.size(); ++i) {
      std::vector<std::uint8_t> b = man->EncodedPicture(i);
      QImage img;
      if (!b.empty()) img.loadFromData(b.data(), static_cast<int>(b.size()));
      if (!img.isNull()) narratorFrames_.push_back(img);
    }
    narratorFor_ = man;
  }
  if (narratorFrames_.empty()) return;
  (void)scale;
  const QImage& f = narratorFrames_[static_cast<size_t>(narratorFrame_) % narratorFrames_.size()];
  QRectF r(8, 476, 66, 66);
  p.setPen(QPen(QColor(0xe8, 0xd9, 0xa8), 2));
  p.setBrush(Qt::NoBrush);
  p.drawImage(r, f);
  p.drawEllipse(r.adjusted(-1, -1, 1, 1));
}

}  // namespace qtdesk
