#include "platform/qt/qt_player.h"

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QTest>

#include <filesystem>
#include <fstream>

#include "book/embedded.h"
#include "platform/qt/jpeg_decode.h"
#include "platform/qt/picture_store.h"
#include "platform/qt/qt_desktop.h"
#include "tests/support/qt_app.h"
#include "tests/support/support.h"

namespace L = player::layout;
using testing_support::App;
using testing_support::TempDir;

namespace {

class QtPlayer : public ::testing::Test {
 protected:
  QtPlayer() {
    const auto& r = book::EmbeddedResources()[0];
    testing_support::WriteFile(dir / "book.swf", std::string(reinterpret_cast<const char*>(r.data), r.size));
    widget.resize(768, 576);
    book.OnChanged([this](player::Changes changes) { widget.PlayerChanged(changes); });
    book.Movie(dir / "book.swf");
  }
  QPoint At(double x, double y) {
    QRectF s = widget.StageRect();
    double k = s.width() / L::kStageWidth;
    return QPoint(static_cast<int>(s.x() + x * k), static_cast<int>(s.y() + y * k));
  }
  QImage Frame() {
    QImage img(widget.size(), QImage::Format_RGB32);
    QPainter p(&img);
    widget.Render(p);
    return img;
  }
  QApplication& app = App();  // before any widget
  TempDir dir;
  qtdesk::Desktop desktop;
  player::BookPlayer book{desktop, nullptr};
  qtdesk::PlayerWidget widget{nullptr, book};
};

}  // namespace

TEST_F(QtPlayer, DrawsTheCoverThenOpensOnAClick) {
  QImage cover = Frame();
  QColor onCover = cover.pixelColor(At(L::kRightPage.x + 20, L::kRightPage.y + 200));
  EXPECT_GT(onCover.blue(), onCover.red() + 20);  // the cover is blue
  QColor leftOfIt = cover.pixelColor(At(L::kLeftPage.x + 100, L::kLeftPage.y + 200));
  EXPECT_LT(leftOfIt.lightness(), 100);  // no page on the left yet

  QTest::mouseClick(&widget, Qt::LeftButton, {}, At(L::kRightPage.x + 100, L::kRightPage.y + 200));
  EXPECT_TRUE(book.pages().opened());
  EXPECT_EQ(book.pages().leftPage(), 2);
  widget.SetTurnProgress(1.0);
  QColor paper = Frame().pixelColor(At(L::kLeftPage.x + 10, L::kLeftPage.y + 480));
  EXPECT_GT(paper.lightness(), 200);  // the contents page on the left
}

TEST_F(QtPlayer, KeysTurnPagesAndDraggingPansAZoomedPage) {
  book.TCallLabel("/", "startPlay");
  QTest::keyClick(&widget, Qt::Key_Right);
  EXPECT_EQ(book.pages().rightPage(), 5);
  QTest::keyClick(&widget, Qt::Key_PageUp);
  EXPECT_EQ(book.pages().rightPage(), 3);
  QTest::keyClick(&widget, Qt::Key_End);
  EXPECT_EQ(book.pages().rightPage(), 31);
  QTest::keyClick(&widget, Qt::Key_Home);
  EXPECT_EQ(book.pages().rightPage(), 1);

  book.GoToPage(12);
  book.TCallLabel("/", "singleLeft");
  book.TCallLabel("/", "singleZoomIn");
  book.TCallLabel("/", "singleZoomIn");
  QPoint from = At(384, 300), to = At(384, 200);
  QTest::mousePress(&widget, Qt::LeftButton, {}, from);
  QMouseEvent move(QEvent::MouseMove, to, widget.mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                   Qt::NoModifier);
  QApplication::sendEvent(&widget, &move);
  QTest::mouseRelease(&widget, Qt::LeftButton, {}, to);
  EXPECT_NEAR(book.pages().panY(), -100, 2);
  EXPECT_EQ(book.pages().display(), 12);  // a drag is no click
}

TEST_F(QtPlayer, ALeafTurnsWhenTheSpreadChangesNotWithTheMovieNorForASinglePage) {
  book.TCallLabel("/", "startPlay");  // while the movie loads
  Frame();
  EXPECT_TRUE(book.pages().opened());
  EXPECT_FALSE(widget.turning());  // nothing of the book was shown to turn from
  book.TCallLabel("/", "singleRight");
  book.TCallLabel("/", "doublePage");
  EXPECT_FALSE(widget.turning());
  QTest::keyClick(&widget, Qt::Key_Right);
  EXPECT_TRUE(widget.turning());
}

TEST_F(QtPlayer, AnUndecodablePageIsDrawnAsSuchAndTheCacheStaysBounded) {
  qtdesk::PageCache cache(8 << 20);
  for (int page = 1; page <= 31; ++page) cache.Get(book, page, QSize(664, 996));
  EXPECT_LE(cache.bytes(), 8 << 20);
  player::BookPlayer empty(desktop, nullptr);
  const QImage& missing = cache.Get(empty, 1, QSize(40, 60));
  EXPECT_EQ(missing.size(), QSize(40, 60));
}

namespace {
QByteArray JpegOf(QSize size, QColor colour, int quality = 90) {
  QImage img(size, QImage::Format_RGB32);
  img.fill(colour);
  QPainter(&img).fillRect(QRect(0, 0, size.width() / 2, size.height()), Qt::white);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  img.save(&buffer, "JPEG", quality);
  return bytes;
}
std::vector<std::uint8_t> Bytes(const QByteArray& b) { return {b.begin(), b.end()}; }
}  // namespace

TEST(JpegDecoding, TakesTheSmallestEighthThatCoversTheSizeAndRefusesWhatIsNotAJpeg) {
  App();
  auto jpeg = Bytes(JpegOf(QSize(654, 980), Qt::blue));
  EXPECT_EQ(qtdesk::DecodeJpeg(jpeg, QSize(327, 490)).size(), QSize(327, 490));
  EXPECT_EQ(qtdesk::DecodeJpeg(jpeg, QSize(328, 490)).size(), QSize(409, 613));  // 5/8
  EXPECT_EQ(qtdesk::DecodeJpeg(jpeg, QSize(1000, 1000)).size(), QSize(654, 980));
  EXPECT_EQ(qtdesk::DecodeJpeg(jpeg, QSize(10, 10)).size(), QSize(82, 123));  // 1/8
  QImage half = qtdesk::DecodeJpeg(jpeg, QSize(327, 490));
  EXPECT_GT(half.pixelColor(300, 200).blue(), 200);
  EXPECT_GT(half.pixelColor(20, 200).red(), 230);  // the white half
  // Cut short or not a JPEG at all: no picture, no crash, and the page
  // drawing falls back to its placeholder.
  auto cut = jpeg;
  cut.resize(cut.size() / 3);
  QImage partial = qtdesk::DecodeJpeg(cut, QSize(327, 490));
  EXPECT_TRUE(partial.isNull() || partial.size() == QSize(327, 490));
  EXPECT_TRUE(qtdesk::DecodeJpeg(std::vector<std::uint8_t>{0xFF, 0xD8, 0xFF, 0x00, 1, 2}, {}).isNull());
  EXPECT_TRUE(qtdesk::DecodeJpeg(std::vector<std::uint8_t>{'G', 'I', 'F', '8'}, {}).isNull());
  EXPECT_EQ(qtdesk::DecodePage({'G', 'I', 'F'}, QSize(40, 60)).size(), QSize(40, 60));
}

TEST(PictureKeeping, ServesExactlyTheBytesAndSizeItWasMadeFromAndKeepsAFew) {
  App();
  TempDir dir;
  qtdesk::PictureStore store(dir / "pictures", 3);
  auto blue = Bytes(JpegOf(QSize(200, 300), Qt::blue));
  QImage decoded = qtdesk::DecodePage(blue, QSize(100, 150));
  EXPECT_FALSE(store.Load(blue, QSize(100, 150)));
  ASSERT_TRUE(store.Save(blue, decoded));
  auto kept = store.Load(blue, QSize(100, 150));
  ASSERT_TRUE(kept);
  EXPECT_EQ(*kept, decoded);
  // Other bytes with the same start, another size: misses.
  auto other = blue;
  other[other.size() - 10] ^= 1;
  EXPECT_FALSE(store.Load(other, QSize(100, 150)));
  EXPECT_FALSE(store.Load(blue, QSize(100, 151)));
  // A torn or foreign entry is a miss, never a picture.
  std::string entry;
  for (const auto& e : std::filesystem::directory_iterator(dir / "pictures")) entry = e.path();
  std::filesystem::resize_file(entry, std::filesystem::file_size(entry) - 1);
  EXPECT_FALSE(store.Load(blue, QSize(100, 150)));
  ASSERT_TRUE(store.Save(blue, decoded));
  {
    std::fstream f(entry, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(0);
    f.put('X');
  }
  EXPECT_FALSE(store.Load(blue, QSize(100, 150)));
  // Only the newest few stay.
  for (int i = 0; i < 5; ++i) {
    auto b = Bytes(JpegOf(QSize(200, 300), QColor(i * 40, 0, 0)));
    ASSERT_TRUE(store.Save(b, qtdesk::DecodePage(b, QSize(50, 75))));
  }
  int entries = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir / "pictures"))
    entries += e.path().extension() == ".pix";
  EXPECT_EQ(entries, 3);
  // A folder that cannot be made: nothing kept, nothing broken.
  qtdesk::PictureStore nowhere("/proc/no/such/folder");
  EXPECT_FALSE(nowhere.Save(blue, decoded));
  EXPECT_FALSE(nowhere.Load(blue, QSize(100, 150)));
}

TEST_F(QtPlayer, APictureExpectedAheadIsTheOneDrawnAndIsKeptForTheNextStart) {
  TempDir keep;
  qtdesk::PictureStore store(keep / "pictures");
  ASSERT_TRUE(book.movie());  // waits for it
  auto cover = book.PagePicture(1);
  {
    qtdesk::PageCache cache(8 << 20);
    cache.UseStore(&store);
    cache.Expect(cover, QSize(327, 490));
    const QImage& drawn = cache.Get(book, 1, QSize(327, 490));
    EXPECT_EQ(drawn, qtdesk::DecodePage(cover, QSize(327, 490)));
  }
  auto kept = store.Load(cover, QSize(327, 490));
  ASSERT_TRUE(kept);
  // The next start draws what was kept.
  qtdesk::PageCache next(8 << 20);
  next.UseStore(&store);
  next.Expect(cover, QSize(327, 490));
  EXPECT_EQ(next.Get(book, 1, QSize(327, 490)), *kept);
}
