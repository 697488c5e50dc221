#include "platform/qt/qt_player.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QTest>

#include "book/embedded.h"
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
    book.OnChanged([this] { widget.PlayerChanged(); });
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
  EXPECT_TRUE(book.opened());
  EXPECT_EQ(book.leftPage(), 2);
  widget.SetTurnProgress(1.0);
  QColor paper = Frame().pixelColor(At(L::kLeftPage.x + 10, L::kLeftPage.y + 480));
  EXPECT_GT(paper.lightness(), 200);  // the contents page on the left
}

TEST_F(QtPlayer, KeysTurnPagesAndDraggingPansAZoomedPage) {
  book.TCallLabel("/", "startPlay");
  QTest::keyClick(&widget, Qt::Key_Right);
  EXPECT_EQ(book.rightPage(), 5);
  QTest::keyClick(&widget, Qt::Key_PageUp);
  EXPECT_EQ(book.rightPage(), 3);
  QTest::keyClick(&widget, Qt::Key_End);
  EXPECT_EQ(book.rightPage(), 31);
  QTest::keyClick(&widget, Qt::Key_Home);
  EXPECT_EQ(book.rightPage(), 1);

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
  EXPECT_NEAR(book.panY(), -100, 2);
  EXPECT_EQ(book.display(), 12);  // a drag is no click
}

TEST_F(QtPlayer, AnUndecodablePageIsDrawnAsSuchAndTheCacheStaysBounded) {
  qtdesk::PageCache cache(8 << 20);
  for (int page = 1; page <= 31; ++page) cache.Get(book, page, QSize(664, 996));
  EXPECT_LE(cache.bytes(), 8 << 20);
  player::BookPlayer empty(desktop, nullptr);
  const QImage& missing = cache.Get(empty, 1, QSize(40, 60));
  EXPECT_EQ(missing.size(), QSize(40, 60));
}
