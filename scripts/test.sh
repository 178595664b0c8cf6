#!/usr/bin/env bash
# Builds everything and runs every test: the sources' format and clang-tidy,
# the host build (emulated platform, sanitizers), then the Windows x64 and x86
# builds under Wine, each with its package, its CMake package and the example.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
scripts/check-sources.sh
. scripts/virtual-display.sh

# Some machines cannot have the 32-bit Wine, and some kernels refuse 32-bit
# executables: the x86 build is then built and packaged but not run here.
# KAVREX_REQUIRE_X86=1 (the hosted job) makes that a failure.
why_no_x86() {
  if [ ! -x /usr/lib/wine/wine ]; then
    echo "the 32-bit Wine (wine32:i386) is not installed here"
  elif ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
    echo "this machine's kernel refuses 32-bit executables"
  fi
}
# A wineserver started without this display would give windows no driver.
stop_wine() { WINEPREFIX="$PWD/build/$1/wineprefix" wineserver -k 2>/dev/null || true; }

cmake --workflow --preset host

# Both Windows builds first, then their tests side by side: under Wine a test
# mostly waits, and each build has its own display and prefix. Each one's
# tests, package and release checks are one log, printed when it is done.
check_windows() { # PRESET
  stop_wine "$1"
  ctest --preset "$1" && cpack --preset "$1" && tests/release/check-release.sh "build/$1"
  local status=$?
  stop_wine "$1"
  return $status
}
presets=(win64 win32)
for preset in "${presets[@]}"; do
  echo "=== $preset: build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
declare -A checks
for preset in "${presets[@]}"; do
  if [ "$preset" == win32 ] && [ -n "$(why_no_x86)" ]; then
    continue
  fi
  check_windows "$preset" >"build/$preset/check.log" 2>&1 &
  checks[$preset]=$!
done
failed=0
for preset in "${presets[@]}"; do
  echo "=== $preset: tests, package, release checks"
  if [ -z "${checks[$preset]:-}" ]; then
    cpack --preset "$preset"
    echo "NOT RUN: the x86 tests; $(why_no_x86)."
    [ "${KAVREX_REQUIRE_X86:-0}" != 1 ] || failed=1
    tests/release/check-release.sh "build/$preset" build-only
    continue
  fi
  wait "${checks[$preset]}" || failed=1
  cat "build/$preset/check.log"
done
exit $failed
