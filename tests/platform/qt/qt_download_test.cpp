// A chapter's narration downloaded through the real transfer control from
// servers started here on 127.0.0.1, well-behaved and not: nothing wrong is
// ever accepted, nothing is left under the final name, nothing crashes.
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <thread>

#include "media/media.h"
#include "tests/support/qt_program.h"
#include "tests/support/scripted_http_server.h"

using namespace components;
using testing_support::ScriptedHttpServer;

namespace {

std::string Body(size_t n) {
  std::string b(n, '\0');
  for (size_t i = 0; i < n; ++i) b[i] = static_cast<char>('a' + i % 26);
  return b;
}

class QtDownload : public testing_support::QtProgram {
 protected:
  std::string Final() { return dir / "Review/K19990317045_1.zov"; }
  std::string Temp() { return dir / "Review/K19990317045_1.hs"; }
  // Asks for chapter 1 from `server` and lets events run until the chapter
  // plays or `seconds` pass.
  bool Play(ScriptedHttpServer& server, int seconds = 10) {
    media = std::make_unique<media::Media>(program, bridge, server.url());
    bridge.dispatcher().FSCommand("loadSound", "1");
    return QTest::qWaitFor([&] { return media->AnimationWindow().IsVisible(); }, seconds * 1000);
  }
  std::unique_ptr<media::Media> media;
};

}  // namespace

TEST_F(QtDownload, AWholeFileIsStoredUnderItsNameAndPlayed) {
  const std::string body = Body(300 * 1024 + 17);
  ScriptedHttpServer server([&](const ScriptedHttpServer::Request& r, int fd, bool&) {
    ScriptedHttpServer::Reply(fd, 200, body, "Content-Type: application/octet-stream\r\n",
                              r.method == "HEAD");
  });
  ASSERT_TRUE(Play(server));
  EXPECT_EQ(testing_support::ReadFile(Final()), std::vector<std::uint8_t>(body.begin(), body.end()));
  EXPECT_FALSE(std::filesystem::exists(Temp()));
  EXPECT_EQ(program.endDownload, kTrue);
  EXPECT_FALSE(media->ProgressWindow().IsLoaded());
  EXPECT_EQ(server.requests(), 2);
}

TEST_F(QtDownload, NoUsableLengthAsksForNothingMore) {
  for (std::string length : {"", "0", "abc"}) {
    ScriptedHttpServer server([&](const ScriptedHttpServer::Request&, int fd, bool&) {
      std::string header = length.empty() ? "" : "Content-Length: " + length + "\r\n";
      ScriptedHttpServer::Send(fd, "HTTP/1.1 200 OK\r\nConnection: close\r\n" + header + "\r\n");
    });
    testing_support::NextBox box(QMessageBox::Ok);
    EXPECT_FALSE(Play(server, 1)) << length;
    EXPECT_EQ(box.text, "") << "no message";
    EXPECT_EQ(server.requests(), 1) << length;  // the HEAD only
    EXPECT_FALSE(std::filesystem::exists(Final()));
  }
}

TEST_F(QtDownload, AShortBodyIsNeverAccepted) {
  ScriptedHttpServer server([&](const ScriptedHttpServer::Request& r, int fd, bool&) {
    if (r.method == "HEAD") return ScriptedHttpServer::Reply(fd, 200, Body(5000), "", true);
    ScriptedHttpServer::Send(
        fd, "HTTP/1.1 200 OK\r\nContent-Length: 5000\r\nConnection: close\r\n\r\n" + Body(3000));
  });
  testing_support::NextBox box(QMessageBox::Ok);  // when the transfer says it failed
  EXPECT_FALSE(Play(server, 3));
  if (media->ProgressWindow().IsLoaded()) media->ProgressWindow().Unload();
  EXPECT_FALSE(std::filesystem::exists(Final()));
  EXPECT_FALSE(std::filesystem::exists(Temp()));
  EXPECT_NE(program.endDownload, kTrue);
}

TEST_F(QtDownload, AnErrorPageIsNeverSavedAsAChapter) {
  ScriptedHttpServer server([&](const ScriptedHttpServer::Request& r, int fd, bool&) {
    ScriptedHttpServer::Reply(fd, 404, "<html><body>not here</body></html>", "Content-Type: text/html\r\n",
                              r.method == "HEAD");
  });
  testing_support::NextBox box(QMessageBox::Ok);
  EXPECT_FALSE(Play(server, 2));
  EXPECT_EQ(box.text, "");
  EXPECT_EQ(server.requests(), 1);  // the HEAD's 404 is no length
  EXPECT_FALSE(std::filesystem::exists(Final()));
}

TEST_F(QtDownload, AResetInTheMiddleSaysSoAndKeepsNothing) {
  ScriptedHttpServer server([&](const ScriptedHttpServer::Request& r, int fd, bool& reset) {
    if (r.method == "HEAD") return ScriptedHttpServer::Reply(fd, 200, Body(200000), "", true);
    ScriptedHttpServer::Send(fd, "HTTP/1.1 200 OK\r\nContent-Length: 200000\r\n\r\n" + Body(50000));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    reset = true;
  });
  testing_support::NextBox box(QMessageBox::Ok);
  EXPECT_FALSE(Play(server, 3));
  EXPECT_EQ(box.text, "很抱歉，現在無法與主機連線。\r\n請稍後再連線，謝謝。");
  EXPECT_FALSE(std::filesystem::exists(Final()));
  EXPECT_FALSE(std::filesystem::exists(Temp()));
}

TEST_F(QtDownload, WhatIsNotTheFileItselfEndsAsAnError) {
  // Compressed where the file was asked for as it is; a redirect elsewhere.
  // (A server that stops sending: the transfer control's own tests.)
  for (const std::string kind : {"gzip", "redirect"}) {
    std::filesystem::remove_all(dir / "Review");
    ScriptedHttpServer server([&](const ScriptedHttpServer::Request& r, int fd, bool&) {
      if (r.method == "HEAD") return ScriptedHttpServer::Reply(fd, 200, Body(4000), "", true);
      if (kind == "gzip") return ScriptedHttpServer::Reply(fd, 200, Body(4000), "Content-Encoding: gzip\r\n");
      if (kind == "redirect")
        return ScriptedHttpServer::Send(fd,
                                        "HTTP/1.1 302 Found\r\nLocation: http://localhost:1/K.zov\r\n"
                                        "Content-Length: 0\r\nConnection: close\r\n\r\n");
    });
    testing_support::NextBox box(QMessageBox::Ok);
    EXPECT_FALSE(Play(server, 3)) << kind;
    EXPECT_EQ(box.title, "無法連線") << kind;
    EXPECT_FALSE(std::filesystem::exists(Final())) << kind;
    EXPECT_FALSE(std::filesystem::exists(Temp())) << kind;
    EXPECT_FALSE(media->ProgressWindow().IsLoaded()) << kind;
  }
}

TEST_F(QtDownload, CancelledWhileTheBodyComesNothingFollowsAndNothingIsKept) {
  ScriptedHttpServer server([&](const ScriptedHttpServer::Request& r, int fd, bool&) {
    if (r.method == "HEAD") return ScriptedHttpServer::Reply(fd, 200, Body(400000), "", true);
    ScriptedHttpServer::Send(fd, "HTTP/1.1 200 OK\r\nContent-Length: 400000\r\n\r\n" + Body(1000));
    std::this_thread::sleep_for(std::chrono::milliseconds(800));
    ScriptedHttpServer::Send(fd, Body(399000));
  });
  testing_support::WhenUp cancel(
      [] {
        QWidget* w = QApplication::activeModalWidget();
        return w && w->objectName() == "download" ? w : nullptr;
      },
      [](QWidget* w) { QTest::mouseClick(w->findChild<QPushButton*>("cancel"), Qt::LeftButton); });
  testing_support::NextBox box(QMessageBox::Ok);
  EXPECT_FALSE(Play(server, 2));
  EXPECT_TRUE(cancel.done());
  EXPECT_EQ(box.text, "");  // a cancel is no error
  EXPECT_FALSE(media->ProgressWindow().IsLoaded());
  EXPECT_NE(program.endDownload, kTrue);
  EXPECT_FALSE(std::filesystem::exists(Final()));
  EXPECT_FALSE(std::filesystem::exists(Temp()));
  // And the next request starts afresh.
  ScriptedHttpServer good([&](const ScriptedHttpServer::Request& r, int fd, bool&) {
    ScriptedHttpServer::Reply(fd, 200, Body(2000), "", r.method == "HEAD");
  });
  EXPECT_TRUE(Play(good));
}
