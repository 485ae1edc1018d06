#!/usr/bin/env bash
# Runs a Windows program with the system DPI set to a given value: in a Wine session of
# its own (a prefix that shares the project prefix's drive but has its own registry copy
# with LogPixels set, and so its own wineserver), on a display.
# Usage: dpi-run.sh DPI program.exe [arguments]      (DPI: 96, 120, 144, 192 …)
set -u
here=$(cd "$(dirname "$0")" && pwd)
dpi=${1:?usage: dpi-run.sh DPI program.exe [arguments]}
shift
case "$dpi" in (*[!0-9]*|'') echo "dpi-run: '$dpi' is not a DPI" >&2; exit 2;; esac
. "$here/wine-env.sh"
"$here/prepare-prefix.sh" || exit 1
if prefix=$(lex_session_prefix "dpi$dpi"); then
  # Wine takes the system DPI from the user's desktop settings, older versions from the
  # current configuration's font settings: both are set.
  reg=$(mktemp --suffix=.reg)
  {
    printf 'Windows Registry Editor Version 5.00\r\n\r\n'
    printf '[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\n"LogPixels"=dword:%08x\r\n\r\n' "$dpi"
    printf '[HKEY_CURRENT_CONFIG\\Software\\Fonts]\r\n"LogPixels"=dword:%08x\r\n\r\n' "$dpi"
  } > "$reg"
  WINEPREFIX="$prefix" wine regedit /S "$reg" >/dev/null 2>&1
  WINEPREFIX="$prefix" wineserver -w
  rm -f "$reg"
fi
out=$(mktemp)
# The program can tell which DPI it was started for from LEX_TEST_DPI.
export LEX_TEST_DPI="$dpi"
# On a screen of its own that is as many pixels larger as the DPI is (1024 x 768 at 96
# DPI), as a monitor set to that scaling is: windows twice the size still fit at 192.
screen="$((1024 * dpi / 96))x$((768 * dpi / 96))x24"
env -u DISPLAY -u LEXORIN_XVFB_DISPLAY LEXORIN_XVFB_SCREEN="$screen" "$here/with-display.sh" bash -c \
  '. "$1/wine-env.sh"; export WINEPREFIX=$2; shift 2; wine "$@"; rc=$?; wineserver -k 2>/dev/null; exit $rc' \
  dpi-run "$here" "$prefix" "$@" >"$out" 2>&1
rc=$?
cat "$out"
rm -f "$out"
exit $rc
