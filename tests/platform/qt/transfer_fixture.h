#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/qt/qt_desktop.h"
#include "platform/qt/transfer_control.h"
#include "tests/support/qt_app.h"
#include "tests/support/support.h"

namespace testing_support {

// The real transfer control on the offscreen desktop, spooling into a
// folder of the test's own, and the states it reported.
class TransferTest : public ::testing::Test {
 protected:
  TransferTest() { Make({.spoolFolder = spoolDir.path()}); }
  ~TransferTest() override {
    transfer.reset();
    Settle();
  }

  void Make(qtdesk::TransferOptions options) {
    transfer = std::make_unique<qtdesk::Transfer>(desktop, std::move(options));
    transfer->OnStateChanged([this](int state) {
      EXPECT_FALSE(inCall_) << "state " << state << " was raised inside a call of the control's";
      states.push_back(state);
      if (onState) onState(state);
    });
  }

  // The control's calls as the engine makes them, watched for states raised
  // inside them.
  void Execute(const std::string& url, const std::string& operation) {
    Calling calling(inCall_);
    transfer->Execute(url, operation);
  }
  void Cancel() {
    Calling calling(inCall_);
    transfer->Cancel();
  }
  std::vector<std::uint8_t> Chunk() {
    Calling calling(inCall_);
    return transfer->GetChunk(1024, components::Transfer::kByteArray);
  }

  // Lets events run until the request is over; false if it is not within `ms`.
  bool Finished(int ms = 10000) {
    return QTest::qWaitFor([this] { return !transfer || !transfer->StillExecuting(); }, ms);
  }

  // Lets events run for a while, what was handed to deleteLater included:
  // anything still to come comes.
  void Settle(int ms = 100) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QTest::qWait(ms);
  }

  // The body, read as the download engine reads it: 1024 bytes at a time,
  // events let run after each chunk.
  std::string Body() {
    std::string body;
    for (;;) {
      std::vector<std::uint8_t> chunk = Chunk();
      if (chunk.empty()) return body;
      EXPECT_LE(chunk.size(), 1024u);
      body.append(chunk.begin(), chunk.end());
      QCoreApplication::processEvents();
    }
  }

  // The files in the spool folder.
  std::vector<std::string> Spools() const { return FilesIn(spoolDir.path()); }

  static std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
      names.push_back(entry.path().filename().string());
    return names;
  }

  QApplication& app = App();  // before the desktop
  TempDir spoolDir;
  qtdesk::Desktop desktop;
  std::unique_ptr<qtdesk::Transfer> transfer;
  std::vector<int> states;
  std::function<void(int)> onState;

 private:
  struct Calling {
    explicit Calling(bool& flag) : flag(flag), was(flag) { flag = true; }
    ~Calling() { flag = was; }
    bool& flag;
    bool was;
  };
  bool inCall_ = false;
};

}  // namespace testing_support
