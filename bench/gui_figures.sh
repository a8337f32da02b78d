#!/usr/bin/env bash
# Figures of the window program: time to the first and to the main dialog, CPU while polling for
# 60 s at 9600 baud, and peak memory. Runs kt7340 against kt7340-sim under Xvfb, driven with
# xdotool. Usage: bench/gui_figures.sh [seconds of polling, default 60]
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/xvfb_session.sh
poll_seconds=${1:-60}
address=1

build_monitor_and_sim

start_sim_on_port1 --status-trailer --quiet --address "$address"

start_xvfb 1024x768

t0=$(now_ms)
start_monitor
settings=$(find_window "通讯设置")
t1=$(now_ms)
click_du "$settings" 159 62 $COMM_SETTINGS_DU
t2=$(now_ms)
main=$(find_window "7340智能电力检测仪")
t3=$(now_ms)
poll_address "$address"
sleep 3  # let the configuration reads pass; then measure steady polling

cpu=$(cpu_percent "$monitor_pid" "$poll_seconds")
peak=$(peak_mib "$monitor_pid")
value=$(xdotool getwindowname "$main")

click_du "$main" 340 230 $MAIN_DIALOG_DU  # "退  出"
for _ in $(seq 50); do kill -0 "$monitor_pid" 2>/dev/null || break; sleep 0.1; done

awk -v a="$t0" -v b="$t1" -v c="$t2" -v d="$t3" -v title="$value" 'BEGIN {
  printf "window:                              %s\n", title
  printf "start -> settings dialog shown:      %d ms\n", b - a
  printf "OK pressed -> main dialog shown:     %d ms\n", d - c
  printf "start -> main dialog (with the OK):  %d ms\n", d - a
}'
echo "CPU while polling $poll_seconds s at 9600 baud: $cpu % of one core"
echo "peak resident memory:                $peak MiB"
