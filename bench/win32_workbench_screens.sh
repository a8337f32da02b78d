#!/usr/bin/env bash
# Screenshots of the Windows workbench's four tabs under wine, against the simulated meter with a
# reversed CT on phase B: docs/windows-workbench-{log,recording,trend,wiring}.png. The Chinese
# texts need a font: the dialogs' face (宋体) is replaced by an installed CJK font in the prefix.
#   bench/win32_workbench_screens.sh [BUILD_DIR]   (default build-windows, with
#   win_win32_workbench_test built)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-windows}
export WINEPREFIX=${WINEPREFIX:-$build/wineprefix} WINEDEBUG=-all WINEARCH=win64
export WINEDLLOVERRIDES="mscoree,mshtml="
[ -d "$WINEPREFIX" ] || timeout 120 wineboot --init >/dev/null 2>&1
font=$(fc-list :lang=zh family | grep -m1 -o 'WenQuanYi Micro Hei' || fc-list :lang=zh family | head -1 | cut -d, -f1)
# Written and the prefix's server ended before the test starts its own on the test's display.
wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 宋体 /t REG_SZ /d "$font" /f >/dev/null 2>&1
wineserver -w
export KT7340_SCREENSHOT_DIR=Z:${root//\//\\}\\docs
cd "$build/tests/windows"
timeout 180 "$root/tests/windows/run_under_xvfb.sh" wine "$build/tests/windows/win_win32_workbench_test.exe"
ls -l "$root"/docs/windows-workbench-*.png
