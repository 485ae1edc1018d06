#!/usr/bin/env bash
# Creates the Wine prefix the program and its tests run in (build/wineprefix by default), once.
# It maps the Chinese font faces the program asks for to the installed CJK font, so that
# Chinese text renders instead of boxes. A stamp file makes later calls return at once;
# the prefix is rebuilt when this script changes. It is a 64-bit prefix, which runs
# the 64-bit build and, where the machine runs 32-bit programs, the 32-bit one too.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
prefix=$WINEPREFIX
mkdir -p "$prefix"
prefix=$(cd "$prefix" && pwd)
export WINEPREFIX=$prefix
stamp="$prefix/.lexorin-ready"
want=$(sha1sum "$0" | cut -d' ' -f1)
if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$want" ]; then exit 0; fi

# A prefix made by an older set-up may be a 32-bit one, which cannot run 64-bit
# programs. The project's own prefix is made again; one the user pointed us at is not ours
# to delete.
if [ -f "$prefix/system.reg" ] && ! grep -q '^#arch=win64' "$prefix/system.reg"; then
  if [ -z "${LEXORIN_WINEPREFIX:-}" ]; then
    echo "prepare-prefix: replacing the 32-bit Wine prefix in $prefix with a 64-bit one"
    wineserver -k 2>/dev/null || true
    rm -rf "$prefix"
    mkdir -p "$prefix"
  else
    echo "prepare-prefix: $prefix is a 32-bit Wine prefix; Lexorin's tests need a 64-bit one" \
         "(WINEARCH=win64): point LEXORIN_WINEPREFIX at a new folder" >&2
    exit 1
  fi
fi

echo "prepare-prefix: creating Wine prefix in $prefix"
wine wineboot -i >/dev/null 2>&1 || true
wineserver -w

cjk="WenQuanYi Zen Hei"
reg=$(mktemp --suffix=.reg)
{
  printf 'Windows Registry Editor Version 5.00\r\n\r\n'
  printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
  for face in 宋体 新宋体 黑体 隶书 楷体 仿宋 SimSun NSimSun SimHei LiSu KaiTi FangSong \
              "Microsoft YaHei" 微软雅黑; do
    printf '"%s"="%s"\r\n' "$face" "$cjk"
  done
  printf '\r\n'
  # Dialog and menu fonts fall back to the CJK font for characters they lack.
  printf '[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink\\SystemLink]\r\n'
  for face in Tahoma "MS Shell Dlg" "MS Shell Dlg 2" "Microsoft Sans Serif" "Segoe UI" Arial; do
    printf '"%s"=hex(7):%s\r\n' "$face" \
      "$(printf 'wqy-zenhei.ttc,%s\0\0' "$cjk" | iconv -f UTF-8 -t UTF-16LE | od -An -tx1 -v | tr -s ' \n' ',' | sed 's/^,//;s/,$//')"
  done
  printf '\r\n'
  # Wine draws window captions itself: a virtual screen has no window manager to do it.
  # Lexorin never changes display modes, so Wine need not ask XF86VidMode for them; 64-bit
  # Wine 8 crashes its desktop process in that code ("free(): invalid pointer") on a
  # display of two screens joined by Xinerama, and then reports a single monitor.
  printf '[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\r\n"Decorated"="N"\r\n"UseXVidMode"="N"\r\n\r\n'
} | iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } > "$reg"
wine regedit /S "$reg" >/dev/null 2>&1
wineserver -w
rm -f "$reg"
echo "$want" > "$stamp"
