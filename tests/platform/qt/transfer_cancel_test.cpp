// Cancelling and destroying the real transfer control at any point of a
// request (under the sanitizers in `make test`): nothing is used after it
// goes, no state follows, the spool goes at once.
#include "tests/platform/qt/http_test_server.h"
#include "tests/platform/qt/raw_http_server.h"
#include "tests/platform/qt/transfer_fixture.h"

using components::Transfer;
using testing_support::HttpTestServer;
using testing_support::PatternBytes;
using testing_support::RawHttpServer;

namespace {

const std::string kFile = PatternBytes(2 * 1024 * 1024);

std::unique_ptr<HttpTestServer> FileServer() {
  return std::make_unique<HttpTestServer>([](httplib::Server& s) {
    s.Get("/file", [](const httplib::Request&, httplib::Response& response) {
      response.set_content(kFile, "application/octet-stream");
    });
  });
}

// A reply whose body stops coming after its first bytes.
std::unique_ptr<RawHttpServer> StalledMidBody() {
  return std::make_unique<RawHttpServer>(
      "HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n" + PatternBytes(3000), RawHttpServer::Ending::Stall);
}

// Cancel's promise: not executing at once, nothing to read, no spool, and
// no state after it.
class TransferCancel : public testing_support::TransferTest {
 protected:
  void ExpectCancelled() {
    EXPECT_FALSE(transfer->StillExecuting());
    EXPECT_TRUE(Chunk().empty());
    EXPECT_TRUE(Spools().empty());
    const std::size_t told = states.size();
    Settle(300);
    EXPECT_EQ(states.size(), told) << "a state came after Cancel";
  }
};

TEST_F(TransferCancel, AtEveryTurnOfTheEventLoopNothingFollowsAndTheControlServesOn) {
  auto server = FileServer();
  const std::string url = server->Url("/file");
  for (int turns = 0; turns < 40; turns += 3) {
    SCOPED_TRACE("cancelled after " + std::to_string(turns) + " turns");
    states.clear();
    Execute(url, "GET \"x\"");
    for (int i = 0; i < turns; ++i) QCoreApplication::processEvents();
    Cancel();
    EXPECT_FALSE(transfer->StillExecuting());
    EXPECT_TRUE(Spools().empty());
    const std::size_t told = states.size();
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    EXPECT_EQ(states.size(), told);
  }
  Settle(300);
  states.clear();
  Execute(url, "GET \"x\"");
  ASSERT_TRUE(Finished());
  EXPECT_EQ(states, (std::vector<int>{Transfer::kConnected, Transfer::kResponseCompleted}));
  EXPECT_TRUE(Body() == kFile);
}

TEST_F(TransferCancel, BeforeTheHeaders) {
  auto server = StalledMidBody();
  Execute(server->Url(), "GET \"x\"");
  Cancel();
  ExpectCancelled();
  EXPECT_TRUE(states.empty());
}

TEST_F(TransferCancel, InsideTheConnectedHandler) {
  auto server = FileServer();
  onState = [&](int state) {
    if (state == Transfer::kConnected) Cancel();
  };
  Execute(server->Url("/file"), "GET \"x\"");
  ASSERT_TRUE(QTest::qWaitFor([&] { return !states.empty(); }, 10000));
  ExpectCancelled();
  EXPECT_EQ(states, std::vector<int>{Transfer::kConnected});
}

TEST_F(TransferCancel, WhileTheBodyArrivesNoStallErrorFollows) {
  Make({.spoolFolder = spoolDir.path(), .stallMilliseconds = 100});
  auto server = StalledMidBody();
  Execute(server->Url(), "GET \"x\"");
  ASSERT_TRUE(QTest::qWaitFor([&] { return states.size() == 2; }, 10000));  // its body has begun
  Cancel();
  ExpectCancelled();
  EXPECT_EQ(states, (std::vector<int>{Transfer::kConnected, Transfer::kResponseCompleted}));
  EXPECT_TRUE(QTest::qWaitFor([&] { return server->ClientGone(); }, 5000));
}

TEST_F(TransferCancel, BetweenChunksAndInsideTheCompletedHandler) {
  auto server = FileServer();
  Execute(server->Url("/file"), "GET \"x\"");
  ASSERT_TRUE(Finished());
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Chunk().size(), 1024u);
  Cancel();
  ExpectCancelled();  // a reception loop ends as on a short body

  states.clear();
  onState = [&](int state) {
    if (state == Transfer::kResponseCompleted) Cancel();
  };
  Execute(server->Url("/file"), "GET \"x\"");
  ASSERT_TRUE(Finished());
  ExpectCancelled();
  EXPECT_EQ(states, (std::vector<int>{Transfer::kConnected, Transfer::kResponseCompleted}));
}

TEST_F(TransferCancel, DestroyingTheControlMidTransferLeavesNothingBehind) {
  auto server = StalledMidBody();
  Execute(server->Url(), "GET \"x\"");
  ASSERT_TRUE(QTest::qWaitFor([&] { return !states.empty(); }, 10000));
  ASSERT_EQ(Spools().size(), 1u);
  transfer.reset();
  EXPECT_TRUE(Spools().empty());
  Settle();
  EXPECT_TRUE(QTest::qWaitFor([&] { return server->ClientGone(); }, 5000));

  // Right after the request went out, before anything came back.
  Make({.spoolFolder = spoolDir.path()});
  auto files = FileServer();
  Execute(files->Url("/file"), "GET \"x\"");
  transfer.reset();
  Settle();
  EXPECT_TRUE(Spools().empty());
}

TEST_F(TransferCancel, DestroyingTheControlFromItsOwnHandler) {
  auto server = FileServer();
  std::vector<int> told;
  onState = [&](int state) {
    told.push_back(state);
    transfer.reset();
  };
  Execute(server->Url("/file"), "GET \"x\"");
  ASSERT_TRUE(QTest::qWaitFor([&] { return !transfer; }, 10000));
  Settle(300);
  EXPECT_EQ(told, std::vector<int>{Transfer::kConnected});
  EXPECT_TRUE(Spools().empty());
}

}  // namespace
