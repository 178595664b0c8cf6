#!/usr/bin/env bash
# CTest's fixture for the Windows tests: a private X display of this build, and
# the build's Wine prefix served on it (a wineserver started without a display
# gives windows no driver). Xvfb's lock file holds its process id.
# Usage: virtual-display.sh start|stop DISPLAY_NUMBER WINE_PREFIX
set -u
action=$1 number=$2 prefix=$3
socket=/tmp/.X11-unix/X$number
WINEPREFIX=$prefix wineserver -k 2>/dev/null
case $action in
start)
  if [ ! -e "$socket" ]; then
    setsid Xvfb ":$number" -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
  fi
  for _ in $(seq 100); do
    [ -e "$socket" ] && exit 0
    sleep 0.1
  done
  echo "Xvfb :$number did not start" >&2
  exit 1
  ;;
stop)
  pid=$(tr -d ' \n' <"/tmp/.X$number-lock" 2>/dev/null)
  [ -z "$pid" ] || kill "$pid" 2>/dev/null
  exit 0
  ;;
esac
