#!/usr/bin/env bash
# Runs a Windows executable in the project's Wine prefix, on a display.
# CTest uses it as the emulator for the cross-built tests; `make run` uses it too.
set -u
here=$(cd "$(dirname "$0")" && pwd)
export WINEPREFIX=${LEXORIN_WINEPREFIX:-$(cd "$here/.." && pwd)/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
"$here/prepare-prefix.sh" || exit 1
exec "$here/with-display.sh" wine "$@"
