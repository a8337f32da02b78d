#!/usr/bin/env bash
# CPU with the device away: the monitor polling while its simulated meter is gone (it tries to
# open the port again every second), the simulator after its client closed the pseudo-terminal,
# and the simulator whose --device end hung up. Runs kt7340 under Xvfb, driven with xdotool.
# Usage: bench/lost_device_figures.sh [seconds of each measurement, default 30]
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/xvfb_session.sh
seconds=${1:-30}

build_monitor_and_sim

# Starts kt7340-sim with the arguments; sets sim_pid.
sims=0
start_sim() {
  sims=$((sims + 1))
  sim_out="$work/sim.$sims.out"
  "$sim" --quiet "$@" >"$sim_out" &
  sim_pid=$!
  pids+=("$sim_pid")
  for _ in $(seq 50); do [ -s "$sim_out" ] && break; sleep 0.1; done
}

# 1. The monitor polls the simulator over a link; the simulator goes away.
link="$work/link"
start_sim --link "$link"
first_sim=$sim_pid
export KT7340_COM1="$link"

start_xvfb 1024x768

start_monitor_polling 1
sleep 3
kill "$first_sim"
wait "$first_sim" 2>/dev/null || true
sleep 2
monitor_cpu=$(cpu_percent "$monitor_pid" "$seconds")
click_du "$main" 340 230 $MAIN_DIALOG_DU  # "退  出"

# 2. The simulator after its client closed the pseudo-terminal.
start_sim
pty=$(head -n 1 "$sim_out")
exec 5<>"$pty"
printf '\001\003\003\000\000\023\004\103' >&5
sleep 0.5
exec 5>&-
closed_cpu=$(cpu_percent "$sim_pid" "$seconds")

# 3. The simulator on a device whose other end hangs up: a second simulator serves on the pty
# of a first one, which then goes away.
start_sim --link "$work/far"
far=$sim_pid
start_sim --device "$work/far"
near=$sim_pid
sleep 0.5
kill "$far"
wait "$far" 2>/dev/null || true
hung_cpu=$(cpu_percent "$near" "$seconds")

echo "CPU over $seconds s with the device away:"
echo "  monitor polling, simulator gone:               $monitor_cpu % of one core"
echo "  simulator, its pty client closed:              $closed_cpu % of one core"
echo "  simulator, its --device end hung up:           $hung_cpu % of one core"
