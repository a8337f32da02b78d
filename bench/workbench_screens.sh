#!/usr/bin/env bash
# Screenshots of the main dialog and "诊断与记录" side by side, as they open on a first start
# (no remembered frame), on screens of 1366×768 and 1920×1080: docs/workbench-1366x768.png and
# docs/workbench-1920x1080.png. Runs kt7340 against kt7340-sim under Xvfb, driven with xdotool.
# Usage: bench/workbench_screens.sh [output folder, default docs]
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/xvfb_session.sh
out=${1:-docs}
address=1

build_monitor_and_sim
start_sim_on_port1 --status-trailer --quiet --address "$address"

# The tab shown in each picture: "趋势" (2) at the small screen, "报文" (0) at the large one.
for shot in 1366x768:2 1920x1080:0; do
  size=${shot%%:*}
  tab=${shot##*:}
  start_xvfb "$size"
  # Settings of their own: the window is placed as on a first start.
  export XDG_CONFIG_HOME="$work/config-$size"
  start_monitor_polling "$address"
  open_workbench_tab "$tab"
  sleep 8  # a few blocks in the log and the chart
  import -window root "$out/workbench-$size.png"
  echo "$out/workbench-$size.png"
  click_du "$main" 340 230 $MAIN_DIALOG_DU  # "退  出"
  for _ in $(seq 50); do kill -0 "$monitor_pid" 2>/dev/null || break; sleep 0.1; done
done
