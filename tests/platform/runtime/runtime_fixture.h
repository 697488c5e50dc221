#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QWidget>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "components/movie_player.h"
#include "platform/runtime/movie_files.h"
#include "platform/runtime/runtime_module.h"
#include "tests/support/support.h"

namespace runtime_test {

// A window with a player on the real runtime, its program events posted and
// held as the Qt desktop holds them, and what it sent its host.
class RuntimeFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A new player (and, when none is alive, a new engine) on `data` as its
  // data folder; the one before goes first.
  void NewPlayer(const std::string& data);
  void DropPlayer();
  // What a player of this fixture is lent.
  runtime::Host MakeHost(const std::string& data);
  // Writes a movie into the media folder and plays it.
  void Play(const std::vector<std::uint8_t>& movie, const std::string& name = "test.zov");
  // Lets events run until `done` or `ms` have passed; false on the deadline.
  bool RunUntil(const std::function<bool()>& done, int ms = 15000);
  // The first command named `command` the movie sent, waiting for it.
  std::optional<std::string> WaitForCommand(const std::string& command, int ms = 15000);
  QWidget* PlayerWidget() const;

  testing_support::TempDir dir_;
  std::string media_ = dir_ / "media";
  std::unique_ptr<runtime::MovieFiles> files_;
  std::vector<std::string> served_;  // every address served to the view
  std::vector<std::string> opened_;  // pages sent to the browser
  std::vector<std::pair<std::string, std::string>> commands_;
  // Longer than the program's 5 s: a loaded machine under the sanitizers starts slowly.
  int timeoutMs_ = 15000;
  std::unique_ptr<QWidget> window_;
  std::unique_ptr<components::MoviePlayer> player_;
};

}  // namespace runtime_test
