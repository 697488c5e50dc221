// At a scale factor of 2 (QT_SCALE_FACTOR, set by the test's registration):
// windows twice the size in device pixels, pages decoded at that resolution.
#include <QTest>

#include "platform/qt/qt_player.h"
#include "tests/support/qt_program.h"

using HighResolution = testing_support::QtProgram;

TEST_F(HighResolution, TheMainWindowAndThePagesAreDrawnAtDeviceResolution) {
  ASSERT_EQ(qgetenv("QT_SCALE_FACTOR"), "2");
  EXPECT_EQ(window->devicePixelRatio(), 2);
  EXPECT_EQ(window->size() * window->devicePixelRatio(), QSize(1520, 1098));
  auto* book = static_cast<qtdesk::PlayerWidget*>(player);
  // The demo book's page pictures hold twice the normal size: pixel for pixel here.
  EXPECT_EQ(book->CoverPixels(), QSize(654, 980));
  QTest::qWait(50);
  EXPECT_GE(book->cache().bytes(), 654 * 980 * 4);  // decoded at that size, not scaled up from half
}
