#!/usr/bin/env bash
# Runs a command with an X display: the current one when it answers, otherwise a
# private Xvfb screen that is stopped again when the command ends. With Wine a
# window cannot be created without a display. LEXORIN_XVFB_SCREEN sets the private
# screen's size (default 1024x768x24).
set -u
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec "$@"
fi
n=${LEXORIN_XVFB_DISPLAY:-}
if [ -z "$n" ]; then
  for n in $(seq 90 130); do
    [ -e /tmp/.X$n-lock ] || [ -e /tmp/.X11-unix/X$n ] || break
  done
fi
Xvfb ":$n" -screen 0 "${LEXORIN_XVFB_SCREEN:-1024x768x24}" -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 1 50); do
  DISPLAY=":$n" xdpyinfo >/dev/null 2>&1 && break
  sleep 0.1
done
export DISPLAY=":$n"
"$@"
rc=$?
kill "$xvfb" 2>/dev/null
wait "$xvfb" 2>/dev/null
exit $rc
