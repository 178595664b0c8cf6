#!/usr/bin/env bash
# An error that escapes everything, a bare std::terminate, a container's own
# error, and an error that escapes before the handler is installed each end the
# program with the fatal-error box and a non-zero exit code.
# Usage: fatal-error.sh WINE_RUN FATAL_ERROR_PROBE WINDOW_PROBE
set -uo pipefail
run=$1 fatal=$2 probe=$3
[ -n "${DISPLAY:-}" ] || . "$(dirname "$0")/../../scripts/virtual-display.sh"
"$run" "$probe" ready

. "$(dirname "$0")/../support/check.sh"

sentence="An unexpected error ended the program."
for case in "throw|$sentence

Disk full." "terminate|$sentence" "substr|$sentence

basic_string::substr: __pos (which is 7) > this->size() (which is 6)" "unguarded|$sentence

Disk full."; do
  mode=${case%%|*}
  "$run" "$fatal" "$mode" &
  pid=$!
  check "$mode: the box" "${case#*|}" "$("$run" "$probe" box-text | tr -d '\r')"
  box=$(xdotool search --onlyvisible --name '^Associate with$' | head -n 1)
  xdotool windowfocus --sync "$box"
  "$run" "$probe" activate-box
  xdotool key Return
  wait "$pid"
  check "$mode: exit code" 3 "$?"
done
all_passed
