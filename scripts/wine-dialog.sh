# shellcheck shell=bash
# Sourced: finds the program's "Associate with" windows on the X display.

# The program's windows on screen, dialog and message boxes; the application
# window (1x1) is left out.
dialog_windows() {
  local id WIDTH
  for id in $(xdotool search --onlyvisible --name '^Associate with$' 2>/dev/null); do
    WIDTH=$(xdotool getwindowgeometry --shell "$id" | sed -n 's/^WIDTH=//p')
    [ "${WIDTH:-0}" -gt 1 ] && echo "$id"
  done
}

# Waits up to 10 s for the dialog and prints its window id.
wait_for_dialog() {
  local id
  for _ in $(seq 100); do
    id=$(dialog_windows | head -n 1)
    [ -n "$id" ] && echo "$id" && return 0
    sleep 0.1
  done
  return 1
}
