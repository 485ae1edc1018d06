#!/usr/bin/env bash
# Runs a Windows test program on a display of two 1024x768 screens side by side: an
# Xorg server with the dummy video driver and Xinerama (scripts/two-screens.conf), which
# Wine reports as two monitors, (0,0)-(1024,768) primary and (1024,0)-(2048,768).
# Xvfb cannot stand in: it stacks all its Xinerama heads at 0,0, and Wine then sees one.
# The program runs in a Wine session of its own, because its wineserver and desktop must
# see the two screens too: a prefix that shares the project prefix's drive but has its
# own registry copy and therefore its own wineserver.
# Usage: two-screens.sh program.exe [arguments]
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
"$here/prepare-prefix.sh" || exit 1
prefix=$(lex_session_prefix two-screens)
mkdir -p "$prefix/xorg/conf.d"

# The server binary itself, not Debian's /usr/bin/Xorg wrapper script (which would hand
# over to the set-uid Xorg.wrap where that is installed).
xorg=/usr/lib/xorg/Xorg
[ -x "$xorg" ] || xorg=$(command -v Xorg) || { echo "two-screens: Xorg is not installed" >&2; exit 1; }
n=
for n in $(seq 131 170); do
  [ -e /tmp/.X$n-lock ] || [ -e /tmp/.X11-unix/X$n ] || break
done
# Our layout, and an empty directory instead of /etc/X11/xorg.conf.d; the server shares
# the current virtual terminal (so it needs no access to the consoles and runs without
# root) and never switches terminals, and it keeps running when the last client leaves.
log="$prefix/xorg/Xorg.log"
"$xorg" ":$n" -config "$here/two-screens.conf" -configdir "$prefix/xorg/conf.d" \
  -logfile "$log" -noreset -nolisten tcp -sharevts -novtswitch >/dev/null 2>&1 &
server=$!
up=
for _ in $(seq 1 100); do
  kill -0 "$server" 2>/dev/null || break
  DISPLAY=":$n" xdpyinfo >/dev/null 2>&1 && { up=1; break; }
  sleep 0.1
done
if [ -z "$up" ]; then
  echo "two-screens: the X server on :$n did not start; the end of $log:" >&2
  tail -n 20 "$log" >&2 2>/dev/null
  kill "$server" 2>/dev/null
  wait "$server" 2>/dev/null
  exit 1
fi

export DISPLAY=":$n" WINEPREFIX="$prefix"
wine "$@"
rc=$?
wineserver -k 2>/dev/null
kill "$server" 2>/dev/null
wait "$server" 2>/dev/null
exit $rc
