#!/usr/bin/env bash
# Figures of the workbench: CPU of kt7340 while polling at 9600 baud with the window "诊断与记录"
# open, its log filling and a recording running, over 60 s; then the memory of the window alone
# (bench program workbench_log_fill): the first showing of "趋势" after ten minutes of blocks, and
# the peak with 10,000 log lines. Runs under Xvfb against kt7340-sim, driven
# with xdotool. Usage: bench/workbench_figures.sh [seconds of polling, default 60]
# OPEN_WORKBENCH=0 leaves the window closed (the monitor alone, still recording); WORKBENCH_TAB=N
# brings tab N forward (0 "报文", 1 "记录", 2 "趋势", 3 "接线检查").
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/xvfb_session.sh
poll_seconds=${1:-60}
address=1

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKT7340_WITH_QT=ON \
      -DKT7340_BUILD_BENCH=ON >/dev/null
cmake --build build -j2 --target kt7340 kt7340-sim workbench_log_fill >/dev/null
fill=$(find build -type f -name workbench_log_fill -perm -u+x | head -n 1)
monitor=build/src/app/kt7340
sim=$(find build -type f -name kt7340-sim -perm -u+x | head -n 1)

start_sim_on_port1 --status-trailer --quiet --address "$address"

start_xvfb 1920x1080

export KT7340_RECORD="$work/record.csv"
start_monitor_polling "$address"
if [ "${OPEN_WORKBENCH:-1}" = 1 ]; then
  open_workbench_tab "${WORKBENCH_TAB:-0}"
fi
sleep 3  # let the configuration reads pass; then measure steady polling

cpu=$(cpu_percent "$monitor_pid" "$poll_seconds")
peak=$(peak_mib "$monitor_pid")
rows=$(($(wc -l <"$work/record.csv") - 1))

click_du "$main" 340 230 $MAIN_DIALOG_DU  # "退  出"
sleep 0.5 && xdotool key --clearmodifiers alt+y  # "是" to the question: a recording runs
for _ in $(seq 50); do kill -0 "$monitor_pid" 2>/dev/null || break; sleep 0.1; done

echo "CPU while polling $poll_seconds s at 9600 baud, recording: $cpu % of one core"
echo "rows recorded:                       $rows"
echo "peak resident memory of kt7340:      $peak MiB"
"$fill"
