#pragma once

#include <functional>
#include <memory>
#include <thread>
#include <vector>

class QObject;

namespace qtdesk {

// Whether the system's fonts have been read. Reading them is the slowest
// part of a first paint, so it runs beside the start-up; what needs text
// draws it once they are in.
bool FontsReady();

// Reads the system's fonts on a thread of its own, once; widgets with the
// property `needsFonts` repaint when they are in.
class FontReader {
 public:
  FontReader() = default;
  ~FontReader();
  FontReader(const FontReader&) = delete;
  FontReader& operator=(const FontReader&) = delete;
  void Start();

 private:
  std::thread thread_;
};

// Work that waits until the first widget has been painted, and then runs
// after that paint, not inside it. Whatever is still waiting goes with it.
class FirstPaintHook {
 public:
  FirstPaintHook();
  ~FirstPaintHook();
  FirstPaintHook(const FirstPaintHook&) = delete;
  FirstPaintHook& operator=(const FirstPaintHook&) = delete;
  void Add(std::function<void()> work);

 private:
  std::unique_ptr<QObject> filter_;
  std::vector<std::function<void()>> work_;
};

}  // namespace qtdesk
