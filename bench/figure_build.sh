# Sourced by the figure scripts that time the programs themselves: use_program_build TARGET...
# sets build to the folder of the binaries they run: KT7340_BUILD=DIR when set (an existing
# build, e.g. build-check, with sanitizers: slower), else build/, where the targets are first
# built optimised.
use_program_build() {
  if [ -n "${KT7340_BUILD:-}" ]; then
    build=$KT7340_BUILD
  else
    build=build
    cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKT7340_WITH_QT=ON >/dev/null
    cmake --build build -j2 --target "$@" >/dev/null
  fi
}
