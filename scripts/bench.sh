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
export WINEPREFIX=${LEX_WINEPREFIX:-$build/wineprefix}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
rc=0
for b in "$bench"/bench/*_bench; do
  [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  "$b" || rc=1
done
run_win() {
  wineserver -p 2>/dev/null
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
