#!/bin/sh
# Soak of the simulated meter: 10,000 requests from a master over a pseudo-terminal; reports
# requests per second and the simulator's peak memory before and after (it must stay flat).
# Usage: bench/soak.sh [BUILD_DIR] [REQUESTS] [extra kt7340-sim options...]
# Without extra options the line runs flat out (no response delay, no per-character timing);
# pass e.g. "--baud 19200" with "--response-delay 20" and no "--no-wire-timing" for wire pace.
set -eu
BUILD=${1:-build-bench}
REQUESTS=${2:-10000}
[ $# -ge 2 ] && shift 2 || shift $#
SIM_ARGS=${*:---response-delay 0 --no-wire-timing}
SIM="$BUILD/sim/kt7340-sim"
MASTER="$BUILD/bench/kt7340-soak-master"
if [ ! -x "$SIM" ] || [ ! -x "$MASTER" ]; then
  echo "build first: cmake -S . -B $BUILD -DKT7340_BUILD_BENCH=ON -DKT7340_WITH_QT=OFF &&" \
       "cmake --build $BUILD --target kt7340-sim kt7340-soak-master" >&2
  exit 2
fi
BAUD=$(echo "$SIM_ARGS" | sed -n 's/.*--baud \([0-9]*\).*/\1/p')
BAUD=${BAUD:-9600}

OUT=$(mktemp)
# shellcheck disable=SC2086
"$SIM" --quiet $SIM_ARGS >"$OUT" &
PID=$!
trap 'kill $PID 2>/dev/null; wait $PID 2>/dev/null; rm -f "$OUT"' EXIT INT TERM
for _ in 1 2 3 4 5 6 7 8 9 10; do
  [ -s "$OUT" ] && break
  sleep 0.1
done
DEVICE=$(head -n 1 "$OUT")
[ -n "$DEVICE" ] || { echo "kt7340-sim printed no device" >&2; exit 1; }

mem() { grep -E "^$1:" "/proc/$PID/status" | awk '{print $2}'; }
echo "simulator $SIM_ARGS on $DEVICE"
echo "start:        VmHWM $(mem VmHWM) kB  VmRSS $(mem VmRSS) kB"
"$MASTER" "$DEVICE" 1000 "$BAUD" >/dev/null
echo "after 1000:   VmHWM $(mem VmHWM) kB  VmRSS $(mem VmRSS) kB"
"$MASTER" "$DEVICE" "$REQUESTS" "$BAUD"
echo "after $REQUESTS more: VmHWM $(mem VmHWM) kB  VmRSS $(mem VmRSS) kB"
