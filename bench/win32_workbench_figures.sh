#!/usr/bin/env bash
# Figures of the Windows workbench under wine: CPU share of the program (its own process time,
# not wineserver's) while polling kt7340-sim at 9600 baud through a COM port, with the main
# dialog alone and with the workbench open on each tab (on "记录" with a recording running, on
# "总线" with the page shown and its poller not started), in the same run; then the peak working
# set after 10,000 lines in the log's list.
#   bench/win32_workbench_figures.sh [SECONDS per case, default 60] [WINDOWS_BUILD] [SIM]
# WINDOWS_BUILD (default build-windows-bench) is cross-configured with the benchmarks and its
# workbench_load_probe built here; SIM is the host build's kt7340-sim (default: the first found
# under build*/).
# On a bare Xvfb (no X resources loaded) wine looks for ~/.Xdefaults each time it selects a font
# for drawing, two failed opens per control drawn; a desktop session has resources and does not.
# KT7340_TEST_DISPLAY=:N runs on a display of your own, e.g. one given a resource with
# `xrdb -nocpp -merge` (start that Xvfb with -noreset so that it keeps it).
# Figures, 2026-12-10, % of one core, 25 s a case, the probe before and after the last round of
# cuts run in turn (two cores shared with other builds, load 2 to 5: differences under 0.3 are
# noise). After: the bus table drawn again only where a row changed, texts measured in a DC that
# keeps the page's font, the modal loop no longer asking for the focus after each message.
#                 bare Xvfb        X resource loaded
#   case          before  after    before  after
#   alone         1.32    1.60     1.00    0.80
#   报文 (log)    1.88    2.32     1.44    1.48
#   记录 (record) 1.40    1.12     1.24    1.04
#   趋势 (trend)  1.68    1.36     1.04    0.76
#   接线检查      1.96    1.52     1.36    1.04
#   总线 (bus)    3.76    1.36     3.28    1.20
# The rest is wine's price per window drawn (each value box of the main dialog is an edit whose
# new text costs a handful of server round trips); "报文" and "接线检查" redraw list view rows
# whose texts really changed.
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
