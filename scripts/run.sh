#!/usr/bin/env bash
# Builds KavrexAssoc.exe and starts it under Wine: in this build's private
# prefix, or in your WINEPREFIX when that is set, on your display. Without a
# display it starts a virtual one, saves a screenshot of the dialog, prints
# where, and closes the dialog with Cancel.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target KavrexAssoc window_probe
build="$PWD/build/win64"
[ -z "${WINEPREFIX:-}" ] || export KAVREX_WINEPREFIX="$WINEPREFIX"
run() { "$build/wine-run.sh" "$@"; }

if [ -n "${DISPLAY:-}" ]; then
  # On your desktop its window manager handles the dialog, as Windows would:
  # a prefix of its own, not the tests' (whose windows no manager handles).
  export KAVREX_MANAGED_WINDOWS=1 KAVREX_WINEPREFIX="${KAVREX_WINEPREFIX:-$build/wineprefix-desktop}"
  run "$build/KavrexAssoc.exe"
  exit
fi

. scripts/virtual-display.sh
run "$build/tests/window_probe.exe" ready # a new prefix is prepared on this display
run "$build/KavrexAssoc.exe" &
pid=$!
. scripts/wine-dialog.sh
dialog=$(wait_for_dialog) || { echo "The dialog did not appear." >&2; exit 1; }
eval "$(xdotool getwindowgeometry --shell "$dialog")"
sleep 0.5
mkdir -p "$build/screenshots"
shot="$build/screenshots/run.png"
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" "$shot"
echo "Screenshot of the dialog: $shot"
xdotool windowfocus --sync "$dialog"
run "$build/tests/window_probe.exe" activate-dialog
xdotool key --delay 100 Tab Tab Return # Cancel: nothing changes
wait "$pid"
# Its windows were on the display that ends now.
WINEPREFIX="${KAVREX_WINEPREFIX:-$build/wineprefix}" wineserver -k 2>/dev/null || true
