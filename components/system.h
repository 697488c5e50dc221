#pragma once

#include "components/connection.h"
#include "components/desktop.h"
#include "components/environment.h"
#include "components/file_system.h"
#include "components/registry.h"
#include "components/resources.h"
#include "components/window_hook.h"

namespace components {

// Every platform service the system reaches, handed to it at start.
struct System {
  Desktop& desktop;
  Registry& registry;
  FileSystem& files;
  Environment& environment;
  Resources& resources;
  Connection& connection;
  WindowHooks& hooks;
};

}  // namespace components
