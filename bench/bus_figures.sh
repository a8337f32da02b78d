#!/usr/bin/env bash
# Figures of the bus poller, in virtual time on the in-process simulated line (bench/bus_bench.cpp,
# built with -DKT7340_BUILD_BENCH=ON): the time of one round over 1, 8 and 32 meters at 9600 and
# 19200 against the line's limit (the bytes of each exchange at the line's character time plus
# the meters' answer times, 20..300 ms each); goal: at most 1.15 times the limit. Also the round
# while the main dialog polls meter 1 every 500 ms, how often its sends waited for the bus, and
# the blocks a minute of one meter beside it by the meter's answer time (20..300 ms).
# Usage: bench/bus_figures.sh
set -euo pipefail
cd "$(dirname "$0")/.."
bench_build=${KT7340_BENCH_BUILD:-build-bench}
cmake -S . -B "$bench_build" -DCMAKE_BUILD_TYPE=Release -DKT7340_BUILD_BENCH=ON >/dev/null
cmake --build "$bench_build" -j2 --target bus_bench >/dev/null
"$bench_build/bench/bus_bench"
