#!/usr/bin/env bash
# CPU with the device away: the monitor polling while its simulated meter is gone (it tries to
# open the port again every second), the simulator after its client closed the pseudo-terminal,
# and the simulator whose --device end hung up. Runs kt7340 under Xvfb, driven with xdotool.
# Usage: bench/lost_device_figures.sh [seconds of each measurement, default 30]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKT7340_WITH_QT=ON >/dev/null
cmake --build build -j2 --target kt7340 kt7340-sim >/dev/null
monitor=build/src/app/kt7340
sim=$(find build -type f -name kt7340-sim -perm -u+x | head -n 1)

work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

hz=$(getconf CLK_TCK)
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
# Percent of one core that process $1 uses over $seconds.
cpu_percent() {
  local c0 c1
  c0=$(cpu_ticks "$1")
  sleep "$seconds"
  c1=$(cpu_ticks "$1")
  awk -v a="$c0" -v b="$c1" -v hz="$hz" -v s="$seconds" 'BEGIN { printf "%.2f", 100 * (b - a) / hz / s }'
}
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

for n in $(seq 150 190); do
  [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ] && break
done
Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
export DISPLAY=":$n"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

find_window() {
  for _ in $(seq 1000); do
    for id in $(xdotool search --onlyvisible --pid "$monitor_pid" 2>/dev/null); do
      xdotool getwindowname "$id" 2>/dev/null | grep -q -- "$1" && { echo "$id"; return 0; }
    done
    sleep 0.01
  done
  return 1
}
click_du() {
  local g w h
  g=$(xdotool getwindowgeometry --shell "$1")
  w=$(sed -n 's/^WIDTH=//p' <<<"$g")
  h=$(sed -n 's/^HEIGHT=//p' <<<"$g")
  xdotool mousemove --window "$1" $(($2 * w / $4)) $(($3 * h / $5)) click 1
}

"$monitor" &
monitor_pid=$!
pids+=("$monitor_pid")
settings=$(find_window "通讯设置")
click_du "$settings" 159 62 187 111
main=$(find_window "7340智能电力检测仪")
sleep 0.3
click_du "$main" 74 16 383 412
xdotool key --clearmodifiers ctrl+a
xdotool type 1
click_du "$main" 340 118 383 412
sleep 3
kill "$first_sim"
wait "$first_sim" 2>/dev/null || true
sleep 2
monitor_cpu=$(cpu_percent "$monitor_pid")
click_du "$main" 340 230 383 412  # "退  出"

# 2. The simulator after its client closed the pseudo-terminal.
start_sim
pty=$(head -n 1 "$sim_out")
exec 5<>"$pty"
printf '\001\003\003\000\000\023\004\103' >&5
sleep 0.5
exec 5>&-
closed_cpu=$(cpu_percent "$sim_pid")

# 3. The simulator on a device whose other end hangs up: a second simulator serves on the pty
# of a first one, which then goes away.
start_sim --link "$work/far"
far=$sim_pid
start_sim --device "$work/far"
near=$sim_pid
sleep 0.5
kill "$far"
wait "$far" 2>/dev/null || true
hung_cpu=$(cpu_percent "$near")

echo "CPU over $seconds s with the device away:"
echo "  monitor polling, simulator gone:               $monitor_cpu % of one core"
echo "  simulator, its pty client closed:              $closed_cpu % of one core"
echo "  simulator, its --device end hung up:           $hung_cpu % of one core"
