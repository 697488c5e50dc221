#pragma once

// The deterministic in-memory desktop for tests, every fake at once.
#include "platform/headless/browser.h"
#include "platform/headless/call_log.h"
#include "platform/headless/desktop.h"
#include "platform/headless/harness.h"
#include "platform/headless/player.h"
#include "platform/headless/progress_bar.h"
#include "platform/headless/registry.h"
#include "platform/headless/services.h"
#include "platform/headless/toolbar.h"
#include "platform/headless/transfer.h"
#include "platform/headless/window_hooks.h"
