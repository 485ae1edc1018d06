#!/usr/bin/env bash
# Runs a Windows test program on a display of two screens side by side (Xvfb with
# Xinerama), in a Wine session of its own: its wineserver and desktop must see the two
# screens too, so it runs in a prefix that shares the project prefix's drive but has
# its own registry copy and therefore its own wineserver.
# Usage: two-screens.sh program.exe [arguments]
set -u
here=$(cd "$(dirname "$0")" && pwd)
base=${LEXORIN_WINEPREFIX:-$(cd "$here/.." && pwd)/build/wineprefix}
"$here/prepare-prefix.sh" || exit 1
base=$(cd "$base" && pwd)
prefix="$base-two-screens"
mkdir -p "$prefix"
ln -sfn "$base/drive_c" "$prefix/drive_c"
ln -sfn "$base/dosdevices" "$prefix/dosdevices"
for f in system.reg user.reg userdef.reg .update-timestamp; do
  [ "$base/$f" -nt "$prefix/$f" ] && cp -p "$base/$f" "$prefix/$f"
done
n=
for n in $(seq 131 170); do
  [ -e /tmp/.X$n-lock ] || [ -e /tmp/.X11-unix/X$n ] || break
done
Xvfb ":$n" +xinerama -screen 0 1024x768x24 -screen 1 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 1 50); do
  DISPLAY=":$n" xdpyinfo >/dev/null 2>&1 && break
  sleep 0.1
done
export DISPLAY=":$n" WINEPREFIX="$prefix" WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
wine "$@"
rc=$?
wineserver -k 2>/dev/null
kill "$xvfb" 2>/dev/null
wait "$xvfb" 2>/dev/null
exit $rc
