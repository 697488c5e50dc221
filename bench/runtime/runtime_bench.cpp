// The player on the Flash runtime against its floor and the stand-in, in one
// run, each start a process of its own, alternating:
//   runtime_bench [ROUNDS]
// - start-up: process start to the movie's first frame (its frame 1 action's
//   fscommand reaching C++): the runtime's player; a bare QWebEngineView
//   loading the same Ruffle build and the same movie (the floor); the stand-in.
// - GetVariable round trips on the runtime: median and p90.
// - memory: PSS of the process and its web engine processes, after the rounds.
#include <dirent.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlSchemeHandler>
#include <QWebEngineView>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/median.h"
#include "book/as_compiler.h"
#include "book/swf_writer.h"
#include "platform/qt/event_hold.h"
#include "platform/qt/player_control.h"
#include "platform/qt/qt_desktop.h"
#include "platform/runtime/movie_files.h"
#include "platform/runtime/runtime_module.h"

namespace {

using bench::Median;

long long NowUs() {
  return std::chrono::duration_cast<std::chrono::microseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

// PSS in kB of a process and every process below it.
long PssKb(pid_t pid) {
  long total = 0;
  std::ifstream rollup("/proc/" + std::to_string(pid) + "/smaps_rollup");
  for (std::string line; std::getline(rollup, line);)
    if (line.rfind("Pss:", 0) == 0) total += std::atol(line.c_str() + 4);
  if (DIR* d = opendir("/proc")) {
    while (dirent* e = readdir(d)) {
      pid_t child = std::atoi(e->d_name);
      if (child <= 0) continue;
      std::ifstream stat("/proc/" + std::to_string(child) + "/stat");
      std::string text((std::istreambuf_iterator<char>(stat)), {});
      std::size_t close = text.rfind(')');
      if (close == std::string::npos) continue;
      int ppid = 0;
      std::sscanf(text.c_str() + close + 2, "%*c %d", &ppid);
      if (ppid == pid) total += PssKb(child);
    }
    closedir(d);
  }
  return total;
}

// Frame 1 says so; a few variables to read.
std::vector<std::uint8_t> TheMovie() {
  book::SwfWriter swf(8, 800 * 20, 600 * 20, 12);
  swf.BackgroundColor(0x30, 0x2e, 0x2a);
  swf.DoAction(
      avm1::Compile("stop(); page = 7; _root.createEmptyMovieClip('list', 1); list.counter = 3;"
                    "fscommand('first', '');",
                    {.swfVersion = 8}));
  swf.ShowFrame();
  return swf.Finish(true);
}

void Report(const char* what, long long value) { std::printf("%s %lld\n", what, value), std::fflush(stdout); }

// The floor: Ruffle in a bare view, the movie given straight to it.
class Files : public QWebEngineUrlSchemeHandler {
 public:
  Files(QString runtime, QString movie) : runtime_(std::move(runtime)), movie_(std::move(movie)) {}
  void requestStarted(QWebEngineUrlRequestJob* job) override {
    QString path = job->requestUrl().path();
    QString file = path == "/movie.swf" ? movie_ : runtime_ + path;
    QString mime = path.endsWith(".wasm")   ? "application/wasm"
                   : path.endsWith(".js")   ? "text/javascript"
                   : path.endsWith(".html") ? "text/html"
                                            : "application/x-shockwave-flash";
    auto* body = new QFile(file, job);
    if (!body->open(QIODevice::ReadOnly)) return job->fail(QWebEngineUrlRequestJob::UrlNotFound);
    job->reply(mime.toUtf8(), body);
  }

 private:
  QString runtime_, movie_;
};

int Bare(int argc, char** argv, const std::string& program, const std::string& movie,
         const std::string& data) {
  runtime::Prepare();  // the same scheme and switches
  QApplication app(argc, argv);
  QWebEngineProfile profile("bare");
  profile.setPersistentStoragePath(QString::fromStdString(data) + "/web-engine");
  profile.setCachePath(QString::fromStdString(data) + "/web-engine-cache");
  Files files(QString::fromStdString(program) + "/runtime", QString::fromStdString(movie));
  profile.installUrlSchemeHandler("reader", &files);
  QWebEngineView view;
  auto* page = new QWebEnginePage(&profile, &view);
  page->settings()->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, false);
  view.setPage(page);
  view.resize(800, 600);
  view.show();
  QObject::connect(page, &QWebEnginePage::titleChanged, [&](const QString& title) {
    if (title != "first") return;
    Report("first", NowUs());
    Report("pss", PssKb(::getpid()));
    QTimer::singleShot(0, &app, [] { QApplication::exit(0); });
  });
  // The same fetch as the player's page, the movie's fscommand in the title.
  page->setHtml(R"(<!DOCTYPE html><html><head><style>html,body{margin:0;height:100%}</style><script>
    const nativeFetch = window.fetch.bind(window);
    window.fetch = (input, init) => new Promise((resolve, reject) => {
      const url = new URL(input instanceof Request ? input.url : String(input), document.baseURI);
      const xhr = new XMLHttpRequest(); xhr.open("GET", url.href); xhr.responseType = "arraybuffer";
      xhr.onload = () => { const r = new Response(xhr.response, {status: 200, headers: {"Content-Type":
        xhr.getResponseHeader("Content-Type") || ""}}); Object.defineProperty(r, "url", {value: url.href}); resolve(r); };
      xhr.onerror = reject; xhr.send(); });
  </script><script src="reader://runtime/ruffle.js"></script></head><body><div id="s" style="height:100%"></div><script>
    const p = window.RufflePlayer.newest().createPlayer(); p.style.width = p.style.height = "100%";
    document.getElementById("s").appendChild(p);
    p.ruffle().addFSCommandHandler((c) => { document.title = c; return true; });
    p.ruffle().load({url: "reader://runtime/movie.swf", allowScriptAccess: true, autoplay: "on", splashScreen: false, unmuteOverlay: "hidden",
                     publicPath: "reader://runtime/", logLevel: "error"});
  </script></body></html>)",
                QUrl("reader://runtime/bare.html"));
  return app.exec();
}

int OnRuntime(int argc, char** argv, const std::string& program, const std::string& movie,
              const std::string& data, int trips) {
  runtime::Prepare();
  QApplication app(argc, argv);
  QWidget window;
  window.resize(800, 600);
  std::string media = QFileInfo(QString::fromStdString(movie)).absolutePath().toStdString();
  runtime::MovieFiles files(program + "/runtime", program, media);
  runtime::Host host{
      .post = qtdesk::PostHeld,
      .hold = [] { qtdesk::EventHold::Get().Hold(); },
      .release = [] { qtdesk::EventHold::Get().Release(); },
      .serve = [&](std::string_view url) { return files.Get(url); },
      .setBook = [&](const std::string& path) { files.SetBook(path); },
      .mediaFolders = {media},
      .dataFolder = data,
  };
  components::ControlDesign design{.name = "Flash", .kind = components::ControlKind::Player};
  design.width = 800 * 15;
  design.height = 600 * 15;
  std::unique_ptr<components::MoviePlayer> player = runtime::CreatePlayer(host, &window, design);
  window.show();
  player->OnFSCommand([&](const std::string& command, const std::string&) {
    if (command != "first") return;
    Report("first", NowUs());
    std::vector<long long> us;
    for (int i = 0; i < trips; ++i) {
      QElapsedTimer t;
      t.start();
      std::string v = player->GetVariable(i % 2 ? "page" : "/list:counter");
      us.push_back(t.nsecsElapsed() / 1000);
      if (v.empty()) std::fprintf(stderr, "runtime_bench: no answer\n");
    }
    std::sort(us.begin(), us.end());
    if (!us.empty()) {
      Report("median_us", us[us.size() / 2]);
      Report("p90_us", us[us.size() * 9 / 10]);
    }
    Report("pss", PssKb(::getpid()));
    QTimer::singleShot(0, &app, [] { QApplication::exit(0); });
  });
  player->Movie(movie);
  return app.exec();
}

int OnStandIn(int argc, char** argv, const std::string& movie) {
  QApplication app(argc, argv);
  qtdesk::Desktop desktop;
  QWidget window;
  window.resize(800, 600);
  components::ControlDesign design{.name = "Flash", .kind = components::ControlKind::Player};
  design.width = 800 * 15;
  design.height = 600 * 15;
  qtdesk::Player player(desktop, {}, &window, design);
  window.show();
  player.OnFSCommand([&](const std::string& command, const std::string&) {
    if (command != "first") return;
    Report("first", NowUs());
    Report("pss", PssKb(::getpid()));
    QTimer::singleShot(0, &app, [] { QApplication::exit(0); });
  });
  player.Movie(movie);
  return app.exec();
}

struct Run {
  double ms = 0;
  long pss = 0, median = 0, p90 = 0;
};

// One start of this program as `mode`; its figures.
Run Start(const char* self, const std::string& mode, const std::string& movie, const std::string& data) {
  QProcess child;
  long long started = NowUs();
  child.start(self, {"--child", QString::fromStdString(mode), QString::fromStdString(movie),
                     QString::fromStdString(data)});
  Run r;
  if (!child.waitForFinished(60000)) {
    child.kill();
    std::fprintf(stderr, "runtime_bench: %s did not finish\n", mode.c_str());
    return r;
  }
  for (const QByteArray& line : child.readAllStandardOutput().split('\n')) {
    QList<QByteArray> kv = line.split(' ');
    if (kv.size() != 2) continue;
    long long v = kv[1].toLongLong();
    if (kv[0] == "first") r.ms = (v - started) / 1000.0;
    if (kv[0] == "pss") r.pss = static_cast<long>(v);
    if (kv[0] == "median_us") r.median = static_cast<long>(v);
    if (kv[0] == "p90_us") r.p90 = static_cast<long>(v);
  }
  return r;
}

}  // namespace

int main(int argc, char** argv) {
  std::string program = READER_PROGRAM_DIR;
  if (argc >= 2 && std::string(argv[1]) == "--child") {
    if (argc < 5) return 2;  // never a parent again
    std::string mode = argv[2], movie = argv[3], data = argv[4];
    // A start that never gets there says so rather than hang the run.
    std::thread([] {
      std::this_thread::sleep_for(std::chrono::seconds(30));
      std::_Exit(3);
    }).detach();
    if (mode == "bare") return Bare(argc, argv, program, movie, data);
    if (mode == "runtime") return OnRuntime(argc, argv, program, movie, data, 200);
    return OnStandIn(argc, argv, movie);
  }
  int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QString base = QDir::tempPath() + "/runtime-bench-" + QString::number(::getpid());
  QDir().mkpath(base + "/media");
  std::string movie = (base + "/media/movie.zov").toStdString();
  std::vector<std::uint8_t> bytes = TheMovie();
  std::ofstream(movie, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  std::string data = base.toStdString();
  // The first round fills each profile's code cache, as a first start does; not counted.
  Start(argv[0], "bare", movie, data + "/bare");
  Start(argv[0], "runtime", movie, data + "/runtime");
  std::vector<double> bare, onRuntime, standIn;
  Run last, lastBare, lastStandIn;
  for (int i = 0; i < rounds; ++i) {
    lastBare = Start(argv[0], "bare", movie, data + "/bare");
    last = Start(argv[0], "runtime", movie, data + "/runtime");
    lastStandIn = Start(argv[0], "standin", movie, data);
    bare.push_back(lastBare.ms);
    onRuntime.push_back(last.ms);
    standIn.push_back(lastStandIn.ms);
  }
  std::printf("start-up to the first frame, median of %d alternating starts (ms):\n", rounds);
  std::printf("  runtime player   %8.1f\n", Median(onRuntime));
  std::printf("  bare web view    %8.1f   (the floor; runtime / floor = %.2f, goal <= 1.2)\n", Median(bare),
              Median(bare) > 0 ? Median(onRuntime) / Median(bare) : 0.0);
  std::printf("  stand-in         %8.1f\n", Median(standIn));
  std::printf("GetVariable round trip on the runtime: median %.2f ms, p90 %.2f ms (goal: median <= 2 ms)\n",
              last.median / 1000.0, last.p90 / 1000.0);
  std::printf(
      "memory (PSS, with the web engine's processes), kB:\n  runtime %ld, bare web view %ld, stand-in %ld\n",
      last.pss, lastBare.pss, lastStandIn.pss);
  QDir(base).removeRecursively();
  return 0;
}
