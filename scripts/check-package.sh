#!/usr/bin/env bash
# Builds the Debian package from an existing build folder and checks what it installs.
# Usage: scripts/check-package.sh BUILD_DIR   (a configured build with kt7340 and kt7340-sim)
set -euo pipefail

if [[ $# -ne 1 ]]; then
  echo "usage: $0 BUILD_DIR" >&2
  exit 2
fi
build=$(cd "$1" && pwd)
if [[ ! -f "$build/CPackConfig.cmake" ]]; then
  echo "check-package: $build is not a configured build folder" >&2
  exit 2
fi

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
if [[ $failed -ne 0 ]]; then
  exit 1
fi
echo "check-package: $(basename "$deb") has the programs, the service's unit and example file, the desktop entry and the icon"
echo "check-package: Depends: $depends"
