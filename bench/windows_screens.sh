#!/usr/bin/env bash
# The screenshot docs/windows-main-dialog.png: kt7340.exe under wine on Xvfb, polling kt7340-sim
# (a pseudo-terminal linked as COM1), driven with xdotool: the settings confirmed with Enter, the
# slave address typed, "运行" pressed from the keyboard, a few blocks shown.
#   bench/windows_screens.sh [output, default docs/windows-main-dialog.png]
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-docs/windows-main-dialog.png}
source bench/xvfb_session.sh
source bench/windows_session.sh

build_windows_exe
build_sim
use_wine_prefix "$PWD/build-windows/wineprefix-bench"
start_xvfb 1024x800

wine "$exe" >"$work/kt7340.log" 2>&1 &
pids+=($!)
settings=$(find_titled_window "通讯设置" 120)
# Wine links COM1 to /dev/ttyS0 as it starts: the simulator's link comes after.
# Over voltage above 220 V: some phases show "过压" in red.
start_sim_on_com1 --status-trailer --address 1 --limits 19800,22000,500,50000
xdotool key --window "$settings" Return
main=$(find_titled_window "7340智能电力检测仪---Tenbrook")
sleep 1
# The address box has the focus: its "0" replaced by 1; Tab twice reaches "运行".
xdotool key --window "$main" End BackSpace
xdotool type --window "$main" 1
xdotool key --window "$main" Tab Tab space
sleep 5
import -window "$main" "$out"
xdotool key --window "$main" Escape
echo "$out: $(identify -format '%wx%h' "$out")"
