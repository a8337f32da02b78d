#!/usr/bin/env bash
# Makes the Windows tests' wine prefix afresh and keeps one wine server running for them, its
# output in a log of its own (it reports a terminal's hang-up). With --end, stops that server;
# with --no-server, leaves none running (each program then starts its own, and with it wine's
# desktop on that program's display).
#   fresh_wine_prefix.sh PREFIX [--end | --no-server]
# WINEDEBUG, WINEDLLOVERRIDES and WINEARCH come from the caller (the tests' environment).
set -euo pipefail
export WINEPREFIX=$1
if [ "${2:-}" = "--end" ]; then
  wineserver --kill >/dev/null 2>&1 || true
  exit 0
fi
# Only this prefix's own server, left from an earlier run, is stopped.
[ -d "$WINEPREFIX" ] && { wineserver --kill >/dev/null 2>&1 || true; }
rm -rf "$WINEPREFIX"
wineboot --init >/dev/null 2>&1
wineserver --wait
if [ "${2:-}" = "--no-server" ]; then
  echo "fresh wine prefix $WINEPREFIX"
  exit 0
fi
log="$WINEPREFIX.wineserver.log"
wineserver --persistent >"$log" 2>&1
# The prefix's services start with the first program and live as long as the server: started
# here, they hold this log open and not the output of a test (ctest would wait for them).
wine cmd.exe /c exit </dev/null >>"$log" 2>&1
echo "fresh wine prefix $WINEPREFIX"
