#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <memory>

#include "platform/qt/page_cache.h"
#include "platform/qt/sound_out.h"
#include "player/book_player.h"

namespace qtdesk {

// Around the book's stage; also what a window shows where its player
// leaves the client area uncovered.
constexpr QRgb kBackdropRgb = 0x302e2a;

// Draws what the stand-in player holds and turns mouse and keys into the
// reader's actions on it.
class PlayerWidget : public QWidget {
 public:
  PlayerWidget(QWidget* parent, player::BookPlayer& player);
  ~PlayerWidget() override;

  // The stage's place in the widget: the whole movie shown, aspect kept.
  QRectF StageRect() const;
  // The device pixels a page rectangle of the stage takes.
  QSize PagePixels(const player::layout::Rect& r, double scale) const;
  // Where a closed book's cover would be drawn now.
  QSize CoverPixels() const;
  // Decodes the cover of the book read ahead at the size it will be drawn
  // now, while the movie loads.
  void ExpectCover(player::ReadAhead& ahead);
  QPointF ToStage(QPointF widgetPoint) const;
  // Told what changed in the player: starts a leaf turning, sound,
  // animation, and redraws what is seen.
  void PlayerChanged(player::Changes changes);
  // Draws one frame into `painter` (also used by the benchmarks).
  void Render(QPainter& painter);
  bool turning() const { return turn_.active; }
  // Moves a running page turn to the fraction t of its way (benchmarks).
  void SetTurnProgress(double t) { turnOverride_ = t; }
  PageCache& cache() { return cache_; }
  // Keeps the player it draws until the widget itself goes.
  void Adopt(std::unique_ptr<player::BookPlayer> player) { owned_ = std::move(player); }

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent*) override;
  void mouseMoveEvent(QMouseEvent*) override;
  void mouseReleaseEvent(QMouseEvent*) override;
  void keyPressEvent(QKeyEvent*) override;
  void resizeEvent(QResizeEvent*) override;

 private:
  struct Turn {
    bool active = false;
    bool forward = true;
    int fromLeft = 0, fromRight = 0, toLeft = 0, toRight = 0;
    QElapsedTimer clock;
  };
  void DrawBook(QPainter& p, double scale);
  void DrawChapter(QPainter& p, double scale);
  void DrawPage(QPainter& p, const player::layout::Rect& r, int page, double scale);
  void DrawPageExtras(QPainter& p, const player::layout::Rect& r, int page);
  void DrawWindowButtons(QPainter& p);
  void DrawNarrator(QPainter& p, double scale);
  void PlaySound();
  QRectF R(const player::layout::Rect& r) const { return QRectF(r.x, r.y, r.w, r.h); }

  std::unique_ptr<player::BookPlayer> owned_;  // goes after everything that uses it
  player::BookPlayer& player_;
  PageCache cache_;
  Turn turn_;
  double turnOverride_ = -1;
  QTimer frameTimer_;
  int narratorFrame_ = 0;
  int ticks_ = 0;
  QPointF pressAt_;
  bool dragged_ = false;
  std::unique_ptr<SoundOut> sound_;
  std::vector<QImage> narratorFrames_;
  const void* narratorFor_ = nullptr;
};

}  // namespace qtdesk
