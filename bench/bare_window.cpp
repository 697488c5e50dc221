// The baseline: a bare Qt window of the main window's size, started and
// reported the same way as the reader's start-up probe.
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <cstdio>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.resize(768, 576);
  window.show();
  QTimer::singleShot(0, [] {
    QCoreApplication::processEvents();
    std::printf("shown\n");
    std::fflush(stdout);
    QCoreApplication::exit(0);
  });
  return app.exec();
}
