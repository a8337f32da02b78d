# Sourced by the package checks: takes the script's one argument, a configured build folder,
# and sets build to its absolute path; anything else ends the script with its usage (2).
# Messages start with the script's name.
check=$(basename "$0" .sh)
if [[ $# -ne 1 ]]; then
  echo "usage: $0 BUILD_DIR" >&2
  exit 2
fi
build=$(cd "$1" && pwd)
if [[ ! -f "$build/CPackConfig.cmake" ]]; then
  echo "$check: $build is not a configured build folder" >&2
  exit 2
fi
