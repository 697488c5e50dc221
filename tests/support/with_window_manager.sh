#!/usr/bin/env bash
# Runs a command on a virtual display of its own with a window manager
# (openbox), as a reader's desktop has one:
#   with_window_manager.sh COMMAND [ARGS...]
set -uo pipefail
dir=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$dir/display" >/dev/null 2>&1 &
xvfb=$!
trap 'kill $wm $xvfb 2>/dev/null; rm -rf "$dir"' EXIT
for _ in $(seq 1 100); do [ -s "$dir/display" ] && break; sleep 0.05; done
export DISPLAY=:$(cat "$dir/display") QT_QPA_PLATFORM=xcb DBUS_SESSION_BUS_ADDRESS=disabled:
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
# Managing: the root window names its window manager.
for _ in $(seq 1 100); do wmctrl -m >/dev/null 2>&1 && break; sleep 0.05; done
"$@"
