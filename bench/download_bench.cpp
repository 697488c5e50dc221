// Downloads over 127.0.0.1 from the demo media server, against what bounds
// them:
//   download_bench [MEGABYTES [SOAK_MEGABYTES]]        (50 and 200)
// (a) curl, (b) a bare Qt loop doing the engine's per-chunk work on a local
// file, (c) the transfer control alone as the engine drives it; then, for a
// SOAK_MEGABYTES transfer through (c), the event loop's longest pause and the
// growth of resident memory.
#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QRegularExpression>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "bench/median.h"
#include "book/embedded.h"
#include "bridge/bridge.h"
#include "media/media.h"
#include "platform/posix/hive.h"
#include "platform/posix/services.h"
#include "platform/qt/qt_desktop.h"
#include "platform/qt/transfer_control.h"
#include "platform/qt/window_hooks.h"
#include "shell/book.h"
#include "shell/program.h"
#include "shell/settings_store.h"

namespace fs = std::filesystem;

namespace bench {

constexpr int kRuns = 3;

long ResidentKb() {
  std::ifstream statm("/proc/self/statm");
  long size = 0, resident = 0;
  statm >> size >> resident;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// The event loop's longest pause (a 1 ms timer's longest gap) and the most
// resident memory seen, from Start on.
class LoopWatch {
 public:
  LoopWatch() {
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(1);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      qint64 now = clock_.nsecsElapsed();
      longestNs_ = std::max(longestNs_, now - lastNs_);
      lastNs_ = now;
      if (++ticks_ % 16 == 0) peakKb_ = std::max(peakKb_, ResidentKb());
    });
  }
  void Start() {
    baseKb_ = peakKb_ = ResidentKb();
    longestNs_ = ticks_ = 0;
    clock_.start();
    lastNs_ = 0;
    timer_.start();
  }
  void Stop() {
    timer_.stop();
    peakKb_ = std::max(peakKb_, ResidentKb());
  }
  double longestPauseMs() const { return longestNs_ / 1e6; }
  long growthKb() const { return peakKb_ - baseKb_; }

 private:
  QTimer timer_;
  QElapsedTimer clock_;
  qint64 lastNs_ = 0, longestNs_ = 0, ticks_ = 0;
  long baseKb_ = 0, peakKb_ = 0;
};

// A file of `bytes` that compresses badly, as media does.
void Generate(const fs::path& path, std::size_t bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  std::vector<char> block(1 << 20);
  std::uint32_t x = 2463534242u;
  for (std::size_t written = 0; written < bytes; written += block.size()) {
    for (char& c : block) {
      x ^= x << 13;
      x ^= x >> 17;
      x ^= x << 5;
      c = static_cast<char>(x);
    }
    out.write(block.data(), static_cast<std::streamsize>(std::min(block.size(), bytes - written)));
  }
}

// The demo media server on a free port over `root`, ended with this object.
class DemoServer {
 public:
  explicit DemoServer(const fs::path& root) {
    process_.start(DEMO_MEDIA_SERVER, {"--port", "0", "--root", QString::fromStdString(root.string())});
    if (!process_.waitForReadyRead(10000)) return;
    QRegularExpressionMatch m =
        QRegularExpression("(http://127\\.0\\.0\\.1:\\d+/)").match(process_.readLine());
    if (m.hasMatch()) url_ = m.captured(1).toStdString();
  }
  ~DemoServer() {
    process_.kill();
    process_.waitForFinished(5000);
  }
  const std::string& url() const { return url_; }

 private:
  QProcess process_;
  std::string url_;
};

// (a) Seconds curl takes to fetch url, or nullopt when it fails.
std::optional<double> CurlSeconds(const std::string& url) {
  QProcess curl;
  QElapsedTimer clock;
  clock.start();
  curl.start("curl", {"-s", "-o", "/dev/null", QString::fromStdString(url)});
  if (!curl.waitForFinished(120000) || curl.exitStatus() != QProcess::NormalExit || curl.exitCode() != 0)
    return std::nullopt;
  return clock.nsecsElapsed() / 1e9;
}

// (b) What the engine does per chunk, without the network: read 1024
// bytes, show the count and the bar, write them out, let events run.
double BareLoopSeconds(const fs::path& from, const fs::path& to) {
  QWidget window;
  auto* layout = new QVBoxLayout(&window);
  auto* label = new QLabel;
  auto* bar = new QProgressBar;
  layout->addWidget(label);
  layout->addWidget(bar);
  window.show();
  const qint64 total = static_cast<qint64>(fs::file_size(from));
  bar->setRange(0, 1000);
  QElapsedTimer clock;
  clock.start();
  int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  char chunk[1024];
  qint64 done = 0;
  for (ssize_t n; (n = ::read(in, chunk, sizeof chunk)) > 0;) {
    done += n;
    label->setText(QString("%1 / %2").arg(done).arg(total));
    bar->setValue(static_cast<int>(done * 1000 / total));
    if (::write(out, chunk, static_cast<std::size_t>(n)) != n) break;
    QCoreApplication::processEvents();
  }
  ::close(in);
  ::close(out);
  return clock.nsecsElapsed() / 1e9;
}

struct ControlFigures {
  double seconds = 0;          // HEAD to the last chunk
  double transferSeconds = 0;  // until the reply was complete
  std::uint64_t bytes = 0;
  bool ok = false;
};

// (c) The transfer control as the engine drives it: HEAD for the length,
// GET, then 1024-byte chunks with events let run after each.
ControlFigures ControlDownload(components::Desktop& desktop, const std::string& url) {
  qtdesk::Transfer transfer(desktop);
  int last = 0;
  transfer.OnStateChanged([&](int state) { last = state; });
  ControlFigures f;
  QElapsedTimer clock;
  clock.start();
  transfer.Execute(url, "HEAD \"" + url + "\"");
  while (transfer.StillExecuting()) desktop.WaitForEvents();
  const std::string length = transfer.GetHeader("Content-length");
  transfer.Execute(url, "GET \"" + fs::temp_directory_path().string() + "/unused\"");
  while (transfer.StillExecuting()) desktop.WaitForEvents();
  f.transferSeconds = clock.nsecsElapsed() / 1e9;
  if (last != components::Transfer::kResponseCompleted) return f;
  for (;;) {
    std::vector<std::uint8_t> chunk = transfer.GetChunk(1024, components::Transfer::kByteArray);
    if (chunk.empty()) break;
    f.bytes += chunk.size();
    desktop.DoEvents();
  }
  f.seconds = clock.nsecsElapsed() / 1e9;
  f.ok = std::to_string(f.bytes) == length;
  return f;
}

// ---- The whole engine's download ------------------------------------------
// For the media subsystem: `start` begins downloading chapter 1 from the
// server `downloadServer` names (made with media::Media(program, bridge,
// downloadServer), then bridge.dispatcher().FSCommand("loadSound", "1"));
// `done` says when it is over (media.AnimationWindow().IsVisible()). The
// server's site holds the generated file as chapter 1. Seconds from start to
// done, with the loop's longest pause meanwhile; nullopt when not done in
// `timeoutSeconds`.
struct EngineFigures {
  double seconds = 0;
  double longestPauseMs = 0;
  long growthKb = 0;
};
std::optional<EngineFigures> TimeEngineDownload(const std::function<void()>& start,
                                                const std::function<bool()>& done, int timeoutSeconds) {
  LoopWatch watch;
  watch.Start();
  QElapsedTimer clock;
  clock.start();
  start();
  while (!done()) {
    if (clock.elapsed() > timeoutSeconds * 1000LL) return std::nullopt;
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
  }
  watch.Stop();
  return EngineFigures{clock.nsecsElapsed() / 1e9, watch.longestPauseMs(), watch.growthKb()};
}

// The whole program's side: the reader's start-up on the offscreen desktop,
// then chapters downloaded from `server` as the book's narration button
// asks for them (progress window, reception, completion, hand-over).
class EngineRun {
 public:
  EngineRun(qtdesk::Desktop& desktop, const fs::path& folder, const std::string& server)
      : hive_((folder / "hive.sqlite").string()), environment_("reader", folder.string()), desktop_(desktop) {
    fs::create_directories(folder);
    shell::WriteShowHelp(hive_, "-2");  // no intro panel in the way
    program_.Start();
    media_ = std::make_unique<media::Media>(program_, bridge_, server);
  }
  std::optional<EngineFigures> Download(const std::string& chapter, int timeoutSeconds) {
    media_->AnimationWindow().Unload();
    return TimeEngineDownload([&] { bridge_.dispatcher().FSCommand("loadSound", chapter); },
                              [&] { return media_->AnimationWindow().IsVisible(); }, timeoutSeconds);
  }
  std::string MediaFolder() { return environment_.MediaFolder(); }

 private:
  posix::Hive hive_;
  posix::FileSystem files_;
  posix::Environment environment_;
  posix::Resources resources_{book::EmbeddedResources()};
  posix::Connection connection_{"http://127.0.0.1/"};
  qtdesk::Desktop& desktop_;
  qtdesk::WindowHooks hooks_{desktop_};
  components::System system_{desktop_, hive_, files_, environment_, resources_, connection_, hooks_};
  shell::Program program_{system_};
  bridge::Bridge bridge_{program_};
  std::unique_ptr<media::Media> media_;
};

}  // namespace bench

int main(int argc, char** argv) {
  using namespace bench;
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // The offscreen platform says at every show that it passes no size hints.
  qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& message) {
    if (!message.contains("propagateSizeHints")) std::fprintf(stderr, "%s\n", qPrintable(message));
  });
  QApplication app(argc, argv);
  const std::size_t megabytes = argc > 1 ? std::stoul(argv[1]) : 50;
  const std::size_t soakMegabytes = argc > 2 ? std::stoul(argv[2]) : 200;

  char pattern[] = "/tmp/download-bench-XXXXXX";
  if (!mkdtemp(pattern)) return 1;
  const fs::path dir = pattern;
  const std::string chapter = std::string(shell::kBookCode) + "/Review/" + shell::kBookCode + "_1.zov";
  const fs::path site = dir / "site";
  Generate(site / chapter, megabytes << 20);
  Generate(site / "soak.bin", soakMegabytes << 20);
  const std::string soakChapter = std::string(shell::kBookCode) + "/Review/" + shell::kBookCode + "_2.zov";
  fs::create_hard_link(site / "soak.bin", site / soakChapter);
  qputenv("TEMP", (dir / "temp").c_str());
  fs::create_directories(dir / "temp");

  int status = 0;
  {
    DemoServer server(site);
    if (server.url().empty()) {
      std::fprintf(stderr, "download_bench: the demo media server did not start\n");
      fs::remove_all(dir);
      return 1;
    }
    const std::string url = server.url() + chapter;
    qtdesk::Desktop desktop;
    std::vector<double> curl, bare, control, transfer;
    for (int run = 0; run < kRuns; ++run) {
      if (std::optional<double> s = CurlSeconds(url)) curl.push_back(*s);
      bare.push_back(BareLoopSeconds(site / chapter, dir / "bare-copy"));
      ControlFigures f = ControlDownload(desktop, url);
      if (!f.ok) status = 1;
      control.push_back(f.seconds);
      transfer.push_back(f.transferSeconds);
    }
    std::printf("a %zu MB file over 127.0.0.1, median of %d runs:\n", megabytes, kRuns);
    if (curl.empty()) {
      std::printf("  (a) curl                                  failed (is curl installed?)\n");
    } else {
      std::printf("  (a) curl                                  %7.3f s\n", Median(curl));
    }
    std::printf("  (b) bare Qt loop, 1024-byte chunks        %7.3f s\n", Median(bare));
    std::printf("  (c) transfer control, HEAD, GET, chunks   %7.3f s  (reply whole after %.3f s)%s\n",
                Median(control), Median(transfer), status ? "  WRONG LENGTH" : "");
    std::printf("      (c) / (b) = %.2f\n", Median(control) / Median(bare));
    EngineRun engine(desktop, dir / "program", server.url());
    std::vector<double> whole;
    for (int run = 0; run < kRuns; ++run) {
      fs::remove_all(engine.MediaFolder());
      if (std::optional<EngineFigures> f = engine.Download("1", 120)) {
        whole.push_back(f->seconds);
      } else {
        status = 1;
      }
    }
    if (!whole.empty()) {
      double goal = 1.5 * (curl.empty() ? 0 : Median(curl)) + 1.5 * Median(bare);
      std::printf("  (d) the whole engine: HEAD, GET, reception, completion, hand-over  %7.3f s\n",
                  Median(whole));
      std::printf("      goal: at most 1.5 x ((a) + (b)) = %.3f s: %s\n", goal,
                  Median(whole) <= goal ? "met" : "NOT MET");
    }
    if (std::optional<EngineFigures> f = engine.Download("2", 300)) {
      std::printf(
          "  %zu MB through the whole engine: %.3f s, longest event-loop pause %.1f ms (goal < 16), "
          "resident memory growth %ld kB (goal < 20480)\n",
          soakMegabytes, f->seconds, f->longestPauseMs, f->growthKb);
    } else {
      status = 1;
    }

    LoopWatch watch;
    watch.Start();
    ControlFigures soak = ControlDownload(desktop, server.url() + "soak.bin");
    watch.Stop();
    if (!soak.ok) status = 1;
    std::printf(
        "%zu MB through the transfer control: %.3f s, longest event-loop pause %.1f ms, "
        "resident memory growth %ld kB%s\n",
        soakMegabytes, soak.seconds, watch.longestPauseMs(), watch.growthKb(), soak.ok ? "" : "  FAILED");
  }
  fs::remove_all(dir);
  return status;
}
