// The demo media server as `make run` starts it: HEAD and GET with their
// length for the files under its root, and nothing outside it.
#include <gtest/gtest.h>
#include <httplib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QProcess>
#include <QRegularExpression>

#include "tests/support/core_app.h"
#include "tests/support/support.h"

using testing_support::CoreApp;
using testing_support::PatternBytes;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

// The server on a free port, ended when the test is.
class MediaServer {
 public:
  explicit MediaServer(const std::string& root) {
    CoreApp();
    process_.start(MEDIA_SERVER, {"--port", "0", "--root", QString::fromStdString(root)});
    if (!process_.waitForReadyRead(10000)) return;
    QString line = QString::fromUtf8(process_.readLine());
    QRegularExpressionMatch m = QRegularExpression("http://127\\.0\\.0\\.1:(\\d+)/").match(line);
    if (m.hasMatch()) port_ = m.captured(1).toInt();
  }
  ~MediaServer() {
    process_.kill();
    process_.waitForFinished(5000);
  }
  int port() const { return port_; }

 private:
  QProcess process_;
  int port_ = 0;
};

// Runs the server with these arguments to its end: its exit status.
int ExitStatus(const QStringList& arguments) {
  CoreApp();
  QProcess process;
  process.start(MEDIA_SERVER, arguments);
  if (!process.waitForFinished(10000)) {
    process.kill();
    process.waitForFinished(5000);
    return -1;
  }
  return process.exitCode();
}

TEST(DemoMediaServer, ServesTheFilesUnderItsRootWithTheirLength) {
  TempDir dir;
  const std::string media = PatternBytes(100000);
  ASSERT_EQ(::mkdir((dir / "site").c_str(), 0700), 0);
  ASSERT_EQ(::mkdir((dir / "site/Review").c_str(), 0700), 0);
  WriteFile(dir / "site/Review/K_1.zov", media);
  MediaServer server(dir / "site");
  ASSERT_GT(server.port(), 0);
  httplib::Client client("127.0.0.1", server.port());

  auto head = client.Head("/Review/K_1.zov");
  ASSERT_TRUE(head);
  EXPECT_EQ(head->status, 200);
  EXPECT_EQ(head->get_header_value("Content-Length"), std::to_string(media.size()));
  EXPECT_TRUE(head->body.empty());

  auto get = client.Get("/Review/K_1.zov");
  ASSERT_TRUE(get);
  EXPECT_EQ(get->status, 200);
  EXPECT_EQ(get->get_header_value("Content-Length"), std::to_string(media.size()));
  EXPECT_TRUE(get->body == media);

  for (const char* path : {"/Review/K_2.zov", "/Review", "/Review/", "/"}) {
    auto missing = client.Get(path);
    ASSERT_TRUE(missing) << path;
    EXPECT_EQ(missing->status, 404) << path;
  }
}

TEST(DemoMediaServer, NothingOutsideItsRootIsServed) {
  TempDir dir;
  ASSERT_EQ(::mkdir((dir / "site").c_str(), 0700), 0);
  WriteFile(dir / "secret", "outside");
  WriteFile(dir / "site/inside", "inside");
  ASSERT_EQ(::symlink((dir / "secret").c_str(), (dir / "site/out").c_str()), 0);
  ASSERT_EQ(::symlink((dir / "site/inside").c_str(), (dir / "site/in").c_str()), 0);
  ASSERT_EQ(::symlink(dir.path().c_str(), (dir / "site/up").c_str()), 0);
  MediaServer server(dir / "site");
  ASSERT_GT(server.port(), 0);
  httplib::Client client("127.0.0.1", server.port());

  for (const char* path : {"/../secret", "/./../secret", "/%2e%2e/secret", "/out", "/up/secret"}) {
    auto refused = client.Get(path);
    ASSERT_TRUE(refused) << path;
    EXPECT_EQ(refused->status, 404) << path;
    EXPECT_EQ(refused->body.find("outside"), std::string::npos) << path;
  }
  auto linkedInside = client.Get("/in");
  ASSERT_TRUE(linkedInside);
  EXPECT_EQ(linkedInside->body, "inside");
}

TEST(DemoMediaServer, BadArgumentsEndItWithAReason) {
  TempDir dir;
  EXPECT_EQ(ExitStatus({"--port", "70000", "--root", QString::fromStdString(dir.path())}), 2);
  EXPECT_EQ(ExitStatus({"--port", "x"}), 2);
  EXPECT_EQ(ExitStatus({"--port"}), 2);
  EXPECT_EQ(ExitStatus({"--colour", "blue"}), 2);
  EXPECT_EQ(ExitStatus({"--port", "0", "--root", QString::fromStdString(dir / "missing")}), 2);
}

}  // namespace
