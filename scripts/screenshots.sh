#!/usr/bin/env bash
# `make screenshots`: the end-to-end tests save the main screens as BMP files in their
# build tree (build/win/screenshots, build/win64/screenshots); this converts the newest
# of each to PNG in docs/screenshots, where the README shows them. Tests never write
# there themselves.
set -u
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build}" && pwd)
docs="$here/../docs/screenshots"
n=0
for bmp in $(ls -t "$build"/win/screenshots/*.bmp "$build"/win64/screenshots/*.bmp 2>/dev/null); do
  png="$docs/$(basename "${bmp%.bmp}").png"
  [ "$png" -nt "$bmp" ] && continue
  convert "$bmp" "$png" || exit 1
  echo "screenshots: $(basename "$png") from ${bmp#$build/}"
  n=$((n + 1))
done
[ $n -gt 0 ] || echo "screenshots: nothing new; run \`make test\` first"
