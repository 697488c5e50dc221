// Setting the engine up, and the players it makes.
#include <unistd.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QWebEngineUrlScheme>

#include "platform/runtime/runtime_module.h"
#include "platform/runtime/runtime_player.h"

namespace runtime {

namespace {

// Drawing in software where there is no GPU to draw with: under a virtual
// display, offscreen, or with no render node at all.
bool WithoutGpu() {
  if (qgetenv("QT_QPA_PLATFORM") == "offscreen") return true;
  return QDir("/dev/dri").entryList({"renderD*"}, QDir::System).isEmpty();
}

}  // namespace

void Prepare() {
  static bool done = false;
  if (done) return;
  done = true;
  QWebEngineUrlScheme scheme("reader");
  scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
  scheme.setDefaultPort(QWebEngineUrlScheme::PortUnspecified);
  scheme.setFlags(QWebEngineUrlScheme::SecureScheme | QWebEngineUrlScheme::CorsEnabled |
                  QWebEngineUrlScheme::ContentSecurityPolicyIgnored);
  QWebEngineUrlScheme::registerScheme(scheme);
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  // The engine's sandbox cannot run as root (the tests, in a container); an
  // ordinary user's reader keeps it.
  if (::geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
  if (WithoutGpu()) flags += " --disable-gpu --disable-gpu-compositing";
  qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags.trimmed());
}

std::unique_ptr<components::MoviePlayer> CreatePlayer(const Host& host, QWidget* parent,
                                                      const components::ControlDesign& design) {
  return std::make_unique<Player>(host, parent, design);
}

}  // namespace runtime
