#!/usr/bin/env bash
# `make bench`: the speed and CPU budgets. Native benchmarks run from an optimised tree
# without sanitizers (build/bench); Windows ones under Wine on a display, for every
# Windows build this machine can run (as `make test` chooses them), each figure's line
# marked with its build, [win32] or [win64]. Every benchmark prints its budgeted figures
# as "RESULT name value unit bound budget pass|FAIL" lines (bench/bench_result.h); at the
# end they are gathered into one table, also written to $build/bench/results.json.
# Each Windows build's real program is also measured beside a native ticker, Tickr
# (scripts/peer-bench.sh), which `make bench` installs.
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
log="$bench/results.log"
: >"$log"
rc=0
for b in "$bench"/bench/*_bench; do
  [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  "$b" | tee -a "$log"
  [ "${PIPESTATUS[0]}" = 0 ] || rc=1
done
run_win() {
  wineserver -p 2>/dev/null
  # The CPU that Wine spends outside the program, in this prefix's wineserver (it works
  # in a folder named after the prefix's device and inode) and in this display's Xvfb:
  # the main bar's benchmark reads theirs from /proc too.
  local p id try
  id=$(printf 'server-%x-%x' $(stat -c '%d %i' "$WINEPREFIX"))
  # The server goes into its folder a moment after `wineserver -p` returns.
  for try in $(seq 20); do
    for p in $(pgrep wineserver); do
      [ "$(basename "$(readlink "/proc/$p/cwd")")" = "$id" ] && export LEX_BENCH_WINESERVER_PID=$p
    done
    [ -n "${LEX_BENCH_WINESERVER_PID:-}" ] && break
    sleep 0.1
  done
  for p in $(pgrep -x Xvfb); do
    tr '\0' '\n' <"/proc/$p/cmdline" | grep -qxF "$DISPLAY" && export LEX_BENCH_XSERVER_PID=$p
  done
  local which tree out status failed=0
  for which in $builds; do
    tree="$build/$(lex_win_tree "$which")"
    for b in "$tree"/bench/win/*_bench.exe; do
      [ -f "$b" ] || continue
      echo "== [$which] $(basename "$b")"
      # Through a file: the Wine services the first program starts inherit its output
      # handles and outlive it, and would keep a pipe open for ever.
      out=$(mktemp)
      # A benchmark reads its own CPU from /proc of the Linux process Wine runs it in:
      # this subshell's, which Wine keeps.
      if [ "$(basename "$b")" = speech_bench.exe ]; then
        # It registers a speech server: in a Wine session of its own, which no other
        # program sees.
        (cd "$tree/dist" && exec "$here/session-run.sh" "speech-bench-$which" "$b") >"$out" 2>&1
      else
        (cd "$tree/dist" && LEX_BENCH_SELF_PID=$BASHPID exec wine "$b") >"$out" 2>&1
      fi
      status=$?
      sed "s/^/[$which] /" "$out" | tee -a "$log"
      rm -f "$out"
      # A benchmark that failed (a budget missed, or it could not run) does not keep the
      # others from running: the run fails at the end.
      [ "$status" = 0 ] || failed=1
    done
    echo "== [$which] beside Tickr"
    out=$(mktemp)
    (cd "$tree/dist" && exec "$here/peer-bench.sh" "$tree/bench/win/mainbar_bench.exe") >"$out" 2>&1
    status=$?
    sed "s/^/[$which] /" "$out" | tee -a "$log"
    rm -f "$out"
    [ "$status" = 0 ] || failed=1
  done
  wineserver -k 2>/dev/null
  return $failed
}
export -f run_win lex_win_tree
export build builds log here
"$here/with-display.sh" bash -c run_win || rc=1

# The table and its JSON twin: one row per RESULT line, the build that printed it first.
tr -d '\r' <"$log" | awk -v json="$bench/results.json" '
  function q(s) { return "\"" s "\"" }
  {
    which = "native"
    if ($1 ~ /^\[win(32|64)\]$/) { which = substr($1, 2, length($1) - 2); $1 = ""; $0 = $0 }
    if ($1 != "RESULT" || NF != 7) next
    n++; name[n] = $2; value[n] = $3; unit[n] = $4; bound[n] = $5; budget[n] = $6; ok[n] = ($7 == "pass"); build[n] = which
    info[n] = ($7 == "-")
    if (!info[n]) budgeted++
  }
  END {
    printf "\n== budgets (%d figures)\n", n
    printf "%-36s %-7s %12s  %-16s %s\n", "figure", "build", "value", "budget", "result"
    for (i = 1; i <= n; i++) {
      if (info[i]) {
        printf "%-36s %-7s %12s  %-16s %s\n", name[i], build[i], value[i] " " unit[i], "(no budget)", "-"
        continue
      }
      printf "%-36s %-7s %12s  %-16s %s\n", name[i], build[i], value[i] " " unit[i], bound[i] " " budget[i] " " unit[i],
             ok[i] ? "pass" : "FAIL"
      passed += ok[i]
    }
    printf "%d of %d within budget; written to %s\n", passed, budgeted, json
    printf "{\n  \"results\": [" >json
    for (i = 1; i <= n; i++)
      printf "%s\n    {\"figure\": %s, \"build\": %s, \"value\": %s, \"unit\": %s, \"bound\": %s, \"budget\": %s, \"pass\": %s}",
             (i > 1 ? "," : ""), q(name[i]), q(build[i]), value[i], q(unit[i]), (info[i] ? "null" : q(bound[i])),
             (info[i] ? "null" : budget[i]), (info[i] ? "null" : (ok[i] ? "true" : "false")) >json
    printf "\n  ]\n}\n" >json
  }'
exit $rc
