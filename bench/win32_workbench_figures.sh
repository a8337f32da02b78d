#!/usr/bin/env bash
# Figures of the Windows workbench under wine: CPU share of the program (its own process time,
# not wineserver's) while polling kt7340-sim at 9600 baud through a COM port, with the main
# dialog alone and with the workbench open on each tab (on "记录" with a recording running, on
# "总线" with the page shown and its poller not started; "full": "报文" with the log full from the
# start, as after a long session, each new line dropping the oldest), in the same run; then the
# peak working set after 10,000 lines in the log's list.
#   bench/win32_workbench_figures.sh [SECONDS per case, default 60] [WINDOWS_BUILD] [SIM]
# WINDOWS_BUILD (default build-windows-bench) is cross-configured with the benchmarks and its
# workbench_load_probe built here; SIM is the host build's kt7340-sim (default: the first found
# under build*/).
# On a bare Xvfb (no X resources loaded) wine looks for ~/.Xdefaults each time it selects a font
# for drawing, two failed opens per control drawn; a desktop session has resources and does not.
# KT7340_TEST_DISPLAY=:N runs on a display of your own, e.g. one given a resource with
# `xrdb -nocpp -merge` (start that Xvfb with -noreset so that it keeps it).
# Figures, 2026-12-10 (second round), % of one core, 25 s a case, the probe before and after the
# cuts run in turn in the same minutes (two cores shared, load 0.0 to 1.3). One build's runs differ
# by up to 0.3: a row is the mean of one to three runs, and differences under 0.3 are noise.
# After: a page's controls are found without a server round trip (under wine each GetDlgItem is
# one: the log's list was looked up at every message it got, the check table at every cell), and
# a full log's list is no longer told its unchanged count (each count given sets both scroll bars
# twice, and wine draws a themed bar, some twenty round trips, at each setting).
#                   bare Xvfb        X resource loaded
#   case            before  after    before  after
#   alone           1.20    1.00     0.72    0.72
#   报文 (log)      1.56    1.44     1.40    1.41
#   报文, log full  1.84    1.04     1.18    0.86
#   记录 (record)   1.20    1.16     0.88    0.80
#   趋势 (trend)    1.36    1.36     0.84    0.96
#   接线检查        1.48    1.44     1.16    1.16
#   总线 (bus)      1.12    1.19     0.92    0.88
# Server round trips of the program's thread (WINEDEBUG=+server): about 400/s alone; 接线检查
# 447 -> 410; 报文 with a full log 484 -> 388, as alone. What is left is wine's price per window
# drawn: each value box whose text changes costs ten round trips (three invalidations and a DC to
# lay its text out, then the paint: its message, the caret hidden and shown, the update and the
# visible region), and 29 of the 34 change at every poll of the simulated meter; the link counter's
# Chinese text asks for fallback fonts at each change (on a bare Xvfb every font selection looks
# for ~/.Xdefaults: some 600 a second alone). The time goes to the round trips themselves (perf:
# half the samples in the kernel, switching to the wine server and back).
# Third round, 接线检查 only, the same way (four runs each way over half an hour, load 0.7 to
# 3.7, a busier machine: every figure higher than above). After: the phasors are painted again
# only when an arrow or its label moves a whole pixel (the core's DrawnDifferently, which both
# front ends ask); the simulated meter's readings tremble by less, so the view, invalidated at
# each of the run's 26 blocks before, was painted once. The thread's round trips while polling:
# 2.5 % fewer, 14 % above alone's (17 % before). Both CPU differences below are within the noise
# (alone measured 1.00 beside 1.32 for the page, at load 0.3): the paints and round trips counted
# are the firmer figures.
#                   bare Xvfb        X resource loaded
#   case            before  after    before  after
#   接线检查        1.98    1.84     1.59    1.51
# What 接线检查 adds beyond that is what changes with the readings: the table's message cells (two
# invalidations each, six rows a block) and the chosen row's message under it.
# While the log grows, each flush draws five themed scroll bars, some forty-five round trips each:
# a sixth of the round trips, which are a fifth more than with the log full. A flush (every two
# seconds, eight lines at 9600 baud) already gives the list one count, without a full redraw or
# a scroll, and one scroll to the newest line; but wine's list view sets both bars twice at a
# count change (two passes, each bar redrawn even when unchanged) and the vertical once more at
# the scroll. Lines reach the window every two seconds, the pace both front ends keep, so only
# the bars could go, and the list view draws them itself. Tried and dropped: the log's list
# without LVS_EX_DOUBLEBUFFER (no change), its count set with the visible style off (the bars
# came out wrong). Not tried: redraw turned off around the count (turned on again, wine's list
# view sets both bars twice all the same and invalidates the whole list).
# Fourth round, "报文" growing and 接线检查, with an X resource loaded (an Xvfb of its own,
# -noreset, a resource merged by xrdb), 25 s a case, the probe before and after the cuts run in
# turn: twice at load 0.0 to 0.2, three times at load 0.6 to 2.4 (builds of other work), and
# alone beside them as the floor of each session. After: at a flush the log's list takes its new
# count with its page's visible style off (the page's change heard by nobody), so the four bar
# settings of the count draw nothing; the scroll to the newest line then draws the vertical bar
# once (scrolled up, one setting of it does): one themed bar a flush instead of five. The log's
# list and the copy menu's edits chain their own procedures through their user data instead of
# SetWindowSubclass, whose window property wine looks up with a round trip at every message (a
# dozen a flush on the list, nine a block on the wiring page's message box). The wiring table is
# an owner-data list: a block marks the rectangle around the cells whose texts changed at once
# (mostly the message column of a few rows), where each changed cell's text set invalidated its
# whole row twice.
#                   load 0.0 to 0.2     load 0.6 to 2.4
#   case            before  after       before  after
#   alone           0.90    0.94        1.19    1.21
#   报文 (log)      1.60    1.20        2.09    1.53
#   接线检查        1.20    1.12        1.51    1.57
# Round trips of the program's thread (WINEDEBUG=+server, the same 20 s of each run; the simulated
# meter answers the same, so runs repeat to the round trip): 报文 519 -> 419 a second (the theme
# look-ups of the bars' drawing, three round trips each, 155 -> 64), 接线检查 407 -> 388, 报文 with
# a full log 386 -> 378; alone 403. 接线检查 is now at alone's round trips: what it costs beyond
# alone is the check itself (fmod and atan2 of the currents' fit: 2 % of the process's samples
# under perf) and the painting of the changed cells and the message box. The log's flush keeps,
# each two seconds, the vertical bar's draw (its thumb moves; some sixty round trips), about
# fifteen for the page's style turned off and on, and the header's six moves at the count.
# Tried and dropped:
# the list's own visible style off around the count (turned on again, wine marks its frame for
# drawing: both bars drawn at its next paint, three instead of one).
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

for mode in alone log full record trend wiring bus; do
  extra=""
  [ "$mode" = log ] && extra=fill
  timeout $((seconds + 90)) "$root/tests/windows/run_under_xvfb.sh" \
    wine "$probe" "$port" "$seconds" "$mode" $extra 2>/dev/null | tr -d '\r'
done
