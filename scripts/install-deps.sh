#!/usr/bin/env bash
# Installs what building, running and testing Lexorin needs on a Debian machine.
# Idempotent and quiet: when everything is present it only checks and returns.
set -euo pipefail

packages=(
  cmake make ninja-build g++ googletest
  g++-mingw-w64-i686 binutils-mingw-w64-i686
  # 32-bit Wine finds the monitors of a multi-screen display through libXinerama.
  wine wine32:i386 libxinerama1:i386
  xvfb xauth x11-utils xserver-xorg-core xserver-xorg-video-dummy
  fonts-wqy-zenhei fonts-sil-charis
  imagemagick locales
  nsis zip unzip
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

sudo_cmd=()
if [ "$(id -u)" != 0 ]; then sudo_cmd=(sudo); fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "install-deps: installing ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo_cmd[@]}" dpkg --add-architecture i386
  fi
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
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
