// The Flash runtime's module: the web engine and everything that uses it,
// loaded by the desktop when the runtime plays.
#include <QtGlobal>

#include "platform/runtime/runtime_module.h"

extern "C" Q_DECL_EXPORT void reader_runtime_prepare() { runtime::Prepare(); }

extern "C" Q_DECL_EXPORT components::MoviePlayer* reader_runtime_create(
    const runtime::Host& host, QWidget* parent, const components::ControlDesign& design) {
  return runtime::CreatePlayer(host, parent, design).release();
}
