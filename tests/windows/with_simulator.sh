#!/usr/bin/env bash
# Runs a Windows test program under wine with the simulated meter (built for this machine) at
# its command:
#   with_simulator.sh SIM CONTROL_FOLDER COM_NUMBER PROGRAM [ARGUMENTS...]
# The program writes one request line to CONTROL_FOLDER/request and waits for
# CONTROL_FOLDER/reply:
#   start BAUD PARITY   the meter (none, odd or even parity) on a pseudo-terminal linked as
#                       COM<COM_NUMBER> in $WINEPREFIX                           -> "ok"
#   start-tcp           the meter as a device server on a free loopback port     -> "ok HOST:PORT"
#   stop                the meter killed, its terminal and link gone             -> "ok"
# Anything that fails replies "failed ...". The meter is stopped when the program ends.
set -uo pipefail
sim=$1
control=$2
link="$WINEPREFIX/dosdevices/com$3"
shift 3

rm -rf "$control"
mkdir -p "$control"
rm -f "$link"

serve() {
  local sim_pid="" address=""
  stop_sim() {
    if [ -n "$sim_pid" ]; then
      kill "$sim_pid" 2>/dev/null
      wait "$sim_pid" 2>/dev/null
      sim_pid=""
    fi
    rm -f "$link"
  }
  trap 'stop_sim; exit 0' TERM
  start_sim() {
    stop_sim
    "$sim" --baud "$1" --parity "$2" --link "$link" --response-delay 5 --quiet \
      >"$control/sim.log" 2>&1 &
    sim_pid=$!
    for _ in $(seq 200); do
      [ -L "$link" ] && return 0
      sleep 0.05
    done
    return 1
  }
  start_tcp() {
    stop_sim
    "$sim" --tcp 127.0.0.1:0 --response-delay 5 --quiet >"$control/sim.log" 2>&1 &
    sim_pid=$!
    for _ in $(seq 200); do
      address=$(head -n 1 "$control/sim.log")
      [ -n "$address" ] && return 0
      sleep 0.05
    done
    return 1
  }
  while :; do
    if [ -f "$control/request" ]; then
      read -r command first second < <(tr -d '\r' <"$control/request")
      rm -f "$control/request"
      case $command in
        start) start_sim "$first" "$second" && reply=ok || reply="failed to start" ;;
        start-tcp) start_tcp && reply="ok $address" || reply="failed to start" ;;
        stop) stop_sim && reply=ok ;;
        *) reply="failed: no request $command" ;;
      esac
      echo "$reply" >"$control/reply.new"
      mv "$control/reply.new" "$control/reply"
    fi
    sleep 0.05
  done
}

serve &
server=$!
trap 'kill "$server" 2>/dev/null; wait "$server" 2>/dev/null' EXIT
wine "$@"
