# Sourced by the figure scripts: a virtual X server, and finding and clicking the monitor's
# windows with xdotool. The caller sets monitor_pid before finding windows and keeps a pids array.

# The dialogs' client sizes in dialog units, for click_du.
COMM_SETTINGS_DU="187 171"
MAIN_DIALOG_DU="383 412"

# Starts Xvfb on a free display of the given screen size (default 1024x768) and exports DISPLAY.
start_xvfb() {
  local n
  for n in $(seq 150 190); do
    [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ] && break
  done
  Xvfb ":$n" -screen 0 "${1:-1024x768}x24" -nolisten tcp >/dev/null 2>&1 &
  pids+=($!)
  export DISPLAY=":$n"
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
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
