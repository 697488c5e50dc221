#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <list>
#include <memory>

#include "platform/qt/picture_store.h"
#include "player/book_player.h"

namespace qtdesk {

// Decoded page pictures at the size they are drawn, within a memory bound.
class PageCache {
 public:
  explicit PageCache(qsizetype maxBytes);
  ~PageCache();
  // The page scaled to `size` (device pixels); a placeholder when the
  // picture cannot be decoded.
  const QImage& Get(const player::BookPlayer& book, int page, QSize size);
  // Starts decoding a picture for drawing at `size`, on a thread of its
  // own; a later Get of a page with exactly these bytes at this size takes
  // it. Safe on any thread.
  void Expect(std::vector<std::uint8_t> bytes, QSize size);
  // What hands a movie's first picture to Expect at `size`, from the
  // thread that reads the movie.
  player::PictureReady ExpectFirst(QSize size);
  // Where pictures decoded ahead are kept between starts (it must outlive
  // this cache); none by default.
  void UseStore(const PictureStore* store);
  qsizetype bytes() const { return bytes_; }
  void Clear();

 private:
  struct Entry {
    int page;
    QSize size;
    QImage image;
  };
  struct Ahead;
  const QImage& Insert(int page, QSize size, QImage image);
  std::list<Entry> entries_;  // most recent first
  qsizetype bytes_ = 0;
  qsizetype maxBytes_;
  std::shared_ptr<Ahead> ahead_;  // shared with the threads that offer pictures
};

// A page picture decoded for drawing at `size`: the decoder's nearest
// larger scale, or exactly `size` when that is far off; a placeholder when
// it cannot be decoded. Safe on any thread.
QImage DecodePage(const std::vector<std::uint8_t>& bytes, QSize size);

// The sound output, in a module of its own (libreader_sound.so beside the
// program): the audio libraries it needs are many, and loading them is
// left until a sound first plays.
class SoundBackend {
 public:
  virtual ~SoundBackend() = default;
  virtual void Play(const player::SwfSound& sound, bool loop) = 0;
  virtual void Stop() = 0;
};

// Plays raw sound through the desktop's audio output, when it has one.
class SoundOut {
 public:
  SoundOut();
  ~SoundOut();
  void Play(const player::SwfSound& sound, bool loop);
  void Stop();

 private:
  std::unique_ptr<SoundBackend> backend_;
  bool tried_ = false;
};

// Draws what the stand-in player holds and turns mouse and keys into the
// reader's actions on it.
// Around the book's stage; also what a window shows where its player
// leaves the client area uncovered.
constexpr QRgb kBackdropRgb = 0x302e2a;

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
