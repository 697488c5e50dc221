#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "components/movie_player.h"
#include "components/window_design.h"
#include "platform/runtime/runtime_module.h"

class QEventLoop;

namespace runtime {

class Engine;
class PageLink;
class PlayerView;

// The movie player on the Flash runtime. The runtime answers later; the
// host expects answers at once: a call that needs one waits in an event loop
// of its own that lets only the engine's events through, the program's own
// held meanwhile. Calls made before the movie (and the bridge above it) is
// ready wait, in order, until it is.
class Player : public components::MoviePlayer {
 public:
  Player(Host host, QWidget* parent, const components::ControlDesign& design);
  ~Player() override;

  void Movie(const std::string& path) override;
  void SetVariable(const std::string& name, const std::string& value) override;
  std::string GetVariable(const std::string& name) override;
  void TCallLabel(const std::string& target, const std::string& label) override;
  std::string TGetProperty(const std::string& target, int index) override;
  void Width(components::Twips width) override;
  void Height(components::Twips height) override;

 private:
  void Load();
  // The movie will not answer: nothing waits for it, nothing is queued.
  void GiveUp();
  void Send(const QString& script);
  // The bridge's answer to `callback(args)`; "" when none came in time.
  std::string Ask(const QString& callback, const QStringList& args);
  // Runs the engine's events until done() or the deadline; false on the deadline.
  bool WaitUntil(const QElapsedTimer& since, const std::function<bool()>& done);
  void Resize();

  Host host_;
  std::shared_ptr<Engine> engine_;
  QPointer<PlayerView> view_;
  PageLink* link_ = nullptr;  // the view's
  components::Twips width_, height_;

  bool pageReady_ = false;
  int generation_ = 0;          // of the movie asked for last
  std::optional<QString> url_;  // where it is served
  bool bridgeReady_ = false;
  // Gives up on the movie until it answers again: no call waits for it.
  bool unresponsive_ = false;
  std::vector<QString> waiting_;  // sent once the bridge is ready
  int lastId_ = 0;
  int awaited_ = 0;  // the call waiting for its answer
  std::optional<QString> answer_;
  QEventLoop* loop_ = nullptr;  // the wait going on
  int refusedToken_ = 0;
  int storedToken_ = 0;
  static constexpr int kRestarts = 3;
  static constexpr int kWaitTurnMs = 10;  // see WaitUntil
  int restarts_ = 0;                      // of the page, after its process ended
  QMetaObject::Connection ended_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace runtime
