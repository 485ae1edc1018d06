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

# lex_session_prefix NAME: a Wine session of its own beside the project prefix, in
# "<prefix>-NAME": it shares the prefix's drive but has its own copy of the registry
# (copied again whenever the project prefix's is newer) and therefore its own wineserver.
# Prints the folder; returns 0 when the registry was copied just now, so that the
# caller makes its own registry settings again, 1 otherwise.
lex_session_prefix() {
  local base prefix f copied=1
  base=$(cd "$WINEPREFIX" && pwd)
  prefix="$base-$1"
  mkdir -p "$prefix"
  ln -sfn "$base/drive_c" "$prefix/drive_c"
  ln -sfn "$base/dosdevices" "$prefix/dosdevices"
  for f in system.reg user.reg userdef.reg .update-timestamp; do
    if [ ! -e "$prefix/$f" ] || [ "$base/$f" -nt "$prefix/$f" ]; then
      cp -p "$base/$f" "$prefix/$f"
      copied=0
    fi
  done
  echo "$prefix"
  return $copied
}
