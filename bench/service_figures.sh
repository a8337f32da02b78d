#!/usr/bin/env bash
# Figures of kt7340d with 8 lines of 32 simulated meters each at 19200 (kt7340-sim on
# pseudo-terminals, wire timing) publishing to mosquitto on a free loopback port:
#   1. the CPU share of kt7340d (user and system time over the elapsed time; goal under 2 % of
#      one core),
#   2. its memory (peak resident set; goal under 50 MiB),
#   3. the states published per second,
#   4. the time from a block's reply (the state's own time) to its message at a subscriber of
#      the broker: median and 99th percentile.
# Usage: bench/service_figures.sh [seconds, default 60]
# KT7340_BUILD=DIR uses the binaries of an existing build (e.g. build-check, with sanitizers:
# slower) instead of building the optimised one in build/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
lines=8
meters=32

source bench/figure_build.sh
use_program_build kt7340d kt7340-sim
service=$build/src/service/kt7340d
sim=$build/sim/kt7340-sim

# The scratch folder ($work) and the processes ended with the script ($pids).
source bench/xvfb_session.sh

port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
printf 'listener %s 127.0.0.1\nallow_anonymous true\n' "$port" >"$work/mosquitto.conf"
mosquitto -c "$work/mosquitto.conf" >"$work/mosquitto.log" 2>&1 &
pids+=($!)
sleep 0.5

{
  printf '[service]\ninterval_ms = 1000\nspool_folder = "%s/spool"\n\n' "$work"
  printf '[mqtt]\nurl = "mqtt://127.0.0.1:%s"\nprefix = "bench"\n' "$port"
} >"$work/kt7340d.toml"
for l in $(seq 1 $lines); do
  args=(--baud 19200 --quiet)
  list=""
  for m in $(seq 1 $meters); do
    args+=(--meter "$m:pt=$((l * 10)),ct=$((m * 5))")
    list+="${list:+, }$m"
  done
  "$sim" "${args[@]}" >"$work/sim$l.out" 2>&1 &
  pids+=($!)
  for _ in $(seq 50); do [ -s "$work/sim$l.out" ] && break; sleep 0.1; done
  printf '\n[[line]]\nname = "line%s"\nport = "%s"\nbaud = 19200\nmeters = [%s]\n' \
    "$l" "$(head -n 1 "$work/sim$l.out")" "$list" >>"$work/kt7340d.toml"
done

# Each state with the time it came, in nanoseconds since the epoch.
mosquitto_sub -p "$port" -t 'bench/+/+/state' -q 1 -F '%U %p' >"$work/states.txt" &
pids+=($!)
"$service" --config "$work/kt7340d.toml" 2>"$work/kt7340d.log" &
service_pid=$!
pids+=($service_pid)

# Figures from a warmed-up service: the first 10 s (configurations, first blocks) left out.
sleep 10
ticks=$(getconf CLK_TCK)
cpu_at() { awk '{print $14 + $15}' "/proc/$service_pid/stat"; }
cpu0=$(cpu_at)
count0=$(wc -l <"$work/states.txt")
start=$(date +%s.%N)
sleep "$seconds"
cpu1=$(cpu_at)
count1=$(wc -l <"$work/states.txt")
end=$(date +%s.%N)
peak=$(awk '/VmHWM/ {print $2}' "/proc/$service_pid/status")
rss=$(awk '/VmRSS/ {print $2}' "/proc/$service_pid/status")

python3 - "$work/states.txt" "$cpu0" "$cpu1" "$ticks" "$start" "$end" "$count0" "$count1" \
  "$peak" "$rss" "$lines" "$meters" <<'PY'
import datetime, json, statistics, sys
path, cpu0, cpu1, ticks, start, end, n0, n1, peak, rss, lines, meters = sys.argv[1:]
elapsed = float(end) - float(start)
cpu = (int(cpu1) - int(cpu0)) / int(ticks) / elapsed * 100
latencies = []
with open(path) as f:
    for row in f:
        received, payload = row.split(" ", 1)
        received_s = float(received)  # seconds.nanoseconds
        t = json.loads(payload)["time"]
        sent = datetime.datetime.strptime(t, "%Y-%m-%dT%H:%M:%S.%fZ").replace(
            tzinfo=datetime.timezone.utc).timestamp()
        latencies.append((received_s - sent) * 1000)
latencies.sort()
p99 = latencies[min(len(latencies) - 1, int(len(latencies) * 0.99))]
print(f"kt7340d, {lines} lines x {meters} meters at 19200, {elapsed:.0f} s measured")
print(f"  CPU:      {cpu:.2f} % of one core (goal < 2 %)")
print(f"  memory:   peak {int(peak) / 1024:.1f} MiB, now {int(rss) / 1024:.1f} MiB (goal < 50 MiB)")
print(f"  messages: {(int(n1) - int(n0)) / elapsed:.1f} states/s")
print(f"  latency:  block reply to the broker's subscriber: median {statistics.median(latencies):.1f} ms, "
      f"p99 {p99:.1f} ms over {len(latencies)} states")
PY
