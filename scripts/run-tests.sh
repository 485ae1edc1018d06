#!/usr/bin/env bash
# Runs the whole suite as one CTest run with one summary: the host tier once, and the
# Windows and end-to-end tiers of every Windows build this machine can run (win64
# always, win32 where 32-bit programs run; LEXORIN_WIN_BUILDS overrides the choice).
# One display and one kept-alive wineserver serve every Windows test.
set -u
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build}" && pwd)
. "$here/wine-env.sh"

builds=$(lex_win_builds) || exit 2
skipped=$(lex_skip_line "$builds")
[ -n "$skipped" ] && echo "$skipped"
echo "Windows builds tested: $builds"

{
  echo 'subdirs("host")'
  for b in $builds; do
    echo "subdirs(\"$(lex_win_tree "$b")\")"
  done
  # The 32-bit downloads are checked without running them when their tiers are skipped.
  case " $builds " in
    *" win32 "*) ;;
    *) echo 'subdirs("win/tests/e2e/packages/contents")' ;;
  esac
} >"$build/CTestTestfile.cmake"

run() {
  wineserver -p 2>/dev/null
  # The first Windows program of a Wine session starts Wine's helper processes (services,
  # the desktop window), which inherit its output handles and live until the session
  # ends. Start them here, detached from CTest's pipes, or CTest would wait on that
  # first test's output until the session ended.
  wine "$build/$first/tests/win/framework_test.exe" --gtest_filter=Framework.ObjectCreatedInCodeSeesItsOwnCreationMessages \
    </dev/null >/dev/null 2>&1
  ctest --test-dir "$build" --output-on-failure -j2 --timeout 300
  rc=$?
  wineserver -k 2>/dev/null
  return $rc
}
# Any build's test program does; the last one listed is always there.
first=$(lex_win_tree "${builds##* }")
export -f run
export build builds first
"$here/with-display.sh" bash -c run
rc=$?
[ -n "$skipped" ] && echo "$skipped"
exit $rc
