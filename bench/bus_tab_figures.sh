#!/usr/bin/env bash
# Figure of the tab "总线": CPU and peak memory of kt7340 (Qt, RelWithDebInfo) with 32 simulated
# meters on one 9600 baud line polled by the bus poller and the tab "总线" shown, over 60 s of
# steady polling; goal under 1.5 % of one core and under 80 MiB. Runs under Xvfb against
# kt7340-sim, driven with xdotool; the list "1-32" is the port's remembered bus list (the settings
# live in a scratch folder). MAIN_POLL=1 has the main dialog poll meter 1 at the same time.
# Usage: bench/bus_tab_figures.sh [seconds, default 60]
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/xvfb_session.sh
seconds=${1:-60}

build_monitor_and_sim
meters=()
for a in $(seq 32); do meters+=(--meter "$a:pt=$((a * 10)),ct=$((a + 4)),delay=$((20 + (a * 37) % 280))"); done
start_sim_on_port1 --quiet "${meters[@]}"
sim_pid=${pids[-1]}

export XDG_CONFIG_HOME="$work/config"
mkdir -p "$XDG_CONFIG_HOME/KT7340"
printf '[bus]\nport1=1-32\n' >"$XDG_CONFIG_HOME/KT7340/KT7340.conf"

start_xvfb 1366x768
start_monitor
click_du "$(find_window "通讯设置")" 159 62 $COMM_SETTINGS_DU
main=$(find_window "7340智能电力检测仪")
if [ "${MAIN_POLL:-0}" = 1 ]; then poll_address 1; fi
open_workbench_tab 4
# "开始": the edit "地址" at the top left of the page, then along the row (添加, 删除, 开始).
sleep 0.5
xdotool mousemove --window "$workbench" 120 56 click 1
xdotool key --clearmodifiers Tab Tab Tab space
sleep 10  # every meter's configuration read, then steady polling

sim_out0=$(awk '/^wchar/ {print $2}' "/proc/$sim_pid/io")
cpu=$(cpu_percent "$monitor_pid" "$seconds")
sim_out1=$(awk '/^wchar/ {print $2}' "/proc/$sim_pid/io")
peak=$(peak_mib "$monitor_pid")

echo "meters on the bus:                   32 at 9600 baud (main dialog polling: ${MAIN_POLL:-0})"
echo "bytes the meters sent per second:    $(((sim_out1 - sim_out0) / seconds))"
echo "CPU with the tab 总线 shown, $seconds s:   $cpu % of one core (goal < 1.5)"
echo "peak resident memory of kt7340:      $peak MiB (goal < 80)"
