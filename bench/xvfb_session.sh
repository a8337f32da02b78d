# Sourced by the figure scripts: a scratch folder and the processes ended with the script, the
# monitor and the simulator built and started, a virtual X server, and finding and clicking the
# monitor's windows with xdotool. The caller sets monitor_pid before finding windows and adds
# the processes it starts to pids.

work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Builds kt7340 and kt7340-sim (RelWithDebInfo, in build/) and sets monitor and sim to them.
build_monitor_and_sim() {
  cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKT7340_WITH_QT=ON >/dev/null
  cmake --build build -j2 --target kt7340 kt7340-sim >/dev/null
  monitor=build/src/app/kt7340
  sim=$(find build -type f -name kt7340-sim -perm -u+x | head -n 1)
}

# Starts the simulator with the given options on a pseudo-terminal and points port 1 at it.
start_sim_on_port1() {
  mkfifo "$work/sim.out"
  "$sim" "$@" >"$work/sim.out" &
  pids+=($!)
  exec 3<"$work/sim.out"
  read -r -t 10 pty <&3
  cat <&3 >/dev/null &
  export KT7340_COM1="$pty"
}

# The dialogs' client sizes in dialog units, for click_du.
COMM_SETTINGS_DU="187 171"
MAIN_DIALOG_DU="383 412"

# Starts Xvfb on a free display of the given screen size (default 1024x768) and exports DISPLAY.
# A display whose server does not come up (one just ending may still hold it) is passed over.
# XVFB_DISPLAY=N takes display :N only (on a machine shared with other runs).
start_xvfb() {
  local n xvfb
  for n in ${XVFB_DISPLAY:-$(seq 150 190)}; do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 "${1:-1024x768}x24" -nolisten tcp >/dev/null 2>&1 &
    xvfb=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do
      kill -0 "$xvfb" 2>/dev/null || break
      if xdpyinfo >/dev/null 2>&1; then
        pids+=("$xvfb")
        return 0
      fi
      sleep 0.1
    done
    kill "$xvfb" 2>/dev/null || true
  done
  echo "no X display could be started" >&2
  return 1
}

now_ms() { date +%s%3N; }

# Waits for the visible window of the monitor whose title contains $1; prints its id.
find_window() {
  for _ in $(seq 1000); do
    for id in $(xdotool search --onlyvisible --pid "$monitor_pid" 2>/dev/null); do
      xdotool getwindowname "$id" 2>/dev/null | grep -q -- "$1" && { echo "$id"; return 0; }
    done
    sleep 0.01
  done
  return 1
}

# Clicks the point at dialog units ($2, $3) of window $1, whose client area is $4 x $5 units.
click_du() {
  local g w h
  g=$(xdotool getwindowgeometry --shell "$1")
  w=$(sed -n 's/^WIDTH=//p' <<<"$g")
  h=$(sed -n 's/^HEIGHT=//p' <<<"$g")
  xdotool mousemove --window "$1" $(($2 * w / $4)) $(($3 * h / $5)) click 1
}

# Starts the monitor ($monitor) and adds it to pids; sets monitor_pid.
start_monitor() {
  "$monitor" &
  monitor_pid=$!
  pids+=("$monitor_pid")
}

# In the main dialog $main: types slave address $1 into "子机地址" and presses "运行".
poll_address() {
  sleep 0.3
  click_du "$main" 74 16 $MAIN_DIALOG_DU
  xdotool key --clearmodifiers ctrl+a
  xdotool type "$1"
  click_du "$main" 340 118 $MAIN_DIALOG_DU
}

# Starts the monitor, takes "通讯设置" as it is and polls slave address $1; sets main.
start_monitor_polling() {
  start_monitor
  click_du "$(find_window "通讯设置")" 159 62 $COMM_SETTINGS_DU
  main=$(find_window "7340智能电力检测仪")
  poll_address "$1"
}

# In the main dialog $main: opens "诊断与记录" (sets workbench) and brings its tab $1 forward
# (0 "报文", 1 "记录", 2 "趋势", 3 "接线检查").
open_workbench_tab() {
  click_du "$main" 340 383 $MAIN_DIALOG_DU  # "诊断与记录…"
  workbench=$(find_window "诊断与记录")
  for _ in $(seq "$1"); do
    xdotool key --window "$workbench" --clearmodifiers ctrl+Tab
    sleep 0.2
  done
}

# Percent of one core that process $1 uses over $2 seconds of wall time, two decimals.
cpu_percent() {
  local hz c0 c1 w0 w1
  hz=$(getconf CLK_TCK)
  c0=$(awk '{print $14 + $15}' "/proc/$1/stat")
  w0=$(now_ms)
  sleep "$2"
  c1=$(awk '{print $14 + $15}' "/proc/$1/stat")
  w1=$(now_ms)
  awk -v a="$c0" -v b="$c1" -v hz="$hz" -v w0="$w0" -v w1="$w1" \
      'BEGIN { printf "%.2f", 100 * (b - a) / hz / ((w1 - w0) / 1000) }'
}

# Peak resident memory of process $1 so far, in MiB with one decimal.
peak_mib() {
  sed -n 's/^VmHWM:[[:space:]]*\([0-9]*\) kB/\1/p' "/proc/$1/status" |
    awk '{ printf "%.1f", $1 / 1024 }'
}
