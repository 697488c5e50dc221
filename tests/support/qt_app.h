#pragma once

#include <QApplication>

namespace testing_support {

// The one application object of a Qt test process.
inline QApplication& App() {
  static int argc = 1;
  static char name[] = "reader-test";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

}  // namespace testing_support
