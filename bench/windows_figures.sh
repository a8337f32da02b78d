#!/usr/bin/env bash
# Figures of the Windows program, with the Linux program beside it in the same run: the size of
# kt7340.exe, the time from start to the settings dialog, and the CPU share while polling
# kt7340-sim at 9600 baud (kt7340.exe under wine on a pseudo-terminal linked as COM1; kt7340 on
# the pseudo-terminal itself), on one Xvfb.
#   bench/windows_figures.sh [seconds of polling, default 60]
set -euo pipefail
cd "$(dirname "$0")/.."
poll_seconds=${1:-60}
address=1
source bench/xvfb_session.sh
source bench/windows_session.sh

# The program as it ships: a Release cross build; and the one the tests use.
build_windows_exe build-windows-release Release
release_exe=$exe
build_windows_exe
x86_64-w64-mingw32-strip -o "$work/stripped.exe" "$release_exe"
# The installer and the ZIP as they ship, from the Release build.
(cd build-windows-release && cpack -G "NSIS;ZIP" -B "$work/package" >"$work/cpack.log" 2>&1)
installer=$(find "$work/package" -maxdepth 1 -name 'kt7340-*-win64.exe' | head -n 1)
zip=$(find "$work/package" -maxdepth 1 -name 'kt7340-*-win64.zip' | head -n 1)
size_mib() { awk -v b="$(stat -c %s "$1")" 'BEGIN { printf "%.2f", b / 1048576 }'; }
dlls=$(x86_64-w64-mingw32-objdump -p "$release_exe" | sed -n 's/.*DLL Name: //p' | tr '\n' ' ')

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKT7340_WITH_QT=ON >/dev/null
cmake --build build -j2 --target kt7340 kt7340-sim >/dev/null
monitor=build/src/app/kt7340
sim=$(find build -type f -name kt7340-sim -perm -u+x | head -n 1)

start_xvfb 1024x800
use_wine_prefix "$PWD/build-windows/wineprefix-bench"

# Starts "$@" and waits for its settings dialog: the window id in settings_window, the
# milliseconds from the start in took_ms. The program is left running.
ms_to_settings() {
  local t0
  t0=$(now_ms)
  "$@" >>"$work/programs.log" 2>&1 &
  started_pid=$!
  pids+=("$started_pid")
  if ! settings_window=$(find_titled_window "通讯设置" 120); then
    echo "no settings dialog from $*:" >&2
    cat "$work/programs.log" >&2
    return 1
  fi
  took_ms=$(($(now_ms) - t0))
}
# Ends the program whose settings dialog is settings_window with one Escape ("退    出"), and
# waits for it to go.
leave_settings() {
  local pid
  pid=$(xdotool getwindowpid "$settings_window" 2>/dev/null || echo "$started_pid")
  xdotool key --window "$settings_window" Escape 2>/dev/null || true
  for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill "$pid" 2>/dev/null || true
  sleep 0.5
}

wineserver --kill >/dev/null 2>&1 || true
ms_to_settings wine "$release_exe"
wine_cold=$took_ms
leave_settings
wineserver --persistent=30 >/dev/null 2>&1 || true
wine_warm=()
linux_start=()
for _ in 1 2 3; do
  ms_to_settings wine "$release_exe"
  wine_warm+=("$took_ms")
  leave_settings
  ms_to_settings "$monitor"
  linux_start+=("$took_ms")
  leave_settings
done
median() { printf '%s\n' "$@" | sort -n | sed -n 2p; }

# The wine server of this prefix (it serves kt7340.exe's system calls).
prefix_wineserver() {
  for p in $(pgrep -x wineserver); do
    tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" && echo "$p"
  done | head -n 1
}

# kt7340.exe polling: the settings taken with Enter, the address typed, Tab Tab Space is "运行".
ms_to_settings wine "$release_exe"
start_sim_on_com1 --status-trailer --address "$address"
xdotool key --window "$settings_window" Return
main=$(find_titled_window "7340智能电力检测仪---Tenbrook")
exe_pid=$(xdotool getwindowpid "$main")
sleep 1
# Wine's own share: the main dialog open, not polling, the pointer away.
xdotool mousemove 0 0
wine_idle_cpu=$(cpu_percent "$exe_pid" 30)
xdotool key --window "$main" End BackSpace
xdotool type --window "$main" "$address"
xdotool key --window "$main" Tab Tab space
sleep 3
# Wine polls the pointer every 10 ms while it rests on a control that tracks it (the themed
# buttons and edits ask for TrackMouseEvent): measured with the pointer away, then over the
# dialog.
xdotool mousemove 0 0
server_pid=$(prefix_wineserver)
s0=$(awk '{print $14 + $15}' "/proc/$server_pid/stat")
wine_cpu=$(cpu_percent "$exe_pid" "$poll_seconds")
s1=$(awk '{print $14 + $15}' "/proc/$server_pid/stat")
server_cpu=$(awk -v a="$s0" -v b="$s1" -v hz="$(getconf CLK_TCK)" -v s="$poll_seconds" \
  'BEGIN { printf "%.2f", 100 * (b - a) / hz / s }')
eval "$(xdotool getwindowgeometry --shell "$main")"
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
wine_cpu_pointer=$(cpu_percent "$exe_pid" 20)
xdotool mousemove 0 0
import -window "$main" "${WINDOWS_POLLING_SHOT:-$work/polling.png}"
xdotool key --window "$main" Escape
sleep 1

# The Linux program against its own simulator.
start_sim_on_port1 --status-trailer --quiet --address "$address"
start_monitor_polling "$address"
sleep 3
xdotool mousemove 0 0
linux_cpu=$(cpu_percent "$monitor_pid" "$poll_seconds")
click_du "$main" 340 230 $MAIN_DIALOG_DU  # "退  出"

echo "kt7340.exe Release: $(size_mib "$release_exe") MiB ($(size_mib "$work/stripped.exe") MiB stripped);" \
  "Debug -O1 -g1: $(size_mib build-windows/src/app/kt7340.exe) MiB; DLLs: $dlls"
echo "installer $(basename "$installer"): $(size_mib "$installer") MiB; ZIP: $(size_mib "$zip") MiB"
echo "start -> settings dialog, kt7340.exe under wine: first start ${wine_cold} ms," \
  "then median $(median "${wine_warm[@]}") ms (${wine_warm[*]})"
echo "start -> settings dialog, kt7340 (Linux, Qt):   median $(median "${linux_start[@]}") ms (${linux_start[*]})"
echo "CPU while polling ${poll_seconds} s at 9600 baud: kt7340.exe $wine_cpu % of one core" \
  "(its wineserver $server_cpu %), kt7340 on Linux $linux_cpu %; kt7340.exe with the pointer" \
  "resting on its dialog: $wine_cpu_pointer %; kt7340.exe with the main dialog open, not polling:" \
  "$wine_idle_cpu %"
