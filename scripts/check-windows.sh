#!/usr/bin/env bash
# Cross-builds the Windows program's libraries and tests with mingw-w64 and runs the tests
# under wine in a fresh prefix. Opt-in: ./test does not run it yet.
#   scripts/check-windows.sh [build folder, default build-windows]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-windows}

# What it needs, listed in scripts/deps-windows (install-deps.sh reads only scripts/deps).
wanted=$(sed 's/#.*//' scripts/deps-windows/*.txt | tr -s ' \t' '\n' | sed '/^$/d' | sort -u)
missing=()
for pkg in $wanted; do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$pkg")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${missing[@]}"
fi

seconds() { date +%s.%N; }
elapsed() { awk -v a="$1" -v b="$(seconds)" 'BEGIN { printf "%.1f", b - a }'; }

start=$(seconds)
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1" -DKT7340_WERROR=ON >/dev/null
cmake --build "$build" -j2
build_seconds=$(elapsed "$start")

# clang-tidy (.clang-tidy) over the Windows folders, with the cross compiler's headers.
gcc_root=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
tidy_args=(--extra-arg=--target=x86_64-w64-mingw32)
for dir in include/c++ include/c++/x86_64-w64-mingw32 include/c++/backward; do
  tidy_args+=("--extra-arg=-isystem$gcc_root/$dir")
done
tidy_args+=("--extra-arg=-isystem/usr/x86_64-w64-mingw32/include")
find "$PWD/src" -path '*/win32/*.cpp' | sort |
  xargs -r -P2 -n1 clang-tidy -p "$build" --quiet "${tidy_args[@]}" 2>/dev/null

# A fresh prefix for every run: no state of an earlier run, no prompt for Mono or Gecko.
export WINEPREFIX="$PWD/$build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
rm -rf "$WINEPREFIX"
start=$(seconds)
wineboot --init >/dev/null 2>&1
wineserver --wait
prefix_seconds=$(elapsed "$start")

start=$(seconds)
status=0
ctest --test-dir "$build" -L windows --output-on-failure -j2 || status=$?
test_seconds=$(elapsed "$start")

# The serial line for real: the simulated meter (built for this machine) on a pseudo-terminal
# that wine sees as COM12, polled by the Windows line.
cmake -S . -B "$build/host" -DCMAKE_BUILD_TYPE=Release -DKT7340_WITH_QT=OFF \
  -DKT7340_BUILD_TESTS=OFF >/dev/null
cmake --build "$build/host" -j2 --target kt7340-sim >/dev/null
# One wine server for the rest, its output kept apart (it reports a terminal's hang-up).
wineserver --kill >/dev/null 2>&1 || true
wineserver --persistent >"$build/wineserver.log" 2>&1
com_link="$WINEPREFIX/dosdevices/com12"
sim_log="$build/sim.log"
sim_pid=""
trap '[ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null || true' EXIT

# start_sim BAUD PARITY: the meter on its line (none, odd or even), linked as COM12.
start_sim() {
  rm -f "$com_link"
  "$build/host/sim/kt7340-sim" --baud "$1" --parity "$2" --link "$com_link" >"$sim_log" 2>&1 &
  sim_pid=$!
  for _ in $(seq 50); do
    [ -L "$com_link" ] && return 0
    sleep 0.1
  done
  echo "kt7340-sim made no link $com_link" >&2
  return 1
}
stop_sim() {
  kill "$sim_pid" 2>/dev/null || true
  wait "$sim_pid" 2>/dev/null || true
  sim_pid=""
}
probe() { timeout 120 wine "$build/tests/windows/com_line_probe.exe" "$@"; }

start=$(seconds)
probe_status=0
# Each baud rate and each parity once: only the settings the meter uses get its reply, also
# when applied again to the open port and when the port is opened again.
for line in "1200 odd 1200O,8,1" "2400 even 2400E,8,1" "4800 none 4800N,8,2" \
  "9600 none 9600N,8,2" "19200 even 19200E,8,1"; do
  read -r baud parity settings <<<"$line"
  start_sim "$baud" "$parity"
  probe 12 "$settings" "$settings" || probe_status=$?
  probe 12 "$settings" || probe_status=$?
  stop_sim
done
# The other side of it: settings the meter does not use get no valid reply.
start_sim 9600 none
if probe 12 9600E,8,1; then
  echo "A meter at 9600N,8,2 answered a line at 9600E,8,1"
  probe_status=1
fi
probe_seconds=$(elapsed "$start")

# The meter's terminal goes away while the line polls: a lost device, the port closed.
probe_log="$build/lost.log"
: >"$probe_log"
probe --until-lost 12 9600N,8,2 >"$probe_log" 2>"$build/lost-wine.log" &
lost_pid=$!
for _ in $(seq 300); do
  grep -q "字节" "$probe_log" && break
  sleep 0.1
done
stop_sim
lost_status=0
wait "$lost_pid" || lost_status=$?
cat "$probe_log"
wineserver --kill >/dev/null 2>&1 || true

echo "Cross build ${build_seconds} s, fresh wine prefix ${prefix_seconds} s," \
  "unit tests under wine ${test_seconds} s, COM12 polls under wine ${probe_seconds} s"
[ "$probe_status" -eq 0 ] || { echo "The poll on COM12 failed (simulator: $sim_log)"; exit 1; }
[ "$lost_status" -eq 0 ] || { echo "The lost terminal was not reported as a lost device"; exit 1; }
exit $status
