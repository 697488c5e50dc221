// The book on the Flash runtime, 1536 x 1152 offscreen, beside the
// stand-in's drawing of the same book in one run:
//   runtime_book_bench BOOK.swf PROGRAM_FOLDER
// - opening the book: from the host's "startPlay" (the cover shown) until
//   the movie has drawn its first spread (its leaf has come down);
// - a page turn's frames: the time the runtime spends in each animation
//   frame that does work while a leaf turns, with the drawing that follows
//   it (the page's own frame clock, wrapped around the runtime's
//   requestAnimationFrame callbacks).
#include <unistd.h>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <QTimer>
#include <QWebEngineView>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bench/median.h"
#include "components/window_design.h"
#include "platform/qt/event_hold.h"
#include "platform/qt/fonts.h"
#include "platform/qt/qt_desktop.h"
#include "platform/qt/qt_player.h"
#include "platform/runtime/movie_files.h"
#include "platform/runtime/runtime_module.h"
#include "player/book_player.h"

namespace {

using bench::Median;

void RunFor(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

// The answer of a script that outlasts the wait lands in what it shares
// with this, never in a returned frame.
QVariant Js(QWebEngineView* view, const QString& script) {
  auto answer = std::make_shared<std::optional<QVariant>>();
  view->page()->runJavaScript(script, [answer](const QVariant& v) { *answer = v; });
  for (int i = 0; i < 400 && !*answer; ++i) RunFor(5);
  return answer->value_or(QVariant());
}

// Times every requestAnimationFrame callback of the page from now on, with
// the drawing it asked for: the runtime's canvas records its calls, and the
// page draws them after the callbacks, in the same task. A message posted
// from the callback runs once that task is over.
const char* const kFrameClock = R"(
(() => {
  if (!window.readerFrames) {
    const raf = window.requestAnimationFrame.bind(window);
    const channel = new MessageChannel(), started = [];
    channel.port1.onmessage = () => window.readerFrames.push(performance.now() - started.shift());
    window.requestAnimationFrame = (cb) => raf((t) => {
      started.push(performance.now());
      cb(t);
      channel.port2.postMessage(0);
    });
  }
  window.readerFrames = [];
  return true;
})())";

// The stand-in's figures, as player_bench measures them.
void StandIn(const char* movie, const QSize& size, double* open, double* turn) {
  qtdesk::Desktop desktop;
  desktop.StartFonts();
  while (!qtdesk::FontsReady()) QCoreApplication::processEvents();
  QImage frame(size, QImage::Format_RGB32);
  std::vector<double> opens, turns;
  for (int run = 0; run < 5; ++run) {
    player::BookPlayer book(desktop, nullptr);
    qtdesk::PlayerWidget widget(nullptr, book);
    book.OnChanged([&](player::Changes changes) { widget.PlayerChanged(changes); });
    widget.resize(size);
    book.Movie(movie);
    {
      QPainter p(&frame);
      widget.Render(p);
    }
    QElapsedTimer t;
    t.start();
    book.TCallLabel("/", "startPlay");
    {
      QPainter p(&frame);
      widget.SetTurnProgress(1.0);
      widget.Render(p);  // the first spread, drawn
    }
    opens.push_back(t.nsecsElapsed() / 1e6);
    book.NextPage();
    for (int i = 0; i <= 19; ++i) {
      widget.SetTurnProgress(i / 20.0);
      QElapsedTimer f;
      f.start();
      QPainter p(&frame);
      widget.Render(p);
      p.end();
      if (i > 0) turns.push_back(f.nsecsElapsed() / 1e6);
    }
  }
  *open = Median(opens);
  *turn = Median(turns);
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  if (argc != 3) {
    std::fprintf(stderr, "usage: runtime_book_bench BOOK.swf PROGRAM_FOLDER\n");
    return 2;
  }
  runtime::Prepare();
  QApplication app(argc, argv);
  const QSize size(1536, 1152);
  const std::string program = argv[2];
  runtime::MovieFiles files(program + "/runtime", program, program + "/Review");

  QWidget window;
  window.resize(size);
  runtime::Host host{
      .post = qtdesk::PostHeld,
      .hold = [] { qtdesk::EventHold::Get().Hold(); },
      .release = [] { qtdesk::EventHold::Get().Release(); },
      .openUrl = [](const std::string&) {},
      .serve = [&](std::string_view url) { return files.Get(url); },
      .setBook = [&](const std::string& path) { files.SetBook(path); },
      .mediaFolders = {program + "/Review"},
      .dataFolder = QDir::tempPath().toStdString() + "/reader-runtime-bench-" + std::to_string(getpid()),
      .callTimeoutMs = 10000,
  };
  components::ControlDesign design{.name = "Flash", .kind = components::ControlKind::Player};
  design.width = size.width() * 15;
  design.height = size.height() * 15;
  std::unique_ptr<components::MoviePlayer> player = runtime::CreatePlayer(host, &window, design);
  if (!player) {
    std::fprintf(stderr, "runtime_book_bench: the runtime cannot start\n");
    return 1;
  }
  window.show();
  auto* view = window.findChild<QWebEngineView*>();
  QWidget* engine = view && view->focusProxy() ? view->focusProxy() : view;

  std::vector<double> opens, frames, turnMs;
  for (int run = 0; run < 5; ++run) {
    player->Movie(argv[1]);
    if (player->GetVariable("/utility/jump_number.totalPage").empty()) {
      std::fprintf(stderr, "runtime_book_bench: the book does not answer on the runtime\n");
      return 1;
    }
    RunFor(300);  // the cover drawn
    QElapsedTimer t;
    t.start();
    player->TCallLabel("/", "startPlay");
    // The movie's leaf is "null" once it is down.
    while (player->GetVariable("Turn") != "null" && t.elapsed() < 5000) RunFor(1);
    opens.push_back(t.nsecsElapsed() / 1e6);
    turnMs.push_back(std::atof(player->GetVariable("TurnMs").c_str()));
    Js(view, kFrameClock);
    for (int turn = 0; turn < 6; ++turn) {
      Js(view, "window.readerFrames = []");
      // The right-hand page: the next spread.
      QTest::mouseClick(engine, Qt::LeftButton, {}, QPoint(size.width() * 550 / 768, size.height() / 2));
      RunFor(300);
      for (const QVariant& v : Js(view, "window.readerFrames").toList())
        if (v.toDouble() >= 0.5) frames.push_back(v.toDouble());  // a frame with work in it
    }
    // Back on the cover: the next load opens there.
    QTest::keyClick(engine, Qt::Key_Home);
    player->GetVariable("Turn");
  }
  double standOpen = 0, standTurn = 0;
  StandIn(argv[1], size, &standOpen, &standTurn);
  const double runtimeOpen = Median(opens), runtimeTurn = Median(frames);
  std::printf(
      "the book, %dx%d offscreen: runtime (Ruffle in Qt WebEngine, software drawing) beside the stand-in\n",
      size.width(), size.height());
  std::printf(
      "  opening (startPlay -> first spread drawn): runtime %.1f ms, stand-in %.1f ms (goal: 150 ms or "
      "less)\n",
      runtimeOpen, standOpen);
  std::printf(
      "  page-turn frame, median:                   runtime %.2f ms, stand-in %.2f ms, ratio %.1f (goal: 8 "
      "ms or less)\n",
      runtimeTurn, standTurn, standTurn > 0 ? runtimeTurn / standTurn : 0.0);
  std::printf(
      "  (9 in 10 runtime frames within %.2f ms; the leaf's own time in the movie %.0f ms; %zu runtime "
      "frames with work in them)\n",
      bench::Percentile(frames, 0.9), Median(turnMs), frames.size());
  return 0;
}
