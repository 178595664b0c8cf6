#!/usr/bin/env bash
# Measures, under Wine with its server kept running, how long KavrexAssoc.exe
# and kavrex-assoc --version take to start against their floors: a bare dialog
# program with the same manifest, controls and font (also with the application
# window the dialog's design asks for), and a static console program that
# prints one line. Prints the medians of 21 interleaved runs and the ratios,
# each also paired run by run. A measurement, not a test: it passes whatever it
# measures.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-21}

scripts/install-deps.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target KavrexAssoc kavrex-assoc startup_timer floor_dialog \
  floor_console window_probe >/dev/null
build="$PWD/build/win64"
. scripts/virtual-display.sh
export WINEPREFIX="$build/wineprefix"
windows() { # the Windows path of a file of this machine
  local path
  path=$(realpath "$1")
  echo "Z:${path//\//\\}"
}
"$build/wine-run.sh" "$build/tests/window_probe.exe" ready # a prefix, on this display
wineserver -k 2>/dev/null || true
wineserver -p # kept running: each start then costs what it costs a user
trap 'wineserver -k 2>/dev/null || true; stop_virtual_display' EXIT
"$build/wine-run.sh" "$build/tools/startup/startup_timer.exe" "$runs" \
  "$(windows "$build/KavrexAssoc.exe")" "$(windows "$build/tools/startup/floor_dialog.exe")" \
  "$(windows "$build/kavrex-assoc.exe")" "$(windows "$build/tools/startup/floor_console.exe")" |
  tr -d '\r'
