#!/usr/bin/env bash
# Screenshots of the main dialog and "诊断与记录" side by side, as they open on a first start
# (no remembered frame), on screens of 1366×768 and 1920×1080, title bars included:
# docs/workbench-1366x768.png and docs/workbench-1920x1080.png, and "自动查找仪表" after a sweep
# of port 1 (docs/finder.png). Runs kt7340 against kt7340-sim under Xvfb with a window manager
# (openbox, Debian package openbox), driven with xdotool. Each window's frame is checked to lie
# wholly on the screen; one that does not is named and the script fails.
# Usage: bench/workbench_screens.sh [output folder, default docs]
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/xvfb_session.sh
out=${1:-docs}
address=1
command -v openbox >/dev/null || { echo "needs openbox (apt-get install openbox)" >&2; exit 1; }

build_monitor_and_sim
start_sim_on_port1 --status-trailer --quiet --address "$address"

# "自动查找…" in "通讯设置", and "只查当前端口" and "开始" in "自动查找仪表" (dialog units).
FINDER_DU="300 222"

# Fails naming every window of the monitor whose frame (title bar included: the window manager's
# window the client is put in) leaves the screen.
check_frames_on_screen() {
  local screen sw sh id frame info x y w h bad=0
  screen=$(xdotool getdisplaygeometry)
  sw=${screen% *} sh=${screen#* }
  for id in $(xdotool search --onlyvisible --pid "$monitor_pid"); do
    frame=$(xwininfo -tree -id "$id" | sed -n 's/.*Parent window id: \(0x[0-9a-f]*\).*/\1/p')
    xwininfo -id "$frame" | grep -q "Width: $sw\$" && frame=$id  # no window manager
    info=$(xwininfo -id "$frame")
    x=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info")
    y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info")
    w=$(sed -n 's/.*Width: *//p' <<<"$info") h=$(sed -n 's/.*Height: *//p' <<<"$info")
    if ((x < 0 || y < 0 || x + w > sw || y + h > sh)); then
      echo "$1: \"$(xdotool getwindowname "$id")\" leaves the screen: frame $x,$y ${w}x$h" \
        "on ${sw}x$sh" >&2
      bad=1
    fi
  done
  return $bad
}

start_wm() {
  openbox >/dev/null 2>&1 &
  pids+=($!)
  sleep 1
}

quit_monitor() {
  click_du "$main" 340 230 $MAIN_DIALOG_DU # "退  出"
  for _ in $(seq 50); do kill -0 "$monitor_pid" 2>/dev/null || break; sleep 0.1; done
}

# The finder, on the small screen.
start_xvfb 1366x768
start_wm
export XDG_CONFIG_HOME="$work/config-finder"
start_monitor
settings=$(find_window "通讯设置")
click_du "$settings" 152 104 $COMM_SETTINGS_DU # "自动查找…"
finder=$(find_window "自动查找仪表")
sleep 0.5
click_du "$finder" 12 41 $FINDER_DU  # "只查当前端口"
click_du "$finder" 225 41 $FINDER_DU # "开始"
sleep 4
import -window root "$out/finder.png"
echo "$out/finder.png"
status=0
check_frames_on_screen finder || status=1
kill "$monitor_pid" 2>/dev/null || true

# The tab shown in each picture: "趋势" (2) at the small screen, "报文" (0) at the large one.
for shot in 1366x768:2 1920x1080:0; do
  size=${shot%%:*}
  tab=${shot##*:}
  start_xvfb "$size"
  start_wm
  # Settings of their own: the window is placed as on a first start.
  export XDG_CONFIG_HOME="$work/config-$size"
  start_monitor_polling "$address"
  open_workbench_tab "$tab"
  sleep 8 # a few blocks in the log and the chart
  import -window root "$out/workbench-$size.png"
  echo "$out/workbench-$size.png"
  check_frames_on_screen "$size" || status=1
  quit_monitor
done
exit $status
