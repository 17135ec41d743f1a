#!/usr/bin/env bash
# The Windows programs under Wine on a desktop with a window manager (run by tests/gui/wm/run_under_wm.sh), as
# a user sees them: orvtool.exe without an interface shows its "not found" box in front, not under the splash;
# orvtool-sim.exe shows its log window in front where it overlaps the frame, View > Log Window brings it back
# in front once the frame covers it, and the progress box of a discovery is centred over the frame.
# Usage: gui_desktop_check.sh PREFIX orvtool.exe orvtool-sim.exe
set -euo pipefail
prefix=$1 orvtool=$2 orvtool_sim=$3
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine_env.sh" "$prefix"
timeout 30 wineserver --kill || true
program=""

fail() {
    echo "Windows desktop check failed: $*" >&2
    import -window root "$prefix/../gui_desktop_failure.png" 2>/dev/null &&
        echo "screen: $(cd "$prefix/.." && pwd)/gui_desktop_failure.png" >&2
    exit 1
}

stop_program() {
    [ -n "$program" ] && kill "$program" 2>/dev/null || true
    program=""
    timeout 30 wineserver --kill || true
}
trap stop_program EXIT

start() {
    timeout --kill-after=5 300 wine "$1" >/dev/null 2>&1 &
    program=$!
}

# The id of the visible window titled $1, within $2 seconds; nothing when there is none.
await_window() {
    local id=""
    for _ in $(seq $(($2 * 4))); do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1 || true)
        [ -n "$id" ] && break
        sleep 0.25
    done
    echo "$id"
}

# x y width height of a window on the screen.
geometry() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} /Width:/ {w=$2}
                             /Height:/ {h=$2} END {print x, y, w, h}'
}

# Whether window $1 is the one seen at its middle: the topmost window there is it or the window manager's
# frame around it.
in_front() {
    local x y w h top
    read -r x y w h < <(geometry "$1")
    eval "$(xdotool mousemove $((x + w / 2)) $((y + h / 2)) getmouselocation --shell)"
    top=$WINDOW
    [ "$top" = "$1" ] || xwininfo -id "$top" -children | grep -q "^ *$(printf '0x%x' "$1") "
}

# Waits up to $2 seconds for window $1 to be in front.
await_in_front() {
    for _ in $(seq $(($2 * 4))); do
        in_front "$1" && return 0
        sleep 0.25
    done
    return 1
}

# Menu commands by keyboard, as Windows users reach them: F10, then the arrows.
menu() {
    xdotool key --delay 150 F10 "$@"
}

# orvtool.exe without an interface: the box that says so is seen, the splash gone before it.
start "$orvtool"
box=$(await_window "ORV-NET  not found Error" 150)
[ -n "$box" ] || fail "orvtool.exe without an interface showed no \"ORV-NET  not found Error\" box"
sleep 1
in_front "$box" || fail "a window (the splash) covers the \"ORV-NET  not found Error\" box"
echo "the \"not found\" box is in front"
stop_program

start "$orvtool_sim"
frame=$(await_window "ORVANTA TOOL v1.32" 150)
log=$(await_window "ORVANTA Log Window" 60)
[ -n "$frame" ] && [ -n "$log" ] || fail "orvtool-sim.exe showed no frame and log window"
await_in_front "$log" 20 || fail "the log window opened behind the frame"
echo "the log window opened in front"

# The frame, clicked where the log window leaves it, comes in front; View > Log Window brings the log back.
read -r fx fy fw fh < <(geometry "$frame")
xdotool mousemove $((fx + 60)) $((fy + fh / 2)) click 1
for _ in $(seq 40); do in_front "$log" || break; sleep 0.25; done
in_front "$log" && fail "the frame, clicked, did not come in front of the log window"
xdotool mousemove $((fx + 60)) $((fy + fh / 2)) click 1
menu Right Right Right Down Return
await_in_front "$log" 10 || fail "View > Log Window left the log window behind the frame"
echo "View > Log Window brings the log window in front"

# Orvanta Devices > Discover All Devices (Fast): its progress boxes are centred over the frame.
xdotool mousemove $((fx + 60)) $((fy + fh / 2)) click 1
sleep 1
menu Right Down Down Return
progress=$(await_window "Looking for Orvanta Devices" 30)
[ -n "$progress" ] || fail "the fast discovery showed no progress box"
# Each box seen is given a second to be put in place; then its middle must be near the frame's.
checked=0
declare -A first_seen=()
for _ in $(seq 16); do
    sleep 0.5
    for box in $(xdotool search --onlyvisible --name "^Looking for Orvanta Devices\$" 2>/dev/null || true); do
        if [ -z "${first_seen[$box]:-}" ]; then first_seen[$box]=$SECONDS; continue; fi
        [ $((SECONDS - first_seen[$box])) -ge 1 ] || continue
        read -r x y w h < <(geometry "$box") || continue
        cx=$((x + w / 2)) cy=$((y + h / 2))
        if [ $((cx - fx - fw / 2)) -gt $((fw / 8)) ] || [ $((fx + fw / 2 - cx)) -gt $((fw / 8)) ] ||
           [ $((cy - fy - fh / 2)) -gt $((fh / 8)) ] || [ $((fy + fh / 2 - cy)) -gt $((fh / 8)) ]; then
            fail "a progress box has its middle at $cx,$cy, the frame its middle at $((fx + fw / 2)),$((fy + fh / 2))"
        fi
        checked=$((checked + 1))
    done
done
[ "$checked" -gt 0 ] || fail "no progress box stayed long enough to be measured"
echo "the progress boxes are centred over the frame"
