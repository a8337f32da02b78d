#!/usr/bin/env bash
# Installs the Debian packages listed in scripts/deps/*.txt that are not installed yet. The
# lists only ./test needs, the Windows cross build's (scripts/deps/windows.txt: mingw-w64, wine,
# NSIS) and the report's browser test's (scripts/deps/report.txt: Chromium, poppler-utils), only
# with --with-windows, so that ./run does not fetch them.
set -euo pipefail
cd "$(dirname "$0")/.."

lists=()
for list in scripts/deps/*.txt; do
  [[ ($list == scripts/deps/windows.txt || $list == scripts/deps/report.txt) &&
    ${1:-} != --with-windows ]] && continue
  lists+=("$list")
done
wanted=$(cat "${lists[@]}" | sed 's/#.*//' | tr -s ' \t' '\n' | sed '/^$/d' | sort -u)
missing=()
for pkg in $wanted; do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$pkg")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${missing[@]}"
