#!/usr/bin/env bash
# `make run`: starts Lexorin from the program folder build/win/dist.
# With a working display it simply runs until you exit it. Without one it runs on a
# virtual screen for a few seconds, saves a screenshot, prints its path and ends the
# program cleanly (as Esc would).
set -u
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build}" && pwd)
dist="$build/win/dist"
export WINEPREFIX=${LEXORIN_WINEPREFIX:-$build/wineprefix}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  cd "$dist" && exec wine ./Lexorin.exe
fi

shot="$build/screenshot.png"
headless() {
  cd "$dist" || exit 1
  wine ./Lexorin.exe &
  app=$!
  if ! wine "$build/win/tests/e2e/lexdrive.exe" wait 20000; then
    echo "run: Lexorin did not show its main bar" >&2
    kill $app 2>/dev/null
    exit 1
  fi
  sleep "${LEX_RUN_SECONDS:-6}"
  import -window root "$shot"
  wine "$build/win/tests/e2e/lexdrive.exe" close 10000
  wait $app
  echo "Lexorin ran on a virtual screen; screenshot: $shot"
}
export -f headless
export dist build shot
exec "$here/with-display.sh" bash -c headless
