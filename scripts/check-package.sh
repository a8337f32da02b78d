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

# Only the two programs; a no-op when they are up to date.
cmake --build "$build" -j2 --target kt7340 kt7340-sim

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
for path in ./usr/bin/kt7340 ./usr/bin/kt7340-sim ./usr/share/applications/kt7340.desktop \
  ./usr/share/icons/hicolor/scalable/apps/kt7340.svg; do
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
if [[ $failed -ne 0 ]]; then
  exit 1
fi
echo "check-package: $(basename "$deb") has both programs, the desktop entry and the icon"
echo "check-package: Depends: $depends"
