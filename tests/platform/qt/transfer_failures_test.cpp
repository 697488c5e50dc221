// The real transfer control against servers that misbehave: every way a
// reply goes wrong ends in the error state, with no body left behind.
#include <QElapsedTimer>

#include "tests/platform/qt/raw_http_server.h"
#include "tests/platform/qt/transfer_fixture.h"

using components::Transfer;
using testing_support::PatternBytes;
using testing_support::RawHttpServer;
using TransferFailures = testing_support::TransferTest;

namespace {

std::string Head(const std::string& headers) { return "HTTP/1.1 200 OK\r\n" + headers + "\r\n"; }

// Once its body has begun a reply is being read: a body that ends early,
// however, ends the reading short, never as a whole file, and no error
// state follows (the reader is reading, not waiting for one).
TEST_F(TransferFailures, ABodyCutShortEndsItsReadingShortWithoutAnErrorState) {
  struct Case {
    const char* name;
    std::string reply;
    RawHttpServer::Ending ending;
    std::size_t announced;
  };
  for (const Case& c : {Case{"closed early", Head("Content-Length: 1000\r\n") + PatternBytes(500),
                             RawHttpServer::Ending::Close, 1000},
                        Case{"reset midway", Head("Content-Length: 400000\r\n") + PatternBytes(200000),
                             RawHttpServer::Ending::Reset, 400000}}) {
    states.clear();
    std::string body;
    onState = [&](int state) {
      if (state == Transfer::kResponseCompleted) body = Body();  // as the engine reads it
    };
    RawHttpServer server(c.reply, c.ending);
    Execute(server.Url(), "GET \"x\"");
    ASSERT_TRUE(Finished()) << c.name;
    EXPECT_EQ(states, (std::vector<int>{Transfer::kConnected, Transfer::kResponseCompleted})) << c.name;
    EXPECT_LT(body.size(), c.announced) << c.name;
    EXPECT_FALSE(transfer->Failure().empty()) << c.name;
    EXPECT_TRUE(Chunk().empty());
    EXPECT_TRUE(Spools().empty());
    Settle();
    EXPECT_EQ(states.size(), 2u) << c.name << ": a state after the body ended";
  }
}

TEST_F(TransferFailures, AServerThatStopsSendingIsGivenUpAfterTheStallTime) {
  Make({.spoolFolder = spoolDir.path(), .stallMilliseconds = 300});
  // Mid-body, while the body is being read: the reading ends short.
  RawHttpServer midway(Head("Content-Length: 100000\r\n") + PatternBytes(1000), RawHttpServer::Ending::Stall);
  std::string body;
  onState = [&](int state) {
    if (state == Transfer::kResponseCompleted) body = Body();
  };
  QElapsedTimer clock;
  clock.start();
  Execute(midway.Url(), "GET \"x\"");
  ASSERT_TRUE(Finished(10000));
  EXPECT_GE(clock.elapsed(), 250);  // coarse timers may fire a little early
  EXPECT_EQ(states, (std::vector<int>{Transfer::kConnected, Transfer::kResponseCompleted}));
  EXPECT_LT(body.size(), 100000u);
  EXPECT_NE(transfer->Failure().find("no progress"), std::string::npos) << transfer->Failure();
  EXPECT_TRUE(Spools().empty());
  EXPECT_TRUE(QTest::qWaitFor([&] { return midway.ClientGone(); }, 5000)) << "the connection stays open";

  // Before any reply: a HEAD, as the engine's size query.
  states.clear();
  onState = nullptr;
  RawHttpServer silent("", RawHttpServer::Ending::Stall);
  Execute(silent.Url(), "HEAD \"" + silent.Url() + "\"");
  ASSERT_TRUE(Finished(10000));
  EXPECT_EQ(states, std::vector<int>{Transfer::kError});
  EXPECT_EQ(transfer->GetHeader("Content-length"), "");
}

TEST_F(TransferFailures, AContentCodedReplyIsRefusedThoughOnlyTheBytesWereAskedFor) {
  RawHttpServer server(Head("Content-Encoding: gzip\r\nContent-Length: 20\r\n") + PatternBytes(20),
                       RawHttpServer::Ending::Close);
  Execute(server.Url(), "GET \"x\"");
  ASSERT_TRUE(Finished());
  EXPECT_EQ(states, std::vector<int>{Transfer::kError});
  EXPECT_NE(transfer->Failure().find("gzip"), std::string::npos) << transfer->Failure();
  EXPECT_NE(server.LastRequest().find("\r\nAccept-Encoding: identity"), std::string::npos)
      << server.LastRequest();
  EXPECT_TRUE(Spools().empty());
}

TEST_F(TransferFailures, NobodyListeningIsAnError) {
  std::string url;
  {
    RawHttpServer gone("", RawHttpServer::Ending::Close);
    url = gone.Url();
  }
  Execute(url, "HEAD \"" + url + "\"");
  ASSERT_TRUE(Finished());
  EXPECT_EQ(states, std::vector<int>{Transfer::kError});
  EXPECT_EQ(transfer->ResponseCode(), 0);
  EXPECT_EQ(transfer->GetHeader("Content-length"), "");
}

}  // namespace
