#!/usr/bin/env bash
# Builds the Debian package from an existing build folder and checks what it installs.
# Usage: scripts/check-package.sh BUILD_DIR   (a configured build with kt7340 and kt7340-sim)
set -euo pipefail

source "$(dirname "$0")/package-build-folder.sh"

# Only the programs; a no-op when they are up to date.
cmake --build "$build" -j2 --target kt7340 kt7340-sim kt7340d

out="$build/package"
rm -rf "$out"
mkdir -p "$out"
(cd "$build" && cpack -G DEB -B "$out" >"$out/cpack.log" 2>&1) || {
  cat "$out/cpack.log" >&2
  exit 1
}
deb=$(find "$out" -maxdepth 1 -name 'kt7340_*.deb' | head -n 1)
if [[ -z "$deb" ]]; then
  echo "check-package: cpack made no kt7340_*.deb in $out" >&2
  exit 1
fi

contents=$(dpkg-deb --contents "$deb")
depends=$(dpkg-deb --field "$deb" Depends)
failed=0
for path in ./usr/bin/kt7340 ./usr/bin/kt7340-sim ./usr/bin/kt7340d \
  ./usr/lib/systemd/system/kt7340d.service ./etc/kt7340/kt7340d.toml \
  ./usr/share/applications/kt7340.desktop ./usr/share/icons/hicolor/scalable/apps/kt7340.svg; do
  if ! grep -qE "[[:space:]]${path//./\\.}\$" <<<"$contents"; then
    echo "check-package: $path is missing from $(basename "$deb")" >&2
    failed=1
  fi
done
for dependency in libqt6widgets6 fonts-wqy-microhei; do
  if ! grep -q "$dependency" <<<"$depends"; then
    echo "check-package: Depends lacks $dependency: $depends" >&2
    failed=1
  fi
done
if ! dpkg-deb --info "$deb" conffiles | grep -qx /etc/kt7340/kt7340d.toml; then
  echo "check-package: /etc/kt7340/kt7340d.toml is no conffile" >&2
  failed=1
fi

# The service as installed: its unit checked by systemd, its example file by the program.
root="$out/root"
dpkg-deb --extract "$deb" "$root"
if ! "$root/usr/bin/kt7340d" --check-config "$root/etc/kt7340/kt7340d.toml" >/dev/null; then
  echo "check-package: the installed example configuration is refused" >&2
  failed=1
fi
if command -v systemd-analyze >/dev/null; then
  # The unit as installed, its program taken from the extracted package (not installed here).
  unit="$out/unit/kt7340d.service"
  mkdir -p "$out/unit"
  sed "s|/usr/bin/kt7340d|$root/usr/bin/kt7340d|" "$root/usr/lib/systemd/system/kt7340d.service" >"$unit"
  if ! verified=$(systemd-analyze verify --man=no "$unit" 2>&1) || [[ -n $verified ]]; then
    echo "check-package: systemd-analyze verify kt7340d.service: $verified" >&2
    failed=1
  fi
else
  echo "check-package: systemd-analyze is missing; the unit file was not verified"
fi

# The service as the unit starts it: the unit's ExecStart (no user, --config) on the installed
# example file, adapted to a simulated line with the example's meters, folders of its own and a
# broker on a free loopback port, for a few seconds: it must publish each meter's state.
run="$out/run"
mkdir -p "$run"
run_pids=()
stop_run() {
  for pid in "${run_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait "${run_pids[@]}" 2>/dev/null || true
}
trap stop_run EXIT
"$root/usr/bin/kt7340-sim" --meter 3 --meter 17:pt=35,ct=40 --meter 200:ct=100 --quiet \
  >"$run/sim.out" 2>&1 &
run_pids+=($!)
for _ in $(seq 50); do [[ -s "$run/sim.out" ]] && break; sleep 0.1; done
broker_port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
printf 'listener %s 127.0.0.1\nallow_anonymous true\n' "$broker_port" >"$run/mosquitto.conf"
"$(command -v mosquitto || echo /usr/sbin/mosquitto)" -c "$run/mosquitto.conf" >"$run/mosquitto.log" 2>&1 &
run_pids+=($!)
sed -e "s|^port = \"/dev/ttyUSB0\"|port = \"$(head -n 1 "$run/sim.out")\"|" \
  -e "s|/var/lib/kt7340|$run|" -e "s|mqtt://127.0.0.1:1883|mqtt://127.0.0.1:$broker_port|" \
  "$root/etc/kt7340/kt7340d.toml" >"$run/kt7340d.toml"
exec_start=$(sed -n 's/^ExecStart=//p' "$root/usr/lib/systemd/system/kt7340d.service")
exec_start=${exec_start//\/usr\/bin\/kt7340d/$root/usr/bin/kt7340d}
read -ra service <<<"${exec_start//\/etc\/kt7340\/kt7340d.toml/$run/kt7340d.toml}"
sleep 0.5
"${service[@]}" >"$run/kt7340d.log" 2>&1 &
run_pids+=($!)
states=$(mosquitto_sub -p "$broker_port" -t 'kt7340/panel1/+/state' -F '%t' -W 15 -C 9 2>/dev/null |
  sort -u | tr '\n' ' ' || true)
if [[ $states != "kt7340/panel1/17/state kt7340/panel1/200/state kt7340/panel1/3/state " ]]; then
  echo "check-package: the installed kt7340d, started as its unit does, published states of: ${states:-none}" >&2
  cat "$run/kt7340d.log" >&2
  failed=1
fi
stop_run

if [[ $failed -ne 0 ]]; then
  exit 1
fi
echo "check-package: $(basename "$deb") has the programs, the service's unit and example file, the desktop entry and the icon"
echo "check-package: the installed kt7340d, started as its unit does, published every meter's state"
echo "check-package: Depends: $depends"
