// The main window under a real window manager: maximised and restored,
// from the program or from the frame, it comes back where it was.
#include <QTest>
#include <cstdlib>

#include <gtest/gtest.h>
#include "components/window.h"
#include "platform/qt/qt_desktop.h"
#include "tests/support/qt_app.h"

using namespace components;

namespace {

// The frame's own button: the window manager changes the state.
void AskWindowManager(QWidget* top, const char* change) {
  std::string command =
      "wmctrl -i -r " + std::to_string(top->winId()) + " -b " + change + ",maximized_vert,maximized_horz";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

void WaitFor(const std::function<bool()>& done) {
  for (int i = 0; i < 100 && !done(); ++i) QTest::qWait(20);
  QTest::qWait(200);  // whatever else the window manager has to say
}

}  // namespace

TEST(WindowManager, ARestoredWindowComesBackWhereItWasHoweverItWasMaximised) {
  testing_support::App();
  qtdesk::Desktop desktop;
  WindowDesign d{.name = "Form1", .caption = "書", .clientWidth = 11400, .clientHeight = 8235};
  struct Case {
    const char* name;
    bool byProgram;
  };
  for (const Case& c : {Case{"from the program", true}, Case{"from the frame", false}}) {
    Window window(desktop, d);
    // As the main window does: in the normal state it takes its designed size.
    window.OnResize([&] {
      if (window.State() != WindowState::Normal) return;
      window.SetWidth(11520);
      window.SetHeight(8640);
    });
    window.Show();
    auto* top = reinterpret_cast<QWidget*>(window.Handle());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(top));
    WaitFor([&] { return top->frameGeometry() != top->geometry(); });
    const QPoint at = top->pos();
    const QSize size = top->size();
    if (c.byProgram) {
      window.SetState(WindowState::Maximized);
    } else {
      AskWindowManager(top, "add");
    }
    WaitFor([&] { return top->size() != size; });
    EXPECT_GT(top->width(), size.width()) << c.name;
    if (c.byProgram) {
      window.SetState(WindowState::Normal);
    } else {
      AskWindowManager(top, "remove");
    }
    WaitFor([&] { return top->size() == size && top->pos() == at; });
    EXPECT_EQ(top->size(), size) << c.name;
    EXPECT_EQ(top->pos(), at) << c.name;
  }
}
