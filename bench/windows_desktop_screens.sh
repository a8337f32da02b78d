#!/usr/bin/env bash
# Screenshots of the Windows program as a user meets it on a first start, title bars included:
# kt7340.exe under wine in a virtual desktop of 1366x768 and of 1920x1080 (wine draws the
# frames, as Windows does), against kt7340-sim on COM1, driven with xdotool:
#   docs/windows-finder.png            "自动查找仪表" after a sweep of COM1 (1366x768)
#   docs/windows-1366x768.png          the main dialog polling and "诊断与记录" on "趋势"
#   docs/windows-1920x1080.png         the same on "报文"
# Each start has a wine prefix of its own, so nothing is remembered from an earlier start.
#   bench/windows_desktop_screens.sh [output folder, default docs]
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-docs}
source bench/xvfb_session.sh
source bench/windows_session.sh

build_windows_exe
build_sim
use_wine_prefix "$PWD/build-windows/wineprefix-bench"

# A window's frame (title bar included) in the virtual desktop, "x y": wine reports the X
# window of a top-level window at twice its place in the desktop.
frame_of() {
  local id g
  id=$(find_titled_window "$1" 120) || { echo "no window \"$1\"" >&2; return 1; }
  g=$(xdotool getwindowgeometry --shell "$id")
  echo "$(($(sed -n 's/^X=//p' <<<"$g") / 2)) $(($(sed -n 's/^Y=//p' <<<"$g") / 2))"
}

# Clicks the point ($3, $4) pixels from the top-left corner of the frame "$1 $2".
click_in() {
  xdotool mousemove $(($1 + $3)) $(($2 + $4)) click 1
  sleep 0.4
}

# Points in the frames at 96 dpi, measured from the frame's top-left corner.
COMM_FIND=(270 208)     # 通讯设置: "自动查找…"
FINDER_ONLY=(24 99)     # 自动查找仪表: "只查当前端口"
FINDER_START=(397 99)   # "开始"
MAIN_ADDRESS=(133 49)   # main dialog: "子机地址"
declare -A TAB=([报文]=36 [记录]=90 [趋势]=144 [接线检查]=200 [总线]=258)
TAB_Y=37

# Starts the program on a virtual desktop of size $1, with nothing remembered from an earlier
# start; sets settings (the frame of "通讯设置" once the simulator is on COM1).
start_program() {
  wine reg delete 'HKCU\Software\KT7340' /f >/dev/null 2>&1 || true
  wineserver --wait
  start_xvfb "$1"
  KT7340_OPEN_WORKBENCH=1 wine explorer /desktop=kt7340,"$1" "$exe" >"$work/kt7340.log" 2>&1 &
  pids+=($!)
  settings=$(frame_of "通讯设置")
  start_sim_on_com1 --status-trailer --address 1
}

stop_program() {
  wineserver -k || true
  kill "${pids[@]}" 2>/dev/null || true
  pids=()
  sleep 1
}

# "自动查找仪表" from "通讯设置" at screen size $1, after a sweep of COM1 has found the meter.
shoot_finder() {
  start_program "$1"
  # shellcheck disable=SC2086
  click_in $settings "${COMM_FIND[@]}"
  local finder
  finder=$(frame_of "自动查找仪表")
  # shellcheck disable=SC2086
  click_in $finder "${FINDER_ONLY[@]}"
  # shellcheck disable=SC2086
  click_in $finder "${FINDER_START[@]}"
  sleep 4
  import -window root "$out/windows-finder.png"
  echo "$out/windows-finder.png"
  stop_program
}

# The main dialog polling at screen size $1, with the workbench on tab $2.
shoot_polling() {
  local main workbench
  start_program "$1"
  xdotool key Return  # "确    定" of the settings
  main=$(frame_of "7340智能电力检测仪---Tenbrook")
  # The workbench opens with the main dialog and takes the focus: clicks wait for it.
  workbench=$(frame_of "诊断与记录")
  sleep 1
  # shellcheck disable=SC2086
  click_in $main "${MAIN_ADDRESS[@]}"
  xdotool key End BackSpace
  xdotool type 1
  xdotool key Tab Tab space # "运行", from the keyboard as windows_screens.sh presses it
  sleep 1
  # shellcheck disable=SC2086
  click_in $workbench "${TAB[$2]}" "$TAB_Y"
  sleep 8  # a few blocks in the log and the chart
  # Wine's virtual desktop shows what a window drew after another took the focus only once
  # something happens on the screen again: a click on each window's title bar, the main
  # dialog's last, and a moment for both to draw.
  # shellcheck disable=SC2086
  click_in $workbench 200 10
  # shellcheck disable=SC2086
  click_in $main 300 19
  sleep 3
  import -window root "$out/windows-$1.png"
  echo "$out/windows-$1.png"
  stop_program
}

shoot_finder 1366x768
shoot_polling 1366x768 趋势
shoot_polling 1920x1080 报文
