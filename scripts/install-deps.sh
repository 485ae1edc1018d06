#!/usr/bin/env bash
# Installs what building, running and testing Lexorin needs on a Debian machine
# (with --bench, what `make bench` needs as well).
# Idempotent and quiet: when everything is present it only checks and returns.
#
# Two steps. The first installs everything the 64-bit tiers need, and failing it stops
# the set-up. The second adds 32-bit Wine, which only machines that run 32-bit programs
# can use and which a mirror may be unable to provide (an i386 index mid-sync); when it
# fails, one line says so and the 64-bit tiers go on.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/win-builds.sh"

packages=(
  cmake make ninja-build g++ binutils googletest
  # The download users get is 32-bit; the same sources are built for x86-64 too.
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  # 64-bit Wine runs the 64-bit build on any machine; Wine finds the monitors of a
  # multi-screen display through libXinerama.
  wine wine64 libxinerama1
  xvfb xauth x11-utils xserver-xorg-core xserver-xorg-video-dummy
  fonts-wqy-zenhei fonts-sil-charis
  imagemagick locales
  nsis zip unzip
)
packages32=(wine32:i386 libxinerama1:i386)
# `--bench`: also what `make bench` needs beyond the tests: the native ticker its
# real-program figures are compared with.
if [ "${1:-}" = --bench ]; then
  packages+=(tickr)
fi

sudo_cmd=()
if [ "$(id -u)" != 0 ]; then sudo_cmd=(sudo); fi

missing_of() {
  local p
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      echo "$p"
    fi
  done
}

# A mirror in the middle of a sync fails one index now and then ("File has unexpected
# size ... Mirror sync in progress?"): try a few times, then go on with the lists that
# did arrive; the installs say whether they were enough.
updated=
apt_update() {
  [ -n "$updated" ] && return 0
  updated=1
  local try
  for try in 1 2 3; do
    if "${sudo_cmd[@]}" apt-get update -qq 2>/tmp/lexorin-apt-update.log; then
      return 0
    fi
    [ $try -lt 3 ] && sleep $((try * 5))
  done
  echo "install-deps: warning: apt-get update could not fetch every index; going on with what is there:" \
       "$(grep -m1 '^E:' /tmp/lexorin-apt-update.log || tail -n1 /tmp/lexorin-apt-update.log)"
}

apt_install() {
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "$@" >/dev/null
}

mapfile -t missing < <(missing_of "${packages[@]}")
if [ ${#missing[@]} -gt 0 ]; then
  echo "install-deps: installing ${missing[*]}"
  apt_update
  apt_install "${missing[@]}"
fi

# 32-bit Wine: only where the kernel runs 32-bit programs (the probe needs binutils).
if lex_probe_i386_kernel; then
  mapfile -t missing32 < <(missing_of "${packages32[@]}")
  if [ ${#missing32[@]} -gt 0 ]; then
    echo "install-deps: installing ${missing32[*]}"
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
      "${sudo_cmd[@]}" dpkg --add-architecture i386
      updated=
    fi
    apt_update
    if ! apt_install "${missing32[@]}" 2>/tmp/lexorin-apt-install32.log; then
      echo "install-deps: warning: 32-bit Wine could not be installed ($(grep -m1 '^E:' /tmp/lexorin-apt-install32.log));" \
           "the 32-bit Windows tests will be skipped"
    fi
  fi
fi

# The Chinese locale lets Wine run with code page 936 for the tests that need it.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
  echo "install-deps: generating zh_CN.UTF-8"
  if [ -f /etc/locale.gen ] && grep -q '^# *zh_CN.UTF-8 UTF-8' /etc/locale.gen; then
    "${sudo_cmd[@]}" sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    "${sudo_cmd[@]}" locale-gen >/dev/null
  else
    "${sudo_cmd[@]}" localedef -i zh_CN -f UTF-8 zh_CN.UTF-8
  fi
fi
