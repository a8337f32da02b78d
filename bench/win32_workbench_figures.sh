#!/usr/bin/env bash
# Figures of the Windows workbench under wine: CPU share of the program (its own process time,
# not wineserver's) while polling kt7340-sim at 9600 baud through a COM port, with the main
# dialog alone and with the workbench open on each tab (on "记录" with a recording running), in
# the same run; then the peak working set after 10,000 lines in the log's list.
#   bench/win32_workbench_figures.sh [SECONDS per case, default 60] [WINDOWS_BUILD] [SIM]
# WINDOWS_BUILD (default build-windows-bench) is cross-configured with the benchmarks and its
# workbench_load_probe built here; SIM is the host build's kt7340-sim (default: the first found
# under build*/).
# On a bare Xvfb (no X resources loaded) wine looks for ~/.Xdefaults each time it selects a font
# for drawing, two failed opens per control drawn; a desktop session has resources and does not.
# KT7340_TEST_DISPLAY=:N runs on a display of your own, e.g. one given a resource with
# `xrdb -nocpp -merge` (start that Xvfb with -noreset so that it keeps it).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
build=${2:-$root/build-windows-bench}
sim=${3:-$(find "$root" -path '*/build*' -type f -name kt7340-sim -perm -u+x | head -n 1)}
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1" -DKT7340_BUILD_TESTS=OFF \
  -DKT7340_BUILD_BENCH=ON >/dev/null
cmake --build "$build" -j2 --target workbench_load_probe >/dev/null
probe=$build/bench/workbench_load_probe.exe
port=21
export WINEPREFIX=${WINEPREFIX:-$build/wineprefix} WINEDEBUG=-all WINEARCH=win64
export WINEDLLOVERRIDES="mscoree,mshtml="
[ -d "$WINEPREFIX" ] || timeout 120 wineboot --init >/dev/null 2>&1
link=$WINEPREFIX/dosdevices/com$port

"$sim" --link "$link" --quiet --status-trailer >/dev/null 2>&1 &
sim_pid=$!
trap 'kill $sim_pid 2>/dev/null; wait $sim_pid 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -e "$link" ] && break; sleep 0.1; done

for mode in alone log record trend wiring bus; do
  extra=""
  [ "$mode" = log ] && extra=fill
  timeout $((seconds + 90)) "$root/tests/windows/run_under_xvfb.sh" \
    wine "$probe" "$port" "$seconds" "$mode" $extra 2>/dev/null | tr -d '\r'
done
