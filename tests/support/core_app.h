#pragma once

#include <QCoreApplication>

namespace testing_support {

// The one application object of a Qt test process that shows no window.
inline QCoreApplication& CoreApp() {
  static int argc = 1;
  static char name[] = "reader-test";
  static char* argv[] = {name, nullptr};
  static QCoreApplication* app = new QCoreApplication(argc, argv);
  return *app;
}

}  // namespace testing_support
