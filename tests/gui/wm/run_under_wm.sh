#!/usr/bin/env bash
# Runs a command on a private X display laid out as a technician's desktop:
# 1366 x 768 (or the size given), openbox as window manager, a 32-pixel panel
# margin along the top.
# Usage: run_under_wm.sh [--size WIDTHxHEIGHT] COMMAND [ARGUMENTS...]; exits
# with the command's status.
set -euo pipefail
size=1366x768
if [ "${1:-}" = "--size" ]; then
  size=$2
  shift 2
fi
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
xvfb=""
wm=""
cleanup() {
  [ -n "$wm" ] && kill "$wm" 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# The server picks a free display itself, so parallel runs do not collide;
# -noreset, or it resets when the probe below disconnects and refuses openbox.
Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
# The number is complete once its line ends; the server then takes clients.
for _ in $(seq 100); do
  [ "$(wc -l <"$work/display")" -ge 1 ] && break
  sleep 0.05
done
[ "$(wc -l <"$work/display")" -ge 1 ] || { cat "$work/xvfb.log" >&2; echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"
for _ in $(seq 100); do
  xprop -root >/dev/null 2>&1 && break
  sleep 0.05
done

openbox --config-file "$here/rc.xml" >"$work/openbox.log" 2>&1 &
wm=$!
# openbox announces itself on the root window once it manages the screen.
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.05
done
xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' \
  || { cat "$work/openbox.log" >&2; echo "openbox did not start" >&2; exit 1; }

# No accessibility bus on this private display.
export NO_AT_BRIDGE=1
status=0
"$@" || status=$?
exit "$status"
