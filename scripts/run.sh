#!/usr/bin/env bash
# `make run`: starts Lexorin from its program folder: the 32-bit program (build/win/dist)
# where this machine runs 32-bit programs, else the 64-bit one (build/win64/dist).
# LEXORIN_WIN_BUILDS=win64 (or win32) chooses. With a working display it simply runs
# until you exit it. Without one it runs on a virtual screen for a few seconds, saves a
# screenshot, prints its path and ends the program cleanly (as Esc would).
set -u
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build}" && pwd)
. "$here/wine-env.sh"

builds=$(lex_win_builds) || exit 2
case " $builds " in
  *" win32 "*) which=win32 ;;
  *) which=win64 ;;
esac
tree="$build/$(lex_win_tree $which)"
dist="$tree/dist"
if [ $which = win32 ]; then
  echo "run: the 32-bit Lexorin.exe from $dist"
else
  echo "run: the 64-bit Lexorin.exe from $dist ($(lex_skip_line "$builds" | sed 's/^32-bit Windows tests skipped: //'))"
fi

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  cd "$dist" && wine ./Lexorin.exe
  exit $?
fi

shot="$build/screenshot.png"
headless() {
  cd "$dist" || exit 1
  wine ./Lexorin.exe &
  app=$!
  if ! wine "$tree/tests/e2e/lexdrive.exe" wait 20000; then
    echo "run: Lexorin did not show its main bar" >&2
    kill $app 2>/dev/null
    exit 1
  fi
  sleep "${LEX_RUN_SECONDS:-6}"
  import -window root "$shot"
  wine "$tree/tests/e2e/lexdrive.exe" close 10000
  wait $app
  echo "Lexorin ran on a virtual screen; screenshot: $shot"
}
export -f headless
export dist tree shot
exec "$here/with-display.sh" bash -c headless
