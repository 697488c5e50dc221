// The real transfer control against a well-behaved server on 127.0.0.1:
// states, headers, the body through its spool, redirects and refusals.
#include <QElapsedTimer>
#include <QTimer>
#include <atomic>
#include <mutex>
#include <thread>

#include "components/errors.h"
#include "tests/platform/qt/http_test_server.h"
#include "tests/platform/qt/raw_http_server.h"
#include "tests/platform/qt/transfer_fixture.h"

using components::ComponentError;
using components::Transfer;
using testing_support::HttpTestServer;
using testing_support::PatternBytes;
using testing_support::RawHttpServer;
using testing_support::ScopedEnv;
using testing_support::TempDir;
using TransferControl = testing_support::TransferTest;

namespace {

const std::string kFile = PatternBytes(300 * 1024 + 17);

// Serves kFile at /file, and keeps the Accept-Encoding each request asked with.
struct FileSite {
  std::mutex mutex;
  std::vector<std::string> encodings;
  HttpTestServer server{[this](httplib::Server& s) {
    s.Get("/file", [this](const httplib::Request& request, httplib::Response& response) {
      std::lock_guard lock(mutex);
      encodings.push_back(request.get_header_value("Accept-Encoding"));
      response.set_content(kFile, "application/octet-stream");
    });
  }};
};

TEST_F(TransferControl, AFileArrivesWholeThroughASpoolThatGoesOnceRead) {
  FileSite site;
  const std::string url = site.server.Url("/file");
  Execute(url, "HEAD \"" + url + "\"");
  EXPECT_TRUE(transfer->StillExecuting());
  ASSERT_TRUE(Finished());
  EXPECT_EQ(states, (std::vector<int>{Transfer::kConnected, Transfer::kResponseCompleted}));
  EXPECT_EQ(transfer->ResponseCode(), 200);
  // Header names compare without case, as HTTP has it.
  EXPECT_EQ(transfer->GetHeader("Content-length"), std::to_string(kFile.size()));
  EXPECT_EQ(transfer->GetHeader("CONTENT-LENGTH"), std::to_string(kFile.size()));
  EXPECT_EQ(transfer->GetHeader("content-type"), "application/octet-stream");
  EXPECT_EQ(transfer->GetHeader("X-Absent"), "");
  EXPECT_EQ(transfer->GetHeader("").rfind("HTTP/1.1 200 OK\r\n", 0), 0u) << transfer->GetHeader("");
  EXPECT_TRUE(Spools().empty()) << "a HEAD has no body to keep";

  states.clear();
  std::vector<std::string> spoolsWhileReceiving;
  onState = [&](int state) {
    if (state == Transfer::kConnected) spoolsWhileReceiving = Spools();
  };
  Execute(url, "GET \"/somewhere/Review/K_1.zov\"");
  ASSERT_TRUE(Finished());
  EXPECT_EQ(states, (std::vector<int>{Transfer::kConnected, Transfer::kResponseCompleted}));
  EXPECT_EQ(spoolsWhileReceiving.size(), 1u);
  EXPECT_EQ(transfer->GetHeader("Content-Length"), std::to_string(kFile.size()));
  EXPECT_TRUE(Body() == kFile);
  EXPECT_TRUE(Spools().empty());
  EXPECT_TRUE(Chunk().empty());
  EXPECT_EQ(site.encodings, (std::vector<std::string>{"identity", "identity"}));
  EXPECT_EQ(site.server.requests(), 2);
}

TEST_F(TransferControl, TheBodyIsReadWhileItComesAndAChunkWaitsForTheNetwork) {
  constexpr std::size_t kFirst = 64 * 1024;
  std::atomic<bool> gate{false}, sentAll{false};
  HttpTestServer site([&](httplib::Server& s) {
    s.Get("/file", [&](const httplib::Request&, httplib::Response& response) {
      response.set_content_provider(kFile.size(), "application/octet-stream",
                                    [&](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                                      if (offset < kFirst) return sink.write(kFile.data(), kFirst);
                                      while (!gate) std::this_thread::sleep_for(std::chrono::milliseconds(5));
                                      sentAll = sink.write(kFile.data() + offset, kFile.size() - offset);
                                      return sentAll.load();
                                    });
    });
  });
  std::string body;
  bool early = false;
  qint64 waited = 0;
  onState = [&](int state) {
    if (state != Transfer::kResponseCompleted) return;
    // Told once the body has begun: what has come is there to read.
    ASSERT_TRUE(QTest::qWaitFor([&] { return transfer->StillExecuting(); }, 10));
    early = !sentAll;
    for (std::size_t i = 0; i < kFirst / 1024 && early; ++i) {
      std::vector<std::uint8_t> chunk = Chunk();
      body.append(chunk.begin(), chunk.end());
    }
    // The next chunk is not there yet: it is waited for, not given empty.
    QTimer::singleShot(200, [&] { gate = true; });
    QElapsedTimer clock;
    clock.start();
    std::vector<std::uint8_t> next = Chunk();
    waited = clock.elapsed();
    EXPECT_EQ(next.size(), 1024u);
    body.append(next.begin(), next.end());
    body += Body();
  };
  Execute(site.Url("/file"), "GET \"x\"");
  ASSERT_TRUE(Finished());
  EXPECT_TRUE(early) << "12 came only once the body was whole";
  EXPECT_GE(waited, 150);
  EXPECT_EQ(body.size(), kFile.size());
  EXPECT_TRUE(body == kFile);
  EXPECT_TRUE(Spools().empty());
}

TEST_F(TransferControl, ABodyWithoutALengthArrivesWholeChunkedOrEndedByTheClose) {
  HttpTestServer chunked([](httplib::Server& s) {
    s.Get("/file", [](const httplib::Request&, httplib::Response& response) {
      response.set_chunked_content_provider(
          "application/octet-stream", [](std::size_t offset, httplib::DataSink& sink) {
            std::size_t n = std::min<std::size_t>(5000, kFile.size() - offset);
            sink.write(kFile.data() + offset, n);
            if (offset + n == kFile.size()) sink.done();
            return true;
          });
    });
  });
  Execute(chunked.Url("/file"), "GET \"x\"");
  ASSERT_TRUE(Finished());
  EXPECT_EQ(states.back(), Transfer::kResponseCompleted) << transfer->Failure();
  EXPECT_EQ(transfer->GetHeader("Content-Length"), "");
  EXPECT_TRUE(Body() == kFile);

  states.clear();
  RawHttpServer closing("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + kFile, RawHttpServer::Ending::Close);
  Execute(closing.Url(), "GET \"x\"");
  ASSERT_TRUE(Finished());
  EXPECT_EQ(states, (std::vector<int>{Transfer::kConnected, Transfer::kResponseCompleted}))
      << transfer->Failure();
  EXPECT_TRUE(Body() == kFile);
  EXPECT_TRUE(Spools().empty());
}

TEST_F(TransferControl, NotFoundFailsAGetAndGivesAHeadNoLength) {
  HttpTestServer site([](httplib::Server& s) {
    s.Get("/missing", [](const httplib::Request&, httplib::Response& response) {
      response.status = 404;
      response.set_content("<html><body><h1>Not Found</h1></body></html>", "text/html");
    });
  });
  const std::string url = site.Url("/missing");
  Execute(url, "GET \"x\"");
  ASSERT_TRUE(Finished());
  EXPECT_EQ(states, std::vector<int>{Transfer::kError});
  EXPECT_EQ(transfer->ResponseCode(), 404);
  EXPECT_NE(transfer->Failure().find("404"), std::string::npos) << transfer->Failure();
  EXPECT_TRUE(Chunk().empty()) << "the error page is no body to keep";
  EXPECT_TRUE(Spools().empty());

  states.clear();
  Execute(url, "HEAD \"" + url + "\"");
  ASSERT_TRUE(Finished());
  EXPECT_EQ(transfer->ResponseCode(), 404);
  EXPECT_EQ(transfer->GetHeader("Content-length"), "") << "the error page's length is not the file's";
  EXPECT_EQ(transfer->GetHeader("Content-Type"), "text/html");
  EXPECT_EQ(transfer->GetHeader("").rfind("HTTP/1.1 404 ", 0), 0u);
}

TEST_F(TransferControl, RedirectsAreFollowedOnTheSameHostOnly) {
  HttpTestServer site([](httplib::Server& s) {
    s.Get("/file", [](const httplib::Request&, httplib::Response& response) {
      response.set_content(kFile, "application/octet-stream");
    });
    s.Get("/moved",
          [](const httplib::Request&, httplib::Response& response) { response.set_redirect("/file"); });
  });
  Execute(site.Url("/moved"), "GET \"x\"");
  ASSERT_TRUE(Finished());
  EXPECT_EQ(states, (std::vector<int>{Transfer::kConnected, Transfer::kResponseCompleted}))
      << transfer->Failure();
  EXPECT_TRUE(Body() == kFile);
  EXPECT_EQ(site.requests(), 2);

  // The same machine under another name is another host: refused before
  // anything is asked of it.
  HttpTestServer away([&](httplib::Server& s) {
    s.Get("/away", [&](const httplib::Request&, httplib::Response& response) {
      response.set_redirect("http://localhost:" + std::to_string(site.port()) + "/file");
    });
  });
  states.clear();
  Execute(away.Url("/away"), "GET \"x\"");
  ASSERT_TRUE(Finished());
  EXPECT_EQ(states, std::vector<int>{Transfer::kError});
  EXPECT_NE(transfer->Failure().find("another host"), std::string::npos) << transfer->Failure();
  Settle();
  EXPECT_EQ(site.requests(), 2);
  EXPECT_TRUE(Spools().empty());
}

TEST_F(TransferControl, TheSpoolWaitsInTempOrElseInTheProgramsPrivateFolder) {
  FileSite site;
  TempDir temp, runtime;
  ScopedEnv env;
  std::vector<std::string> seen;
  onState = [&](int state) {
    if (state == Transfer::kConnected) seen = FilesIn(temp.path());
  };
  env.Set("TEMP", temp.path().c_str());  // no slash at its end
  Make({});
  Execute(site.server.Url("/file"), "GET \"x\"");
  ASSERT_TRUE(Finished());
  EXPECT_EQ(seen.size(), 1u);
  EXPECT_TRUE(Body() == kFile);
  EXPECT_TRUE(FilesIn(temp.path()).empty());

  env.Set("TEMP", nullptr);
  env.Set("XDG_RUNTIME_DIR", runtime.path().c_str());
  onState = [&](int state) {
    if (state == Transfer::kConnected) seen = FilesIn(runtime / "reader");
  };
  Execute(site.server.Url("/file"), "GET \"x\"");
  ASSERT_TRUE(Finished());
  EXPECT_EQ(seen.size(), 1u);
  EXPECT_TRUE(Body() == kFile);
  EXPECT_TRUE(FilesIn(runtime / "reader").empty());
}

TEST_F(TransferControl, AFolderThatTakesNoBodyFailsTheRequestNotTheProgram) {
  FileSite site;
  Make({.spoolFolder = spoolDir / "missing"});
  Execute(site.server.Url("/file"), "GET \"x\"");  // does not throw
  ASSERT_TRUE(Finished());
  EXPECT_EQ(states, std::vector<int>{Transfer::kError});
  EXPECT_NE(transfer->Failure().find("missing"), std::string::npos) << transfer->Failure();
  EXPECT_TRUE(Chunk().empty());
}

TEST_F(TransferControl, ANewRequestTakesAwayTheBodyLeftUnread) {
  FileSite site;
  const std::string url = site.server.Url("/file");
  Execute(url, "GET \"x\"");
  ASSERT_TRUE(Finished());
  EXPECT_EQ(Chunk().size(), 1024u);
  EXPECT_EQ(Spools().size(), 1u);
  Execute(url, "HEAD \"" + url + "\"");
  EXPECT_TRUE(Spools().empty());
  EXPECT_TRUE(Chunk().empty());
  ASSERT_TRUE(Finished());
}

TEST_F(TransferControl, BadRequestsAreRefusedWithAReasonAndChangeNothing) {
  FileSite site;
  const std::string url = site.server.Url("/file");
  for (const char* operation : {"", "GET", "GET x", "GET \"\"", "GET \"x", "GET \"x\" \"y\"", "get \"x\"",
                                "PUT \"x\"", "HEAD  \"x\""}) {
    EXPECT_THROW(Execute(url, operation), ComponentError) << operation;
  }
  for (const char* address : {"ftp://127.0.0.1/file", "https://127.0.0.1/file", "file:///etc/passwd",
                              "127.0.0.1/file", "http://", "not a url"}) {
    try {
      Execute(address, "GET \"x\"");
      ADD_FAILURE() << address << " was taken";
    } catch (const ComponentError& e) {
      EXPECT_NE(std::string(e.what()).find("http"), std::string::npos) << e.what();
    }
  }
  EXPECT_FALSE(transfer->StillExecuting());
  EXPECT_TRUE(Spools().empty());
  EXPECT_EQ(site.server.requests(), 0);

  Execute(url, "GET \"x\"");
  EXPECT_THROW(Execute(url, "GET \"x\""), ComponentError) << "one request at a time";
  EXPECT_THROW(transfer->GetChunk(1024, 0), ComponentError);
  EXPECT_THROW(transfer->GetChunk(-1, Transfer::kByteArray), ComponentError);
  ASSERT_TRUE(Finished());
  EXPECT_EQ(states.back(), Transfer::kResponseCompleted);
  EXPECT_TRUE(Body() == kFile);
}

}  // namespace
