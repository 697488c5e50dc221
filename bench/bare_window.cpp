// The baseline: a bare Qt window of the main window's size, started and
// reported the same way as the reader's start-up probe.
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.resize(768, 576);
  window.show();
  QTimer::singleShot(0, [] {
    QCoreApplication::processEvents();
    // Shown first: reading the peak must not count against the bare window.
    std::printf("shown\n");
    std::fflush(stdout);
    std::ifstream status("/proc/self/status");
    std::string line, peak = "?";
    while (std::getline(status, line))
      if (line.rfind("VmHWM:", 0) == 0) peak = std::to_string(std::stol(line.substr(6)));
    std::printf("peak_kb %s\n", peak.c_str());
    std::fflush(stdout);
    QCoreApplication::exit(0);
  });
  return app.exec();
}
