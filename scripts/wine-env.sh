#!/usr/bin/env bash
# Sourced by the scripts that run Windows programs: the project's Wine prefix and the
# Wine loader to use. Defines `wine` as a function, so callers keep writing `wine prog.exe`.
#
# One 64-bit prefix serves both builds. Debian's /usr/bin/wine picks the 32-bit loader
# whenever wine32 is installed, and that loader cannot start on a kernel that refuses
# 32-bit processes; there the 64-bit loader is called directly. Where 32-bit programs
# run, /usr/bin/wine starts either kind (it hands 64-bit programs to wine64 itself).
lex_here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$lex_here/win-builds.sh"

export WINEPREFIX=${LEXORIN_WINEPREFIX:-$(cd "$lex_here/.." && pwd)/build/wineprefix}
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko: the program needs neither, and their installers would ask.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

if [ -z "${LEX_WINE:-}" ]; then
  if lex_can_run_32bit; then
    LEX_WINE=/usr/bin/wine
  else
    LEX_WINE=/usr/lib/wine/wine64
    export WINELOADER=$LEX_WINE
  fi
  export LEX_WINE
fi
[ "$LEX_WINE" = /usr/lib/wine/wine64 ] && export WINELOADER=$LEX_WINE

wine() { "$LEX_WINE" "$@"; }
export -f wine
