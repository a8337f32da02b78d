# Sourced by the Windows figure and screenshot scripts (after bench/xvfb_session.sh): kt7340.exe
# cross-built, a wine prefix of its own with the dialog font replaced by one with the Chinese
# characters, and kt7340-sim on a pseudo-terminal that wine sees as COM1.

# Cross-builds kt7340.exe into $1 (default build-windows) with the build type $2 (default Debug
# with the test flags and warnings as errors; other types without, as GCC 12 warns falsely
# about string copies at -O3) and sets exe to it.
build_windows_exe() {
  local dir=${1:-build-windows} type=${2:-Debug} werror=OFF
  [ "$type" = Debug ] && werror=ON
  cmake -S . -B "$dir" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
    -DCMAKE_BUILD_TYPE="$type" -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1" -DKT7340_WERROR="$werror" \
    >/dev/null
  cmake --build "$dir" -j2 --target kt7340 >/dev/null
  exe=$dir/src/app/kt7340.exe
}

# Builds kt7340-sim for this machine (in build/, as ./run does) and sets sim to it.
build_sim() {
  if [ ! -f build/CMakeCache.txt ]; then
    cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  fi
  cmake --build build -j2 --target kt7340-sim >/dev/null
  sim=$(find build -type f -name kt7340-sim -perm -u+x | head -n 1)
}

# A wine prefix in $1 (made once), its "宋体" drawn with WenQuanYi Micro Hei; exports WINE*.
use_wine_prefix() {
  export WINEPREFIX=$1 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot --init >/dev/null 2>&1
    for face in 宋体 SimSun; do
      wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /t REG_SZ \
        /d 'WenQuanYi Micro Hei' /f >/dev/null 2>&1
    done
    wineserver --wait
  fi
}

# Starts kt7340-sim with the given options, linked as COM1 of the prefix.
start_sim_on_com1() {
  local link="$WINEPREFIX/dosdevices/com1"
  rm -f "$link"
  "$sim" --quiet --link "$link" "$@" >"$work/sim.log" 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do
    [ -L "$link" ] && return 0
    sleep 0.1
  done
  echo "kt7340-sim made no link $link" >&2
  return 1
}

# Waits up to $2 seconds (default 60) for a visible window titled exactly $1; prints its id.
find_titled_window() {
  local end=$((SECONDS + ${2:-60}))
  while [ $SECONDS -lt $end ]; do
    for id in $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null); do
      echo "$id"
      return 0
    done
    sleep 0.05
  done
  return 1
}
