#!/usr/bin/env bash
# Figures of the finder:
#   0. in virtual time on the in-process simulated line (bench/finder_bench.cpp, built with
#      -DKT7340_BUILD_BENCH=ON): the time to find a meter at address 1, 16, 17 and 247 at 9600
#      none and 1200 odd answering after 20 and 300 ms, the full sweep of one empty port (and
#      of one whose adapter echoes), and of two empty ports together;
# then of `kt7340 --find` against kt7340-sim on a pseudo-terminal with wire timing:
#   1. the time to find one meter at address 16, the last address of the first pass, at each of
#      the fifteen line settings (the starting settings are the factory ones, 9600 no parity);
#   2. the time of a full sweep of one port where no meter answers (all settings, addresses
#      1..247);
#   3. the CPU share of kt7340 during that sweep (user and system time over the elapsed time).
# The window's finder runs the same sweep on a 10 ms timer; no tick waits for a reply.
# Usage: bench/finder_figures.sh [--virtual-only | --no-full-sweep]
# KT7340_BUILD=DIR uses the binaries of an existing build (e.g. build-check) instead of
# building the optimised one in build/.
set -euo pipefail
cd "$(dirname "$0")/.."

source bench/figure_build.sh
use_program_build kt7340 kt7340-sim
monitor=$build/src/app/kt7340
sim=$build/sim/kt7340-sim

bench_build=${KT7340_BENCH_BUILD:-build-bench}
cmake -S . -B "$bench_build" -DCMAKE_BUILD_TYPE=Release -DKT7340_BUILD_BENCH=ON >/dev/null
cmake --build "$bench_build" -j2 --target finder_bench >/dev/null
"$bench_build/bench/finder_bench"
[ "${1:-}" = "--virtual-only" ] && exit 0

work=$(mktemp -d)
sim_pid=
cleanup() {
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Starts the simulator with the given options and points port 1 at its pseudo-terminal.
start_sim() {
  "$sim" --quiet "$@" >"$work/sim.out" &
  sim_pid=$!
  for _ in $(seq 50); do [ -s "$work/sim.out" ] && break; sleep 0.1; done
  export KT7340_COM1
  KT7340_COM1=$(head -n 1 "$work/sim.out")
}
stop_sim() {
  kill "$sim_pid" 2>/dev/null || true
  wait "$sim_pid" 2>/dev/null || true
  sim_pid=
}

# Runs kt7340 --find with the arguments; prints "elapsed user system" in seconds.
timed_find() {
  local TIMEFORMAT='%R %U %S'
  { time "$monitor" --find --port 1 "$@" >"$work/find.out" 2>&1 || true; } 2>&1
}

echo "Time to find a meter at address 16, by the meter's settings (kt7340 --find --port 1 --first)"
worst=0
for baud in 9600 19200 4800 2400 1200; do
  for parity in none even odd; do
    start_sim --baud "$baud" --parity "$parity" --address 16
    read -r elapsed _ _ < <(timed_find --first)
    stop_sim
    found=$(grep -c "  16  " "$work/find.out" || true)
    printf '  %5s %-4s  %6.1f s  %s\n' "$baud" "$parity" "$elapsed" \
      "$([ "$found" = 1 ] && echo found || echo NOT FOUND)"
    worst=$(awk -v a="$worst" -v b="$elapsed" 'BEGIN { print (b > a) ? b : a }')
  done
done
echo "  worst case: $worst s"

if [ "${1:-}" != "--no-full-sweep" ]; then
  echo "Full sweep of one port, no meter answering (kt7340 --find --port 1)"
  start_sim --address 248  # an address the sweep never asks
  read -r elapsed user system < <(timed_find)
  stop_sim
  awk -v e="$elapsed" -v u="$user" -v s="$system" \
    'BEGIN { printf "  %.1f s (%.1f min); CPU %.2f %% of one core\n", e, e / 60, 100 * (u + s) / e }'
fi
