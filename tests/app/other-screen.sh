#!/usr/bin/env bash
# Runs dialog tests on a screen of another resolution or size: its own virtual
# display and its own prefix, whose LogPixels gives the dots per inch.
# Usage: other-screen.sh WINE_RUN WINDOW_TESTS PREFIX DPI WIDTHxHEIGHT GTEST_FILTER
set -euo pipefail
run=$1 tests=$2 prefix=$3 dpi=$4 size=$5 filter=$6
export KAVREX_WINEPREFIX="$prefix"

display=200
while [ -e "/tmp/.X${display}-lock" ] || [ -e "/tmp/.X11-unix/X${display}" ]; do
  display=$((display + 1))
done
Xvfb ":$display" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=":$display"
trap 'WINEPREFIX="$KAVREX_WINEPREFIX" wineserver -k 2>/dev/null; kill $xvfb 2>/dev/null' EXIT
for _ in $(seq 50); do
  [ -e "/tmp/.X11-unix/X$display" ] && break
  sleep 0.1
done

"$run" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
# The resolution and the display take effect for a wineserver started after them.
WINEPREFIX="$KAVREX_WINEPREFIX" wineserver -k 2>/dev/null || true
KAVREX_EXPECT_DPI=$dpi KAVREX_EXPECT_SMALL_SCREEN=$([ "${size%%x*}" -lt 300 ] && echo "$size" || true) \
  "$run" "$tests" --gtest_filter="$filter"
