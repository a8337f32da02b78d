#!/usr/bin/env bash
# Screenshots of the Windows workbench's four tabs under wine, against the simulated meter with a
# reversed CT on phase B: OUT/windows-workbench-{log,recording,trend,trend-614,wiring}.png. The
# Chinese texts need a font: the dialogs' face (宋体) is replaced by an installed CJK font in the
# prefix.
#   [SCREEN=1366x768] [DPI=120] [OUT=folder] bench/win32_workbench_screens.sh [BUILD_DIR]
# (default build-windows, with win_win32_workbench_test built; OUT defaults to docs; with SCREEN
# an X screen of that size, with DPI wine's resolution, in a prefix of their own)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-windows}
out=$(cd "${OUT:-$root/docs}" && pwd)
dpi=${DPI:-96}
default_prefix=$build/wineprefix
[ "$dpi" = 96 ] || default_prefix=$build/wineprefix-$dpi
export WINEPREFIX=${WINEPREFIX:-$default_prefix} WINEDEBUG=-all WINEARCH=win64
export WINEDLLOVERRIDES="mscoree,mshtml="
[ -d "$WINEPREFIX" ] || timeout 120 wineboot --init >/dev/null 2>&1
font=$(fc-list :lang=zh family | grep -m1 -o 'WenQuanYi Micro Hei' || fc-list :lang=zh family | head -1 | cut -d, -f1)
# Written and the prefix's server ended before the test starts its own on the test's display.
wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 宋体 /t REG_SZ /d "$font" /f >/dev/null 2>&1
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
wineserver -w
export KT7340_SCREENSHOT_DIR=Z:${out//\//\\}
xvfb=""
if [ -n "${SCREEN:-}" ]; then
  display=:$((80 + RANDOM % 100))
  Xvfb "$display" -screen 0 "${SCREEN}x24" -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  trap 'kill $xvfb 2>/dev/null' EXIT
  sleep 1
  export KT7340_TEST_DISPLAY=$display
fi
cd "$build/tests/windows"
timeout 180 "$root/tests/windows/run_under_xvfb.sh" wine "$build/tests/windows/win_win32_workbench_test.exe"
ls -l "$out"/windows-workbench-*.png
