// Escape in a dialog is its close box, whichever control has the focus; the
// main window has none.
#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>
#include "app/window_designs.h"
#include "components/window.h"
#include "platform/qt/qt_desktop.h"
#include "tests/support/qt_app.h"

using namespace components;

TEST(Escape, ClosesEveryWindowButTheMainOneAsItsCloseBoxDoes) {
  testing_support::App();
  qtdesk::Desktop desktop;
  for (const auto& shown : app::AllWindowDesigns()) {
    const std::string name = shown.design.name;
    Window window(desktop, shown.design);
    std::vector<CloseKind> requests;
    window.OnQueryUnload([&](bool&, CloseKind kind) { requests.push_back(kind); });
    window.Show();
    auto* top = reinterpret_cast<QWidget*>(window.Handle());
    top->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(top)) << name;
    QWidget* focused = QApplication::focusWidget();
    QTest::keyClick(focused ? focused : top, Qt::Key_Escape);
    QCoreApplication::processEvents();
    if (name == "Form1") {
      EXPECT_TRUE(window.IsLoaded());
      EXPECT_TRUE(requests.empty());
    } else {
      EXPECT_FALSE(window.IsLoaded())
          << name << ", focus on " << (focused ? focused->objectName().toStdString() : "nothing");
      EXPECT_EQ(requests, std::vector<CloseKind>{CloseKind::ControlMenu}) << name;
    }
  }
}
