#include "platform/qt/qt_player.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "platform/qt/fonts.h"

namespace qtdesk {

namespace L = player::layout;
using player::BookPlayer;

PlayerWidget::PlayerWidget(QWidget* parent, BookPlayer& player)
    : QWidget(parent), player_(player), cache_(32 << 20) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setObjectName("playerArea");
  setProperty("needsFonts", true);
  // The window class the host looks for to hook the player's window.
  setProperty("windowClass", "MacromediaFlashPlayerActiveX");
  setFocusPolicy(Qt::StrongFocus);
  frameTimer_.setInterval(16);
  QObject::connect(&frameTimer_, &QTimer::timeout, this, [this] {
    if (turn_.active && turn_.clock.elapsed() >= 320) turn_.active = false;
    // The narrator moves at 8 frames a second.
    const player::Narration& narration = player_.narration();
    if (narration.animationRunning() && ++ticks_ % 8 == 0) ++narratorFrame_;
    if (!turn_.active && !narration.animationRunning() && !narration.narrating()) frameTimer_.stop();
    update();
  });
  // A book opens on its cover: while the movie loads, the cover decodes
  // beside it at the size it will be drawn now.
  player_.OnFirstPicture([this] {
    // A new movie: nothing drawn of the old one is wanted again.
    cache_.Clear();
    return cache_.ExpectFirst(CoverPixels());
  });
}

PlayerWidget::~PlayerWidget() { player_.OnFirstPicture(nullptr); }

void PlayerWidget::ExpectCover(player::ReadAhead& ahead) {
  cache_.Expect(ahead.FirstPicture(), CoverPixels());
}

QSize PlayerWidget::CoverPixels() const {
  // A closed book shows its cover on the right, on the stage as it is now.
  return PagePixels(L::kRightPage, StageRect().width() / L::kStageWidth);
}

QSize PlayerWidget::PagePixels(const L::Rect& r, double scale) const {
  double dpr = devicePixelRatioF();
  return QSize(std::max(1, static_cast<int>(std::lround(r.w * scale * dpr))),
               std::max(1, static_cast<int>(std::lround(r.h * scale * dpr))));
}

QRectF PlayerWidget::StageRect() const {
  double sw = L::kStageWidth, sh = L::kStageHeight;
  if (const player::SwfMovie* m = player_.movie();
      m && m->frameSize.Width() > 0 && m->frameSize.Height() > 0) {
    sw = m->frameSize.Width() / 20.0;
    sh = m->frameSize.Height() / 20.0;
  }
  double s = std::min(width() / sw, height() / sh);
  return QRectF((width() - sw * s) / 2, (height() - sh * s) / 2, sw * s, sh * s);
}

QPointF PlayerWidget::ToStage(QPointF w) const {
  QRectF stage = StageRect();
  double sw = L::kStageWidth;
  if (const player::SwfMovie* m = player_.movie(); m && m->frameSize.Width() > 0)
    sw = m->frameSize.Width() / 20.0;
  double s = stage.width() / sw;
  return QPointF((w.x() - stage.x()) / s, (w.y() - stage.y()) / s);
}

void PlayerWidget::PlayerChanged(player::Changes changes) {
  using player::Changes;
  const player::Narration& narration = player_.narration();
  if (changes.Has(Changes::kMovie)) {
    // Nothing of this movie was shown yet, and nothing of the one before stays.
    turn_.active = false;
  } else if (changes.Has(Changes::kTurn)) {
    const player::Leaf& leaf = player_.pages().leaf();
    turn_.active = true;
    turn_.forward = leaf.forward;
    turn_.fromLeft = leaf.fromLeft;
    turn_.fromRight = leaf.fromRight;
    turn_.toLeft = leaf.toLeft;
    turn_.toRight = leaf.toRight;
    turn_.clock.start();
    frameTimer_.start();
  }
  if (changes.Has(Changes::kMovie | Changes::kNarrator | Changes::kNarration) &&
      (narration.animationRunning() || narration.narrating()))
    frameTimer_.start();
  if (changes.Has(Changes::kMovie | Changes::kSound | Changes::kNarration)) PlaySound();
  if (changes.Has(~(Changes::kSound | Changes::kBookmarks))) update();
}

void PlayerWidget::PlaySound() {
  // The book's background while it is on, the chapter's narration.
  const player::Narration& narration = player_.narration();
  const bool book = player_.kind() == BookPlayer::Kind::Book && narration.soundOn() && player_.sound();
  const bool chapter =
      player_.kind() == BookPlayer::Kind::Chapter && narration.narrating() && player_.sound();
  if (!sound_ && !book && !chapter) return;
  // From the event loop: the first sound loads the audio module, which
  // must not hold up a paint (or the start-up that asked for sound).
  QTimer::singleShot(0, this, [this, play = book || chapter, loop = book] {
    if (!sound_) sound_ = std::make_unique<SoundOut>();
    sound_->Stop();
    const player::SwfSound* s = player_.sound();
    if (s && play) sound_->Play(*s, loop);
  });
}

void PlayerWidget::paintEvent(QPaintEvent*) {
  QPainter p(this);
  Render(p);
}

void PlayerWidget::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  update();
}

void PlayerWidget::Render(QPainter& p) {
  // Waits for a movie still loading.
  const player::SwfMovie* movie = player_.movie();
  // Page pictures drawn narrowed or at another size are filtered.
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  p.fillRect(rect(), QColor::fromRgb(kBackdropRgb));
  QRectF stage = StageRect();
  if (!movie) {
    if (!player_.error().empty() && FontsReady()) {
      p.setPen(Qt::white);
      p.drawText(rect().adjusted(24, 24, -24, -24), Qt::AlignCenter | Qt::TextWordWrap,
                 QString::fromUtf8("無法開啟電子書：\n") + QString::fromStdString(player_.error()));
    }
    return;
  }
  double sw = movie->frameSize.Width() / 20.0, sh = movie->frameSize.Height() / 20.0;
  double s = stage.width() / std::max(1.0, sw);
  p.save();
  p.translate(stage.topLeft());
  p.scale(s, s);
  p.setClipRect(QRectF(0, 0, sw, sh));
  if (player_.kind() == BookPlayer::Kind::Book) {
    DrawBook(p, s);
  } else if (player_.kind() == BookPlayer::Kind::Chapter) {
    DrawChapter(p, s);
  } else {
    p.fillRect(QRectF(0, 0, sw, sh), QColor(0xf4, 0xf0, 0xe6));
  }
  p.restore();
  if (!player_.error().empty() && FontsReady()) {
    p.setPen(Qt::white);
    p.drawText(rect().adjusted(8, 8, -8, -8), Qt::AlignBottom | Qt::AlignLeft,
               QString::fromStdString(player_.error()));
  }
}

void PlayerWidget::DrawPage(QPainter& p, const L::Rect& r, int page, double scale) {
  if (page <= 0) return;
  const QSize size = PagePixels(r, scale);
  const QImage& img = cache_.Get(player_, page, size);
  // Pixel for pixel where it can be: a scaled draw filters every pixel.
  if (img.size() == size && devicePixelRatioF() == 1.0 && p.transform().type() <= QTransform::TxScale) {
    QRectF at = p.transform().mapRect(R(r));
    p.save();
    p.resetTransform();
    p.drawImage(QPointF(std::round(at.x()), std::round(at.y())), img);
    p.restore();
    return;
  }
  p.drawImage(R(r), img);
}

namespace {
const QColor kStageColor(0x4a, 0x46, 0x40);

// The shadow of an opaque page on the stage, offset by `d`: black at
// `alpha` over the stage's colour, worked out here (the strips lie on the
// plain stage) so that drawing it is a plain fill, on whole device pixels
// (a fractional fill goes through the rasterizer).
void DropShadow(QPainter& p, const QRectF& page, double d, int alpha) {
  auto dim = [alpha](int c) { return c * (255 - alpha) / 255; };
  QColor shade(dim(kStageColor.red()), dim(kStageColor.green()), dim(kStageColor.blue()));
  const QTransform t = p.transform();
  auto pixels = [&](const QRectF& r) { return t.mapRect(r).toAlignedRect(); };
  QRect right = pixels(QRectF(page.right(), page.top() + d, d, page.height()));
  QRect below = pixels(QRectF(page.left() + d, page.bottom(), page.width() - d, d));
  p.save();
  p.resetTransform();
  p.fillRect(right, shade);
  p.fillRect(below, shade);
  p.restore();
}
}  // namespace

void PlayerWidget::DrawBook(QPainter& p, double scale) {
  p.fillRect(QRectF(0, 0, L::kStageWidth, L::kStageHeight), kStageColor);
  if (!player_.pages().opened()) {
    // The closed book: its cover on the right, with a shadow.
    DropShadow(p, R(L::kRightPage), 6, 70);
    DrawPage(p, L::kRightPage, 1, scale);
    DrawWindowButtons(p);
    return;
  }
  if (player_.pages().view() == player::View::Single) {
    L::Rect r = player_.pages().SingleRect();
    p.save();
    p.setClipRect(QRectF(0, 40, L::kStageWidth, L::kStageHeight - 40 - 34));
    DropShadow(p, R(r), 5, 60);
    DrawPage(p, r, player_.pages().display(), scale);
    DrawPageExtras(p, r, player_.pages().display());
    p.restore();
    DrawWindowButtons(p);
    DrawNarrator(p, scale);
    return;
  }

  QRectF both = R(L::kLeftPage).united(R(L::kRightPage));
  DropShadow(p, both, 6, 70);
  double t = turn_.active
                 ? std::clamp(turnOverride_ >= 0 ? turnOverride_ : turn_.clock.elapsed() / 320.0, 0.0, 1.0)
                 : 1.0;
  if (!turn_.active || t >= 1.0) {
    DrawPage(p, L::kLeftPage, player_.pages().leftPage(), scale);
    DrawPage(p, L::kRightPage, player_.pages().rightPage(), scale);
  } else {
    // The turning sheet folds over the spine: first the page that leaves
    // narrows towards it, then the one that arrives opens from it.
    bool fwd = turn_.forward;
    DrawPage(p, L::kLeftPage, fwd ? turn_.fromLeft : turn_.toLeft, scale);
    DrawPage(p, L::kRightPage, fwd ? turn_.toRight : turn_.fromRight, scale);
    const L::Rect& leaving = fwd ? L::kRightPage : L::kLeftPage;
    const L::Rect& arriving = fwd ? L::kLeftPage : L::kRightPage;
    int leavingPage = fwd ? turn_.fromRight : turn_.fromLeft;
    int arrivingPage = fwd ? turn_.toLeft : turn_.toRight;
    double spine = L::kRightPage.x;
    if (t < 0.5) {
      double w = leaving.w * (1 - 2 * t);
      L::Rect r{fwd ? spine : spine - w, leaving.y, w, leaving.h};
      if (w > 0.5) p.drawImage(R(r), cache_.Get(player_, leavingPage, PagePixels(leaving, scale)));
      p.fillRect(R(r), QColor(0, 0, 0, static_cast<int>(80 * 2 * t)));
    } else {
      double w = arriving.w * (2 * t - 1);
      L::Rect r{fwd ? spine - w : spine, arriving.y, w, arriving.h};
      if (w > 0.5 && arrivingPage > 0)
        p.drawImage(R(r), cache_.Get(player_, arrivingPage, PagePixels(arriving, scale)));
      p.fillRect(R(r), QColor(0, 0, 0, static_cast<int>(80 * (2 - 2 * t))));
    }
  }
  // The spine's shadow.
  QLinearGradient spine(L::kRightPage.x - 14, 0, L::kRightPage.x + 14, 0);
  spine.setColorAt(0, QColor(0, 0, 0, 0));
  spine.setColorAt(0.5, QColor(0, 0, 0, 60));
  spine.setColorAt(1, QColor(0, 0, 0, 0));
  if (player_.pages().leftPage() > 0)
    p.fillRect(QRectF(L::kRightPage.x - 14, L::kRightPage.y, 28, L::kRightPage.h), spine);
  if (!turn_.active) {
    DrawPageExtras(p, L::kLeftPage, player_.pages().leftPage());
    DrawPageExtras(p, L::kRightPage, player_.pages().rightPage());
  }
  DrawWindowButtons(p);
  DrawNarrator(p, scale);
}

void PlayerWidget::DrawChapter(QPainter& p, double) {
  double w = player_.movie()->frameSize.Width() / 20.0, h = player_.movie()->frameSize.Height() / 20.0;
  p.fillRect(QRectF(0, 0, w, h), QColor(0x1f, 0x4e, 0x79));
  if (FontsReady()) {
    p.setPen(Qt::white);
    QFont f = font();
    f.setPixelSize(14);
    p.setFont(f);
    QString title = QString::fromStdString(player_.book().chapter
                                               ? "第 " + std::to_string(player_.book().chapter) + " 章導讀"
                                               : std::string("導讀"));
    p.drawText(QRectF(10, 8, w - 20, 28), Qt::AlignLeft | Qt::AlignVCenter, title);
  }
  QRectF play = R(L::kChapterPlayButton), anim = R(L::kChapterAnimationButton);
  p.setPen(QPen(QColor(0xe8, 0xd9, 0xa8), 2));
  p.setBrush(QColor(0x12, 0x2c, 0x45));
  p.drawEllipse(play);
  p.drawEllipse(anim);
  p.setBrush(QColor(0xe8, 0xd9, 0xa8));
  p.setPen(Qt::NoPen);
  QPointF c = play.center();
  if (player_.narration().narrating()) {
    p.drawRect(QRectF(c.x() - 8, c.y() - 10, 6, 20));
    p.drawRect(QRectF(c.x() + 2, c.y() - 10, 6, 20));
  } else {
    QPolygonF tri;
    tri << QPointF(c.x() - 7, c.y() - 11) << QPointF(c.x() - 7, c.y() + 11) << QPointF(c.x() + 11, c.y());
    p.drawPolygon(tri);
  }
  // The narrator's face stands for the animation switch.
  QPointF a = anim.center();
  p.drawEllipse(a, 10, 11);
  p.setBrush(QColor(0x12, 0x2c, 0x45));
  p.drawEllipse(QPointF(a.x() - 4, a.y() - 2), 1.6, 2);
  p.drawEllipse(QPointF(a.x() + 4, a.y() - 2), 1.6, 2);
  p.drawEllipse(QPointF(a.x(), a.y() + 5), 3, player_.narration().narrating() ? 2.5 : 1);
  // Progress: a bar while narrating.
  p.setBrush(QColor(0xe8, 0xd9, 0xa8, player_.narration().narrating() ? 220 : 80));
  p.drawRect(QRectF(140, 64, w - 152, 6));
}

void PlayerWidget::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return QWidget::mousePressEvent(e);
  setFocus();
  pressAt_ = e->position();
  dragged_ = false;
}

void PlayerWidget::mouseMoveEvent(QMouseEvent* e) {
  if (!(e->buttons() & Qt::LeftButton)) return;
  QPointF d = e->position() - pressAt_;
  if (!dragged_ && std::hypot(d.x(), d.y()) < 4) return;
  dragged_ = true;
  QPointF a = ToStage(pressAt_), b = ToStage(e->position());
  player_.Pan(b.x() - a.x(), b.y() - a.y());
  pressAt_ = e->position();
}

void PlayerWidget::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(e);
  if (!dragged_) {
    QPointF s = ToStage(e->position());
    player_.Click(s.x(), s.y());
  }
}

void PlayerWidget::keyPressEvent(QKeyEvent* e) {
  switch (e->key()) {
    case Qt::Key_Right:
    case Qt::Key_PageDown: player_.NextPage(); break;
    case Qt::Key_Left:
    case Qt::Key_PageUp: player_.PreviousPage(); break;
    case Qt::Key_Home: player_.FirstPage(); break;
    case Qt::Key_End: player_.LastPage(); break;
    default: QWidget::keyPressEvent(e); return;
  }
}

}  // namespace qtdesk
