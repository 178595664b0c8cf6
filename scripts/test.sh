#!/usr/bin/env bash
# Builds everything and runs every test: the host build (emulated platform,
# sanitizers), then the Windows x64 and x86 builds under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
. scripts/virtual-display.sh

# Some kernels refuse 32-bit executables, and with them Wine's x86 loader: the
# x86 build is then built but cannot be run here.
runs_x86() { /usr/lib/wine/wine --version >/dev/null 2>&1; }

for preset in host win64 win32; do
  echo "=== $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  if [ "$preset" == win32 ] && ! runs_x86; then
    echo "NOT RUN: the x86 tests; this machine's kernel refuses 32-bit executables."
    continue
  fi
  if [ "$preset" != host ]; then
    # A wineserver started without this display would give windows no driver.
    WINEPREFIX="$PWD/build/$preset/wineprefix" wineserver -k 2>/dev/null || true
  fi
  ctest --preset "$preset"
  if [ "$preset" != host ]; then
    WINEPREFIX="$PWD/build/$preset/wineprefix" wineserver -k 2>/dev/null || true
  fi
done
