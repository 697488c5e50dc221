#include "platform/qt/page_cache.h"

#include <QPainter>
#include <future>
#include <mutex>

#include "platform/qt/jpeg_decode.h"
#include "player/background.h"

namespace qtdesk {

struct PageCache::Ahead {
  struct Picture {
    std::vector<std::uint8_t> bytes;
    QSize size;
    std::shared_future<QImage> image;
  };
  void Offer(std::vector<std::uint8_t> bytes, QSize size);
  std::mutex mutex;
  const PictureStore* store = nullptr;
  std::list<Picture> pictures;  // newest first, a few at most
};

PageCache::PageCache(qsizetype maxBytes) : maxBytes_(maxBytes), ahead_(std::make_shared<Ahead>()) {}
PageCache::~PageCache() = default;

QImage DecodePage(const std::vector<std::uint8_t>& bytes, QSize size) {
  // Decoding straight at the drawn size lets the JPEG decoder skip the
  // detail it would throw away.
  QImage decoded = DecodeJpeg(bytes, size);
  if (decoded.isNull() && !bytes.empty()) {
    // Not a JPEG (a movie may carry PNG or GIF here) or a damaged one.
    decoded.loadFromData(bytes.data(), static_cast<int>(bytes.size()));
  }
  if (decoded.isNull()) {
    // A page that cannot be decoded is shown as such, not skipped.
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(0xee, 0xe8, 0xe0));
    QPainter p(&image);
    p.setPen(QPen(QColor(0xb0, 0x40, 0x40), 3));
    p.drawLine(0, 0, size.width(), size.height());
    p.drawLine(size.width(), 0, 0, size.height());
    return image;
  }
  // Exactly the drawn size, so that drawing it is a copy.
  if (decoded.size() != size) decoded = decoded.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  return decoded.convertToFormat(QImage::Format_RGB32);
}

const QImage& PageCache::Get(const player::BookPlayer& book, int page, QSize size) {
  for (auto it = entries_.begin(); it != entries_.end(); ++it) {
    if (it->page == page && it->size == size) {
      entries_.splice(entries_.begin(), entries_, it);
      return entries_.front().image;
    }
  }
  std::vector<std::uint8_t> bytes = book.PagePicture(page);
  std::shared_future<QImage> ahead;
  {
    std::lock_guard lock(ahead_->mutex);
    for (auto it = ahead_->pictures.begin(); it != ahead_->pictures.end(); ++it) {
      if (it->size == size && it->bytes == bytes) {
        ahead = it->image;
        ahead_->pictures.erase(it);
        break;
      }
    }
  }
  return Insert(page, size, ahead.valid() ? ahead.get() : DecodePage(bytes, size));
}

const QImage& PageCache::Insert(int page, QSize size, QImage image) {
  bytes_ += image.sizeInBytes();
  entries_.push_front({page, size, std::move(image)});
  // Keep what was used last, within the bound (always at least the spread).
  while (bytes_ > maxBytes_ && entries_.size() > 3) {
    bytes_ -= entries_.back().image.sizeInBytes();
    entries_.pop_back();
  }
  return entries_.front().image;
}

void PageCache::Ahead::Offer(std::vector<std::uint8_t> bytes, QSize size) {
  if (bytes.empty()) return;
  std::lock_guard lock(mutex);
  for (const auto& p : pictures)
    if (p.size == size && p.bytes == bytes) return;  // on its way already
  std::shared_future<QImage> image;
  if (std::optional<QImage> kept = store ? store->Load(bytes, size) : std::nullopt) {
    // Kept by an earlier start: mapping it costs less than a thread.
    std::promise<QImage> now;
    now.set_value(std::move(*kept));
    image = now.get_future().share();
  } else {
    image = std::async(std::launch::async, [bytes, size, store = store] {
              player::WorkInBackground();
              QImage image = DecodePage(bytes, size);
              if (store) store->Save(bytes, image);  // for the next start
              return image;
            }).share();
  }
  pictures.push_front({std::move(bytes), size, std::move(image)});
  // Ahead of drawing means a page or two, never a stock of them.
  if (pictures.size() > 4) pictures.pop_back();
}

void PageCache::Expect(std::vector<std::uint8_t> bytes, QSize size) { ahead_->Offer(std::move(bytes), size); }

void PageCache::UseStore(const PictureStore* store) {
  std::lock_guard lock(ahead_->mutex);
  ahead_->store = store;
}

player::PictureReady PageCache::ExpectFirst(QSize size) {
  // The cache may be gone when the reading thread gets there.
  std::weak_ptr<Ahead> ahead = ahead_;
  return [ahead, size](std::vector<std::uint8_t> bytes) {
    if (auto alive = ahead.lock()) alive->Offer(std::move(bytes), size);
  };
}

void PageCache::Clear() {
  entries_.clear();
  bytes_ = 0;
}

}  // namespace qtdesk
