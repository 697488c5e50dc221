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
[ $fail -eq 0 ] && echo "install: layout, validators and an ordinary user's start: 1 passed, 0 failed"
exit $fail
