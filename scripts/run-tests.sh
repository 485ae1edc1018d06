#!/usr/bin/env bash
# Runs the whole suite, host and Windows tiers, as one CTest run with one summary.
# One display and one kept-alive wineserver serve every Windows test.
set -u
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build}" && pwd)
export WINEPREFIX=${LEXORIN_WINEPREFIX:-$build/wineprefix}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
printf 'subdirs("host")\nsubdirs("win")\n' > "$build/CTestTestfile.cmake"
run() {
  wineserver -p 2>/dev/null
  ctest --test-dir "$build" --output-on-failure -j2 --timeout 300
  rc=$?
  wineserver -k 2>/dev/null
  return $rc
}
export -f run
export build
"$here/with-display.sh" bash -c run
rc=$?
# The end-to-end tests leave screenshots of the main screens as BMP files.
for bmp in "$here"/../docs/screenshots/*.bmp; do
  [ -f "$bmp" ] || continue
  convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
done
exit $rc
