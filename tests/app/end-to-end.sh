#!/usr/bin/env bash
# Drives KavrexAssoc.exe under Wine with real key presses through the X server
# and checks what it shows, what it leaves in the registry and how it exits.
# Usage: end-to-end.sh BUILD_DIR
set -uo pipefail
build=$1
run="$build/wine-run.sh"
probe="$build/tests/window_probe.exe"
[ -n "${DISPLAY:-}" ] || . "$(dirname "$0")/../../scripts/virtual-display.sh"

"$run" "$probe" ready
dir="$build/wineprefix/drive_c/Program Files/Kavrex Tool"
mkdir -p "$dir"
cp "$build/KavrexAssoc.exe" "$dir/"
cp "$probe" "$dir/Kavrex.exe" # a stand-in handler: only its name and place matter
shots="$build/screenshots"
mkdir -p "$shots"

failures=0
check() { # what, expected, actual
  if [ "$2" == "$3" ]; then
    echo "ok: $1"
  else
    printf 'FAIL: %s\n--- expected\n%s\n--- actual\n%s\n' "$1" "$2" "$3"
    failures=$((failures + 1))
  fi
}
probe() { "$run" "$probe" "$@" | tr -d '\r'; }
visible() { # the program's windows on screen; the application window is 1x1 and left out
  local id WIDTH
  for id in $(xdotool search --onlyvisible --name '^Associate with$' 2>/dev/null); do
    WIDTH=$(xdotool getwindowgeometry --shell "$id" | sed -n 's/^WIDTH=//p')
    [ "${WIDTH:-0}" -gt 1 ] && echo "$id"
  done
}

start() { # starts the program and waits for its dialog; sets pid and dialog
  "$run" "C:\\Program Files\\Kavrex Tool\\KavrexAssoc.exe" &
  pid=$!
  dialog=""
  for _ in $(seq 100); do
    dialog=$(visible | head -n 1)
    [ -n "$dialog" ] && break
    sleep 0.1
  done
  [ -n "$dialog" ] || { echo "FAIL: no dialog"; exit 1; }
  sleep 0.3
  xdotool windowfocus --sync "$dialog"
}
keys() { xdotool key --delay 100 "$@"; }
box_text() { probe box-text; }
dismiss_box() { # with the keyboard, at the box's own window
  local box
  box=$(visible | grep -v -x "$dialog" | head -n 1)
  xdotool windowfocus --sync "$box"
  keys Return
}
finish() { # waits for the program to end; sets code
  for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    kill "$pid"
    code="still running"
  else
    wait "$pid"
    code=$?
  fi
}

short=$(probe short-path 'C:\Program Files\Kavrex Tool\Kavrex.exe')
layout=".rar=KavrexAssoc
KavrexAssoc=KavrexAssoc file
KavrexAssoc\\DefaultIcon=$short,0
KavrexAssoc\\Shell=(none)
KavrexAssoc\\Shell\\Open=(none)
KavrexAssoc\\Shell\\Open\\Command=\"$short\" \"%1\""
probe delete .rar KavrexAssoc >/dev/null

# Enter right after start-up registers; a second run registers again.
for round in first second; do
  start
  if [ "$round" == first ]; then
    geometry=$(xdotool getwindowgeometry --shell "$dialog")
    eval "$geometry"
    import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" "$shots/dialog.png"
  fi
  keys Return
  check "$round run: registered" "Associations with this application have been registered." \
    "$(box_text)"
  dismiss_box
  finish
  check "$round run: exit code" 0 "$code"
  check "$round run: layout" "$layout" "$(probe dump .rar KavrexAssoc)"
done
case "$short" in *"~"*) echo "ok: the handler is named by its short path ($short)" ;;
  *) check "short path" "a mangled 8.3 path" "$short" ;; esac

# The box cleared with the keyboard, then OK: removed.
start
keys space Tab Return
check "cleared: removed" "Associations with this application have been removed" "$(box_text)"
dismiss_box
finish
check "cleared: exit code" 0 "$code"
check "cleared: nothing left" "" "$(probe dump .rar KavrexAssoc)"

# Escape does nothing; Enter on Cancel closes without change.
probe delete .rar KavrexAssoc >/dev/null
start
keys Escape
sleep 0.5
check "Escape: dialog still open" "$dialog" "$(visible | grep -x "$dialog")"
keys Tab Tab Return
finish
check "Cancel: exit code" 0 "$code"
check "Cancel: nothing registered" "" "$(probe dump .rar KavrexAssoc)"

echo "screenshot: $shots/dialog.png"
[ "$failures" -eq 0 ]
