// The demo book in a player, opened the way the host opens it: the fixture
// of the player's tests.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "book/embedded.h"
#include "book/swf_writer.h"
#include "player/book_player.h"
#include "tests/support/support.h"

namespace book_fixture {

using player::BookPlayer;
using testing_support::TempDir;
namespace L = player::layout;

class MemoryStorage : public player::LocalStorage {
 public:
  std::optional<std::string> Load(const std::string& name) override {
    auto it = records.find(name);
    if (it == records.end()) return std::nullopt;
    return it->second;
  }
  bool Save(const std::string& name, const std::string& bytes) override {
    records[name] = bytes;
    ++saves;
    return true;
  }
  std::map<std::string, std::string> records;
  int saves = 0;
};

// The demo book, opened the way the host opens it.
class Book : public ::testing::Test {
 protected:
  Book() {
    const auto& r = book::EmbeddedResources()[0];
    testing_support::WriteFile(dir / "book.swf", std::string(reinterpret_cast<const char*>(r.data), r.size));
    player.OnFSCommand([this](const std::string& c, const std::string& a) { sent.push_back(c + " " + a); });
    player.OnChanged([this](player::Changes c) { changes.push_back(c.flags()); });
    player.Movie(dir / "book.swf");
    desktop.Pump();
    sent.clear();
    changes.clear();
  }
  std::string Get(const std::string& name) { return player.GetVariable(name); }
  void Label(const std::string& label) {
    player.TCallLabel("/", label);
    desktop.Pump();
  }
  void Add(const char* label, const std::string& page, const std::string& text) {
    player.SetVariable("inputPage", page);
    player.SetVariable("inputContent", text);
    Label(label);
  }
  void Center(const L::Rect& r) {
    player.Click(r.x + r.w / 2, r.y + r.h / 2);
    desktop.Pump();
  }

  TempDir dir;
  headless::Desktop desktop;
  MemoryStorage storage;
  BookPlayer player{desktop, &storage};
  std::vector<std::string> sent;
  std::vector<unsigned> changes;  // what the drawing heard, in order
};

// A chapter movie with two seconds of narration.
inline void WriteChapter(const std::string& path) {
  book::SwfWriter w(7, 4340, 2000, 12);
  w.Metadata("kind=chapter\nchapter=3\n");
  w.DefineSound(1, 11025, std::vector<std::int16_t>(11025 * 2, 100));
  w.FrameLabel("showPlayer");
  w.ShowFrame();
  auto bytes = w.Finish(true);
  testing_support::WriteFile(path, std::string(bytes.begin(), bytes.end()));
}

}  // namespace book_fixture
