#!/usr/bin/env bash
# `cmake --install` into a temporary prefix: the layout, the two validators on
# the installed files, and the installed program started from its link as an
# ordinary user (as root CI would write anywhere, so an unprivileged user
# runs it) on a virtual display, twice, driven as a reader drives it: each
# step waits for the window it needs, never for a file or a setting.
#   install_test.sh BUILD_DIR
set -uo pipefail
build=$1
prefix=$(mktemp -d)
home=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; wait 2>/dev/null; rm -rf "$prefix" "$home"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null || { echo "install failed"; exit 1; }
fail=0
runtime=()
if grep -q '^READER_WEB_ENGINE:BOOL=ON' "$build/CMakeCache.txt"; then
  runtime=(lib/reader/libreader_runtime.so lib/reader/runtime/ruffle.js lib/reader/runtime/bridge.swf
           lib/reader/runtime/player.html lib/reader/runtime/host.js)
fi
for f in "${runtime[@]}" bin/reader lib/reader/reader lib/reader/installed lib/reader/Help.html lib/reader/introduction_open.html \
         lib/reader/about.gif lib/reader/Review/man.zov lib/reader/libreader_sound.so lib/reader/libreader_transfer.so \
         lib/reader/icons/reader-48.png share/applications/reader.desktop \
         share/metainfo/org.example.reader.metainfo.xml share/icons/hicolor/scalable/apps/reader.svg \
         share/icons/hicolor/16x16/apps/reader.png share/icons/hicolor/256x256/apps/reader.png \
         bin/reader-demo-media-server share/reader/media-site/K19990317045/Review/K19990317045_1.zov; do
  [ -e "$prefix/$f" ] || { echo "missing: $f"; fail=1; }
done
[ "$(readlink "$prefix/bin/reader")" = "../lib/reader/reader" ] || { echo "bin/reader is not a link to the program"; fail=1; }
out=$(desktop-file-validate "$prefix/share/applications/reader.desktop" 2>&1)
[ -z "$out" ] || { echo "desktop-file-validate: $out"; fail=1; }
appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/org.example.reader.metainfo.xml" >/dev/null ||
  { echo "appstreamcli validate failed"; fail=1; }

# An ordinary user: the program folder is not theirs to write.
chmod 755 "$prefix" "$home"
runner=()
if [ "$(id -u)" -eq 0 ]; then
  chown -R nobody:nogroup "$home"
  runner=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
# A free display of Xvfb's own choosing.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$home/display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 1 50); do [ -s "$home/display" ] && break; sleep 0.1; done
display=:$(cat "$home/display")
reader_env=(env -i PATH=/usr/bin:/bin HOME="$home" DISPLAY="$display" XDG_RUNTIME_DIR="$home"
            XDG_DATA_HOME="$home/data" XDG_CACHE_HOME="$home/cache" TEMP="$home/"
            LANG=C.UTF-8 DBUS_SESSION_BUS_ADDRESS=disabled: ${READER_PLAYER:+READER_PLAYER=$READER_PLAYER})
x() { DISPLAY=$display xdotool "$@"; }
# Waits up to 20 s until a window of that title is shown; prints its id.
shown() {
  for _ in $(seq 1 200); do
    id=$(x search --onlyvisible --name "$1" 2>/dev/null | head -1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}
gone() { for _ in $(seq 1 200); do [ -z "$(x search --onlyvisible --name "$1" 2>/dev/null)" ] && return 0; sleep 0.1; done; return 1; }
# Where a window is: "X Y".
at() { x getwindowgeometry "$1" | sed -n 's/ *Position: \([0-9]*\),\([0-9]*\).*/\1 \2/p'; }
title="電子書閱讀器使用導覽"

# The first start: the intro panel opens, as it does until its box is
# ticked. The reader ticks it, closes the panel with Escape, then closes the
# book from its right-click menu, answering Yes: the program ends by itself,
# having written what it keeps.
"${runner[@]}" "${reader_env[@]}" timeout 60 "$prefix/bin/reader" >"$home/out1" 2>&1 &
reader=$!
if panel=$(shown "基礎操作說明"); then
  read -r px py < <(at "$panel")
  x mousemove $((px + 20)) $((py + 388)) click 1  # the box, 5700 twips down
  sleep 0.5
  x key Escape
  gone "基礎操作說明" || { echo "Escape did not close the intro panel"; fail=1; }
  main=$(shown "$title")
  read -r mx my < <(at "$main")
  # The right-click menu's 關閉 (after 關於翻頁電子書), until the question comes.
  for _ in 1 2 3; do
    x mousemove $((mx + 200)) $((my + 300)) click 3
    sleep 0.5
    x key Down Down Return
    question=$(shown "離開電子書") && break
  done
  if [ -n "${question:-}" ]; then
    x windowfocus --sync "$question"
    x key y  # 是(Y) to "確定要離開電子書嗎 ?"
  else
    echo "the book's menu did not ask to leave"; fail=1
  fi
else
  echo "the first start showed no intro panel:"; cat "$home/out1"; fail=1
fi
wait $reader
status=$?
[ $status -eq 0 ] || { echo "the first start did not end in order (status $status):"; cat "$home/out1"; fail=1; }
[ -e "$home/data/reader/HKEY_LOCAL_MACHINE.sqlite" ] || { echo "no settings in the user's data folder"; fail=1; }

# The second start: no panel. The narration of chapter 1, as that user asks
# for it: downloaded from the installed demo server into the user's own data
# folder, not the program folder, and played.
"${runner[@]}" "$prefix/bin/reader-demo-media-server" >"$home/server" 2>&1 &
server=$!
sleep 0.5
# Another server on its port (a second run on this machine) would answer in its stead.
kill -0 $server 2>/dev/null || { echo "the demo media server did not start:"; cat "$home/server"; fail=1; }
"${runner[@]}" "${reader_env[@]}" timeout 60 "$prefix/bin/reader" >"$home/out2" 2>&1 &
reader=$!
chapter="$home/data/reader/Review/K19990317045_1.zov"
if main=$(shown "$title"); then
  sleep 4  # the runtime takes a moment to start its engine and load the book
  [ -z "$(x search --onlyvisible --name "基礎操作說明")" ] || { echo "the intro panel opened again"; fail=1; }
  read -r mx my < <(at "$main")
  # The cover, the contents' first chapter, the narration button at the
  # foot of its first page, beside the page number.
  for offset in "640 233" "216 197" "255 499"; do
    read -r dx dy <<<"$offset"
    x mousemove $((mx + dx)) $((my + dy)) click 1
    sleep 1
  done
  shown "播放導讀" >/dev/null || { echo "the narration did not play:"; cat "$home/out2"; fail=1; }
else
  echo "the second start showed no book:"; cat "$home/out2"; fail=1
fi
if cmp -s "$chapter" "$prefix/share/reader/media-site/K19990317045/Review/K19990317045_1.zov"; then
  echo "  a chapter downloaded into the user's data folder"
else
  echo "no chapter in $chapter"; fail=1
fi
ls "$prefix/lib/reader/Review" | grep -q K19990317045_ && { echo "a chapter file in the program folder"; fail=1; }
kill $reader $server $xvfb 2>/dev/null
wait 2>/dev/null
[ $fail -eq 0 ] && echo "install: layout, validators, an ordinary user's two starts and download: 1 passed, 0 failed"
exit $fail
