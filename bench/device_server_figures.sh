#!/usr/bin/env bash
# The time the window's thread spends in the serial line per second while a device server
# (KT7340_COM<N>=tcp://...) does not answer: opening, writing, counting, a stalled write.
# Builds bench/device_server_wait in build-bench (Release) and runs it.
# Usage: bench/device_server_figures.sh [rounds, default 20]
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-bench
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DKT7340_BUILD_BENCH=ON \
  -DKT7340_BUILD_TESTS=OFF -DKT7340_WITH_QT=OFF >/dev/null
cmake --build "$build" -j2 --target device_server_wait >/dev/null
"./$build/bench/device_server_wait" "${1:-20}"
