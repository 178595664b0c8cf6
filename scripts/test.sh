#!/usr/bin/env bash
# Builds everything and runs every test: the sources' format and clang-tidy,
# the host build (emulated platform, sanitizers), then the Windows x64 and x86
# builds under Wine, each with its package, its CMake package and the example.
set -euo pipefail
cd "$(dirname "$0")/.."

# How long each phase took, printed at the end, so that the next person sees
# where the time goes.
phases=()
timed() { # NAME COMMAND...: runs it and notes how long it took; its status
  local start=$SECONDS status=0
  "${@:2}" || status=$?
  phases+=("$(printf '%-34s %5d s' "$1" $((SECONDS - start)))")
  return $status
}
report_times() {
  echo "=== time per phase"
  printf '%s\n' "${phases[@]}"
  for preset in win64 win32; do
    [ -f "build/$preset/times" ] && cat "build/$preset/times"
  done
  return 0
}

timed "install step" scripts/install-deps.sh
timed "checks (format, shellcheck, workflows)" scripts/check-sources.sh quick
timed "clang-tidy" scripts/check-sources.sh tidy
. scripts/virtual-display.sh
# A step that fails ends the run: the tests still running in the background end with it.
trap 'report_times; jobs -p | xargs -r kill 2>/dev/null; stop_virtual_display' EXIT

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

timed "host build and tests" cmake --workflow --preset host

# Both Windows builds first, then their tests side by side: under Wine a test
# mostly waits, and each build has its own display and prefix. Each one's
# tests, package and release checks are one log, printed when it is done.
check_windows() { # PRESET
  local start=$SECONDS status=0
  stop_wine "$1"
  ctest --preset "$1" || status=1
  local tested=$SECONDS
  stop_wine "$1"
  cpack --preset "$1" && tests/release/check-release.sh "build/$1" || status=1
  stop_wine "$1"
  printf '%-34s %5d s\n%-34s %5d s\n' "$1 tests" $((tested - start)) \
    "$1 package and release checks" $((SECONDS - tested)) >"build/$1/times"
  return $status
}
presets=(win64 win32)
for preset in "${presets[@]}"; do
  echo "=== $preset: build"
  rm -f "build/$preset/times"
  cmake --preset "$preset" >/dev/null
  # Where the x86 tests cannot run, they are not built either: the programs,
  # the libraries the package and its release check read, and nothing else.
  targets=()
  if [ "$preset" == win32 ] && [ -n "$(why_no_x86)" ]; then
    targets=(--target KavrexAssoc kavrex-assoc kavrex_platform kavrex_association)
  fi
  timed "$preset build" cmake --build --preset "$preset" "${targets[@]}"
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
    timed "$preset package (no tests)" cpack --preset "$preset"
    echo "NOT RUN: the x86 tests; $(why_no_x86)."
    [ "${KAVREX_REQUIRE_X86:-0}" != 1 ] || failed=1
    tests/release/check-release.sh "build/$preset" build-only
    continue
  fi
  wait "${checks[$preset]}" || failed=1
  cat "build/$preset/check.log"
done
exit $failed
