#!/usr/bin/env bash
# Starts the program as a user does (on the desktop of run_under_wm.sh) and
# checks what start-up shows: the frame inside the work area, resizable and
# maximisable, and no GTK critical message on the way.
# Usage: startup_check.sh PROGRAM
set -euo pipefail
program=$1
log=$(mktemp)
# Settings of its own: none of the user's, and nothing written among them.
export XDG_CONFIG_HOME=$(mktemp -d)
"$program" 2>"$log" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$log" "$XDG_CONFIG_HOME"' EXIT

fail() {
  echo "FAIL: $*" >&2
  cat "$log" >&2
  exit 1
}

# Searched again until found: a window that goes while xdotool walks the
# tree (the splash) makes one search fail.
found=""
for _ in $(seq 300); do
  found=$(xdotool search --onlyvisible --name '^ORVANTA TOOL v1\.32$' 2>/dev/null || true)
  [ -n "$found" ] && break
  sleep 0.1
done
[ -n "$found" ] || fail "the frame did not appear"
window=$(head -n1 <<<"$found")
# Let start-up finish laying out before measuring.
sleep 1

read -r left right top bottom < <(xprop -id "$window" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
info=$(xwininfo -id "$window")
X=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info")
Y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info")
WIDTH=$(sed -n 's/.*Width: *//p' <<<"$info")
HEIGHT=$(sed -n 's/.*Height: *//p' <<<"$info")
read -r areaX areaY areaWidth areaHeight < <(xprop -root _NET_WORKAREA | sed 's/.*= //; s/,//g' | cut -d' ' -f1-4)
outerLeft=$((X - left))
outerTop=$((Y - top))
outerRight=$((X + WIDTH + right))
outerBottom=$((Y + HEIGHT + bottom))
echo "frame ${outerLeft},${outerTop} to ${outerRight},${outerBottom}; work area ${areaX},${areaY} ${areaWidth}x${areaHeight}"
[ "$outerLeft" -ge "$areaX" ] && [ "$outerTop" -ge "$areaY" ] \
  && [ "$outerRight" -le $((areaX + areaWidth)) ] && [ "$outerBottom" -le $((areaY + areaHeight)) ] \
  || fail "the frame runs outside the work area"

actions=$(xprop -id "$window" _NET_WM_ALLOWED_ACTIONS)
for action in _NET_WM_ACTION_RESIZE _NET_WM_ACTION_MAXIMIZE_HORZ _NET_WM_ACTION_MAXIMIZE_VERT; do
  grep -q "$action" <<<"$actions" || fail "the window manager does not offer $action"
done

if grep -q 'Gtk-CRITICAL' "$log"; then
  fail "start-up printed a GTK critical message"
fi
echo "start-up clean"
