#!/usr/bin/env bash
# `cmake --install` into a temporary prefix: the layout, the two validators on
# the installed files, and the installed program started from its link as an
# ordinary user (as root CI would write anywhere, so an unprivileged user
# runs it), offscreen.
#   install_test.sh BUILD_DIR
set -uo pipefail
build=$1
prefix=$(mktemp -d)
home=$(mktemp -d)
trap 'rm -rf "$prefix" "$home"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null || { echo "install failed"; exit 1; }
fail=0
for f in bin/reader lib/reader/reader lib/reader/installed lib/reader/Help.html lib/reader/introduction_open.html \
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
"${runner[@]}" env -i PATH=/usr/bin:/bin HOME="$home" QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$home" \
  XDG_DATA_HOME="$home/data" XDG_CACHE_HOME="$home/cache" TEMP="$home/" \
  timeout 8 "$prefix/bin/reader" >"$home/out" 2>&1 &
for _ in $(seq 1 80); do [ -s "$home/K19990317045" ] && break; sleep 0.1; done
[ -s "$home/K19990317045" ] || { echo "the installed program did not come up:"; cat "$home/out"; fail=1; }
[ -e "$home/data/reader/HKEY_LOCAL_MACHINE.sqlite" ] || { echo "no settings in the user's data folder"; fail=1; }
[ ! -e "$prefix/lib/reader/Review/K19990317045_1.zov" ] || fail=1
kill %1 2>/dev/null
wait 2>/dev/null

# The narration of chapter 1, as that user asks for it on a virtual display:
# downloaded from the installed demo server into the user's own data folder,
# not the program folder. (No intro panel: the reader ticked its box before.)
sqlite3 "$home/data/reader/HKEY_LOCAL_MACHINE.sqlite" \
  "INSERT OR REPLACE INTO vals VALUES('software\\bindera\\k19990317045','showhelp','showHelp',1,CAST('-2' AS BLOB));"
# A free display of Xvfb's own choosing.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$home/display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 1 50); do [ -s "$home/display" ] && break; sleep 0.1; done
display=:$(cat "$home/display")
"${runner[@]}" "$prefix/bin/reader-demo-media-server" >/dev/null 2>&1 &
server=$!
sleep 1
"${runner[@]}" env -i PATH=/usr/bin:/bin HOME="$home" DISPLAY="$display" XDG_RUNTIME_DIR="$home" \
  XDG_DATA_HOME="$home/data" XDG_CACHE_HOME="$home/cache" TEMP="$home/" \
  timeout 30 "$prefix/bin/reader" >"$home/out2" 2>&1 &
reader=$!
sleep 3
# The window is centred, 760 x 549: the cover, the contents' first chapter,
# then the narration button at the foot of its first page.
for at in "900 470" "476 434" "476 722"; do
  DISPLAY=$display xdotool mousemove $at click 1
  sleep 1
done
chapter="$home/data/reader/Review/K19990317045_1.zov"
for _ in $(seq 1 100); do [ -s "$chapter" ] && break; sleep 0.1; done
if cmp -s "$chapter" "$prefix/share/reader/media-site/K19990317045/Review/K19990317045_1.zov"; then
  echo "  a chapter downloaded into the user's data folder"
else
  echo "no chapter in $chapter:"; cat "$home/out2"; fail=1
fi
ls "$prefix/lib/reader/Review" | grep -q K19990317045_ && { echo "a chapter file in the program folder"; fail=1; }
kill $reader $server $xvfb 2>/dev/null
wait 2>/dev/null
[ $fail -eq 0 ] && echo "install: layout, validators, an ordinary user's start and download: 1 passed, 0 failed"
exit $fail
