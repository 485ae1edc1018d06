#!/usr/bin/env bash
# `make bench`: the speed and CPU budgets. Native benchmarks run from an optimised tree
# without sanitizers (build/bench); Windows ones under Wine on a display.
set -u
here=$(cd "$(dirname "$0")" && pwd)
src=$(cd "$here/.." && pwd)
build=$(cd "${1:-$src/build}" && pwd)
bench="$build/bench"
test -f "$bench/build.ninja" || cmake -S "$src" -B "$bench" -G Ninja -DCMAKE_BUILD_TYPE=Release -DLEX_BENCH=ON >/dev/null
cmake --build "$bench" >/dev/null || exit 1
export WINEPREFIX=${LEXORIN_WINEPREFIX:-$build/wineprefix}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
rc=0
for b in "$bench"/bench/*_bench; do
  [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  "$b" || rc=1
done
run_win() {
  wineserver -p 2>/dev/null
  # The CPU that Wine spends outside the program, in this prefix's wineserver (it works
  # in a folder named after the prefix's device and inode) and in this display's Xvfb:
  # the main bar's benchmark reads theirs from /proc too.
  local p id
  id=$(printf 'server-%x-%x' $(stat -c '%d %i' "$WINEPREFIX"))
  for p in $(pgrep wineserver); do
    [ "$(basename "$(readlink "/proc/$p/cwd")")" = "$id" ] && export LEX_BENCH_WINESERVER_PID=$p
  done
  for p in $(pgrep -x Xvfb); do
    tr '\0' '\n' <"/proc/$p/cmdline" | grep -qxF "$DISPLAY" && export LEX_BENCH_XSERVER_PID=$p
  done
  for b in "$build"/win/bench/win/*_bench.exe; do
    [ -f "$b" ] || continue
    echo "== $(basename "$b")"
    (cd "$build/win/dist" && wine "$b") || exit 1
  done
  wineserver -k 2>/dev/null
}
export -f run_win
export build
"$here/with-display.sh" bash -c run_win || rc=1
exit $rc
