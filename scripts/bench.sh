#!/usr/bin/env bash
# `make bench`: the speed and CPU budgets. Native benchmarks run from an optimised tree
# without sanitizers (build/bench); Windows ones under Wine on a display, for every
# Windows build this machine can run (as `make test` chooses them), each figure's line
# marked with its build, [win32] or [win64].
set -u
here=$(cd "$(dirname "$0")" && pwd)
src=$(cd "$here/.." && pwd)
build=$(cd "${1:-$src/build}" && pwd)
. "$here/wine-env.sh"
builds=$(lex_win_builds) || exit 2
skipped=$(lex_skip_line "$builds")
[ -n "$skipped" ] && echo "${skipped/tests/benchmarks}"
bench="$build/bench"
test -f "$bench/build.ninja" || cmake -S "$src" -B "$bench" -G Ninja -DCMAKE_BUILD_TYPE=Release -DLEX_BENCH=ON >/dev/null
cmake --build "$bench" >/dev/null || exit 1
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
  local which tree
  for which in $builds; do
    tree="$build/$(lex_win_tree "$which")"
    for b in "$tree"/bench/win/*_bench.exe; do
      [ -f "$b" ] || continue
      echo "== [$which] $(basename "$b")"
      (cd "$tree/dist" && wine "$b") 2>&1 | sed -u "s/^/[$which] /"
      [ "${PIPESTATUS[0]}" = 0 ] || exit 1
    done
  done
  wineserver -k 2>/dev/null
}
export -f run_win
export build builds
"$here/with-display.sh" bash -c run_win || rc=1
exit $rc
