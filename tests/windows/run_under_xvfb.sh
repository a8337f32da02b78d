#!/usr/bin/env bash
# Runs a command with an X display of its own, as wine needs one for windows: a private Xvfb
# whose number the server picks itself (-displayfd), ended with the command. With
# KT7340_TEST_DISPLAY set, that display is used instead. Wine's desktop takes the display of the
# program that starts it, so a wine server still running for a program without one is waited
# out first (the test runs alone: RUN_SERIAL).
#   run_under_xvfb.sh COMMAND [ARGS...]
set -euo pipefail
if [ -n "${WINEPREFIX:-}" ] && command -v wineserver >/dev/null; then
  wineserver --wait || true
fi
if [ -n "${KT7340_TEST_DISPLAY:-}" ]; then
  DISPLAY=$KT7340_TEST_DISPLAY exec "$@"
fi
dir=$(mktemp -d)
xvfb=""
cleanup() {
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
  rm -rf "$dir"
}
trap cleanup EXIT
mkfifo "$dir/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$dir/display" >"$dir/xvfb.log" 2>&1 &
xvfb=$!
if ! read -r -t 20 number <"$dir/display"; then
  echo "Xvfb did not start:" >&2
  cat "$dir/xvfb.log" >&2
  exit 1
fi
export DISPLAY=":$number"
status=0
"$@" || status=$?
exit $status
