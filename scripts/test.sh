#!/usr/bin/env bash
# Builds everything and runs every test: the sources' format and clang-tidy,
# the host build (emulated platform, sanitizers), then the Windows x64 and x86
# builds under Wine, each with its package, its CMake package and the example.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
scripts/check-sources.sh
. scripts/virtual-display.sh

# Some kernels refuse 32-bit executables, and with them Wine's x86 loader: the
# x86 build is then built and packaged but cannot be run here.
runs_x86() { /usr/lib/wine/wine --version >/dev/null 2>&1; }
# A wineserver started without this display would give windows no driver.
stop_wine() { WINEPREFIX="$PWD/build/$1/wineprefix" wineserver -k 2>/dev/null || true; }

cmake --workflow --preset host
for preset in win64 win32; do
  echo "=== $preset"
  if [ "$preset" == win32 ] && ! runs_x86; then
    cmake --preset "$preset"
    cmake --build --preset "$preset"
    cpack --preset "$preset"
    echo "NOT RUN: the x86 tests; this machine's kernel refuses 32-bit executables."
    tests/release/check-release.sh "build/$preset" build-only
    continue
  fi
  stop_wine "$preset"
  cmake --workflow --preset "$preset"
  tests/release/check-release.sh "build/$preset"
  stop_wine "$preset"
done
