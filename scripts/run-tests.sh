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
  # The first Windows program of a Wine session starts Wine's helper processes (services,
  # the desktop window), which inherit its output handles and live until the session
  # ends. Start them here, detached from CTest's pipes, or CTest would wait on that
  # first test's output until the session ended.
  wine "$build/win/tests/win/framework_test.exe" --gtest_filter=Framework.ObjectCreatedInCodeSeesItsOwnCreationMessages \
    </dev/null >/dev/null 2>&1
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
