#!/usr/bin/env bash
# Runs a Windows program in a Wine session of its own (a prefix that shares the project
# prefix's drive but has its own registry copy, and so its own wineserver), on a
# display: for tests that change the registry, which the suite's prefix must not see.
# Usage: session-run.sh NAME program.exe [arguments]
set -u
here=$(cd "$(dirname "$0")" && pwd)
name=${1:?usage: session-run.sh NAME program.exe [arguments]}
shift
. "$here/wine-env.sh"
"$here/prepare-prefix.sh" || exit 1
prefix=$(lex_session_prefix "$name")
out=$(mktemp)
env -u DISPLAY -u LEXORIN_XVFB_DISPLAY "$here/with-display.sh" bash -c \
  '. "$1/wine-env.sh"; export WINEPREFIX=$2; shift 2; wine "$@"; rc=$?; wineserver -k 2>/dev/null; exit $rc' \
  session-run "$here" "$prefix" "$@" >"$out" 2>&1
rc=$?
cat "$out"
rm -f "$out"
exit $rc
