#!/usr/bin/env bash
# Runs a Windows executable in the project's Wine prefix, on a display.
# CTest uses it as the emulator for the cross-built tests; `make run` uses it too.
#
# The program's output goes to a file first and is copied out when the program ends.
# Processes that a program starts (a console child, a helper Wine starts on demand)
# inherit its output handles and may outlive it; written straight to CTest's pipe, the
# pipe would stay open and CTest would wait for them until the test's timeout.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
"$here/prepare-prefix.sh" || exit 1
out=$(mktemp)
trap 'cat "$out"; rm -f "$out"' EXIT
"$here/with-display.sh" wine "$@" >"$out" 2>&1
