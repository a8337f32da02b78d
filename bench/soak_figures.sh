#!/usr/bin/env bash
# Memory of kt7340 over a long run: the monitor polls kt7340-sim at 9600 baud with the window
# "诊断与记录" open and a recording running, the visible tab moving on every few minutes
# ("报文", "记录", "趋势", "接线检查", round again). Every minute it samples the resident memory
# (VmRSS), its anonymous part (RssAnon) and the main heap ([heap] in smaps), and at the end
# prints the table and the growth per hour over the first and the second half of the run.
# Runs under Xvfb, driven with xdotool.
# Usage: bench/soak_figures.sh [minutes, default 120] [minutes per tab, default 5]
# KT7340_BUILD_DIR=DIR takes kt7340 and kt7340-sim from an existing build instead of building
# build/. SOAK_SIM_OPTIONS adds options for kt7340-sim (e.g. "--no-wire-timing").
# SOAK_HEAPTRACK=FILE runs the monitor under heaptrack (Debian package heaptrack), writing its
# trace to FILE.zst; the resident figures then include heaptrack's own memory.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/xvfb_session.sh
minutes=${1:-120}
tab_minutes=${2:-5}
address=1
tabs=("报文" "记录" "趋势" "接线检查")

if [ -n "${KT7340_BUILD_DIR:-}" ]; then
  monitor=$KT7340_BUILD_DIR/src/app/kt7340
  sim=$(find "$KT7340_BUILD_DIR" -type f -name kt7340-sim -perm -u+x | head -n 1)
else
  build_monitor_and_sim
fi
if [ -n "${SOAK_HEAPTRACK:-}" ]; then
  # heaptrack starts the monitor as its child; start_monitor finds the monitor by its pid.
  real_monitor=$monitor
  monitor="$work/monitor-under-heaptrack"
  printf '#!/bin/sh\nexec heaptrack -o "%s" "%s"\n' "$SOAK_HEAPTRACK" "$real_monitor" >"$monitor"
  chmod +x "$monitor"
fi

# shellcheck disable=SC2086
start_sim_on_port1 --status-trailer --quiet --address "$address" ${SOAK_SIM_OPTIONS:-}
start_xvfb 1920x1080

export KT7340_RECORD="$work/record.csv"
start_monitor
if [ -n "${SOAK_HEAPTRACK:-}" ]; then
  # heaptrack runs the monitor as a child; the windows carry the monitor's own pid.
  # Another run on the machine may have a monitor of the same build: take the one descended
  # from this run's heaptrack.
  real_exe=$(readlink -f "$real_monitor")
  heaptrack_pid=$monitor_pid
  descends_from_heaptrack() {
    local p=$1
    while [ "$p" -gt 1 ]; do
      [ "$p" = "$heaptrack_pid" ] && return 0
      p=$(awk '/^PPid:/ { print $2 }' "/proc/$p/status" 2>/dev/null || echo 0)
    done
    return 1
  }
  monitor_pid=
  for _ in $(seq 100); do
    for p in $(pgrep -x kt7340 || true); do
      [ "$(readlink "/proc/$p/exe" 2>/dev/null)" = "$real_exe" ] && descends_from_heaptrack "$p" &&
        monitor_pid=$p
    done
    [ -n "$monitor_pid" ] && break
    sleep 0.1
  done
  pids+=("$monitor_pid")
fi
click_du "$(find_window "通讯设置")" 159 62 $COMM_SETTINGS_DU
main=$(find_window "7340智能电力检测仪")
poll_address "$address"
open_workbench_tab 0

# One sample: minutes since the start, VmRSS, RssAnon and [heap] resident, in KiB.
sample() {
  local rss anon heap
  rss=$(sed -n 's/^VmRSS:[[:space:]]*\([0-9]*\) kB/\1/p' "/proc/$monitor_pid/status")
  anon=$(sed -n 's/^RssAnon:[[:space:]]*\([0-9]*\) kB/\1/p' "/proc/$monitor_pid/status")
  heap=$(awk '/\[heap\]/ { h = 1; next } h && /^Rss:/ { print $2; exit }' \
             "/proc/$monitor_pid/smaps")
  echo "$1 $rss $anon ${heap:-0}"
}

samples="$work/samples"
tab=0
start=$(date +%s)
for m in $(seq 0 "$minutes"); do
  # Sleep to the minute mark measured from the start, so samples do not drift.
  delay=$((start + 60 * m - $(date +%s)))
  [ "$delay" -gt 0 ] && sleep "$delay"
  kill -0 "$monitor_pid" 2>/dev/null || { echo "kt7340 ended after $m minutes" >&2; break; }
  if [ "$m" -gt 0 ] && [ $((m % tab_minutes)) -eq 0 ]; then
    xdotool key --window "$workbench" --clearmodifiers ctrl+Tab
    tab=$(((tab + 1) % ${#tabs[@]}))
  fi
  # A copy of the trace so far, to compare the allocations still live at two times.
  if [ -n "${SOAK_HEAPTRACK:-}" ] && [ "$m" -gt 0 ] && [ $((m % 10)) -eq 0 ]; then
    cp "$SOAK_HEAPTRACK.zst" "$SOAK_HEAPTRACK.minute$m.zst" || true
  fi
  line="$(sample "$m") ${tabs[$tab]} $(($(wc -l <"$work/record.csv") - 1))"
  echo "$line" >>"$samples"
  echo "$line" >&2  # progress, for a run left in the background
done

# How much of the heap is free but kept: glibc's own count (printed on the monitor's standard
# error) and the memory left once malloc_trim(0) gave the free pages back. Needs gdb.
trimmed=
if command -v gdb >/dev/null 2>&1; then
  gdb -q -p "$monitor_pid" -batch -ex 'call (void) malloc_stats()' \
      -ex 'call (int) malloc_trim(0)' >/dev/null 2>&1 || true
  trimmed=$(sample "$minutes")
fi

click_du "$main" 340 230 $MAIN_DIALOG_DU  # "退  出"
sleep 0.5 && xdotool key --clearmodifiers alt+y  # "是" to the question: a recording runs
for _ in $(seq 100); do kill -0 "$monitor_pid" 2>/dev/null || break; sleep 0.1; done

echo "kt7340 at 9600 baud, workbench open, recording; tab moved on every $tab_minutes min"
echo "minute  VmRSS MiB  RssAnon MiB  [heap] MiB  tab       rows recorded"
awk '{ printf "%6d  %9.1f  %11.1f  %10.1f  %-8s  %d\n", $1, $2 / 1024, $3 / 1024, $4 / 1024, $5, $6 }' \
    "$samples"
if [ -n "$trimmed" ]; then
  awk '{ printf "after malloc_trim(0): VmRSS %.1f MiB, RssAnon %.1f MiB, [heap] %.1f MiB\n",
         $2 / 1024, $3 / 1024, $4 / 1024 }' <<<"$trimmed"
fi
awk '
  { t[NR] = $1; r[NR] = $2; a[NR] = $3; h[NR] = $4 }
  function rate(v, i, j) { return (v[j] - v[i]) / 1024 / ((t[j] - t[i]) / 60) }
  END {
    if (NR < 3) { print "too few samples for the growth per hour"; exit }
    m = int((NR + 1) / 2)
    printf "growth, MiB/hour       VmRSS  RssAnon  [heap]\n"
    printf "first half  (%3d-%3d) %6.2f  %7.2f  %6.2f\n", t[1], t[m], rate(r, 1, m), rate(a, 1, m), rate(h, 1, m)
    printf "second half (%3d-%3d) %6.2f  %7.2f  %6.2f\n", t[m], t[NR], rate(r, m, NR), rate(a, m, NR), rate(h, m, NR)
  }' "$samples"
