#pragma once

#include <QImage>
#include <QSize>
#include <list>
#include <memory>
#include <vector>

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

}  // namespace qtdesk
