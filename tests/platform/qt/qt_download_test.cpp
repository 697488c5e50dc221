// A chapter's narration downloaded through the real transfer control from
// servers started here on 127.0.0.1, well-behaved and not: nothing wrong is
// ever accepted, nothing is left under the final name, nothing crashes.
#include <QLabel>
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

TEST_F(QtDownload, TheProgressWindowShowsTheBodyAsItComes) {
  const std::string body = Body(200000);
  ScriptedHttpServer server([&](const ScriptedHttpServer::Request& r, int fd, bool&) {
    if (r.method == "HEAD") return ScriptedHttpServer::Reply(fd, 200, body, "", true);
    ScriptedHttpServer::Send(fd,
                             "HTTP/1.1 200 OK\r\nContent-Length: 200000\r\n\r\n" + body.substr(0, 100000));
    std::this_thread::sleep_for(std::chrono::milliseconds(800));
    ScriptedHttpServer::Send(fd, body.substr(100000));
  });
  // Half of it is in, and the rest still to come: the window says so.
  testing_support::WhenUp halfway(
      [] {
        QWidget* w = QApplication::activeModalWidget();
        auto* percent = w && w->objectName() == "download" ? w->findChild<QLabel*>("percent") : nullptr;
        return percent && percent->text() == "50 %" ? w : nullptr;
      },
      [](QWidget*) {});
  ASSERT_TRUE(Play(server));
  EXPECT_TRUE(halfway.done());
  EXPECT_EQ(testing_support::ReadFile(Final()), std::vector<std::uint8_t>(body.begin(), body.end()));
}

TEST_F(QtDownload, NoUsableLengthAsksForNothingMoreAndSaysTheHostCannotBeReached) {
  for (std::string length : {"", "0", "abc"}) {
    ScriptedHttpServer server([&](const ScriptedHttpServer::Request&, int fd, bool&) {
      std::string header = length.empty() ? "" : "Content-Length: " + length + "\r\n";
      ScriptedHttpServer::Send(fd, "HTTP/1.1 200 OK\r\nConnection: close\r\n" + header + "\r\n");
    });
    testing_support::NextBox box(QMessageBox::Ok);
    EXPECT_FALSE(Play(server, 1)) << length;
    EXPECT_EQ(box.title, "無法連線") << length;
    EXPECT_EQ(server.requests(), 1) << length;  // the HEAD only
    EXPECT_FALSE(std::filesystem::exists(Final()));
  }
}

// Cut short (closed early, or reset midway) while it is read: a short body,
// nothing kept, no message, the progress window open with its last value
// until the reader closes it.
TEST_F(QtDownload, ABodyCutShortIsNeverAcceptedAndLeavesTheProgressWindowOpen) {
  for (const bool reset : {false, true}) {
    ScriptedHttpServer server([&](const ScriptedHttpServer::Request& r, int fd, bool& resetNow) {
      if (r.method == "HEAD") return ScriptedHttpServer::Reply(fd, 200, Body(200000), "", true);
      ScriptedHttpServer::Send(fd, "HTTP/1.1 200 OK\r\nContent-Length: 200000\r\n" +
                                       std::string(reset ? "" : "Connection: close\r\n") + "\r\n" +
                                       Body(50000));
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      resetNow = reset;
    });
    // The reader reads what the window says once the body has ended, then
    // closes it.
    bool leftOpen = false;
    testing_support::WhenUp close(
        [&]() -> QWidget* {
          QWidget* w = QApplication::activeModalWidget();
          if (!w || w->objectName() != "download" || !std::filesystem::exists(dir / "Review")) return nullptr;
          // Read, then its files gone: the reception has ended short.
          auto* percent = w->findChild<QLabel*>("percent");
          if (!percent || percent->text().isEmpty()) return nullptr;
          return std::filesystem::exists(Temp()) ? nullptr : w;
        },
        [&](QWidget* w) {
          leftOpen = w->isVisible();
          w->close();
        });
    testing_support::NextBox box(QMessageBox::Ok);
    EXPECT_FALSE(Play(server, 3)) << reset;
    EXPECT_TRUE(close.done()) << reset;
    EXPECT_TRUE(leftOpen) << reset;
    EXPECT_EQ(box.text, "") << reset;
    EXPECT_FALSE(media->ProgressWindow().IsLoaded()) << reset;
    EXPECT_FALSE(std::filesystem::exists(Final()));
    EXPECT_NE(program.endDownload, kTrue);
  }
}

TEST_F(QtDownload, AnErrorPageIsNeverSavedAsAChapter) {
  ScriptedHttpServer server([&](const ScriptedHttpServer::Request& r, int fd, bool&) {
    ScriptedHttpServer::Reply(fd, 404, "<html><body>not here</body></html>", "Content-Type: text/html\r\n",
                              r.method == "HEAD");
  });
  testing_support::NextBox box(QMessageBox::Ok);
  EXPECT_FALSE(Play(server, 2));
  EXPECT_EQ(box.title, "無法連線");
  EXPECT_EQ(server.requests(), 1);  // the HEAD's 404 is no length
  EXPECT_FALSE(std::filesystem::exists(Final()));
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
