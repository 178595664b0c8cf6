# shellcheck shell=bash
# Sourced: starts a private Xvfb display for this shell and stops it on exit,
# so that Windows' windows under Wine never appear on the user's desktop.
kavrex_display=99
while [ -e "/tmp/.X${kavrex_display}-lock" ] || [ -e "/tmp/.X11-unix/X${kavrex_display}" ]; do
  kavrex_display=$((kavrex_display + 1))
done
Xvfb ":${kavrex_display}" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
kavrex_xvfb_pid=$!
export DISPLAY=":${kavrex_display}"
for _ in $(seq 50); do
  [ -e "/tmp/.X11-unix/X${kavrex_display}" ] && break
  sleep 0.1
done
stop_virtual_display() { kill "$kavrex_xvfb_pid" 2>/dev/null || true; }
trap stop_virtual_display EXIT
