#!/usr/bin/env bash
# Times orvctl against the demonstration bus of orvtool-sim served on a
# pseudo-terminal (devices acknowledge within 2 ms) and prints each time beside
# its floor, what the pauses orvctl keeps and the silence that ends a read cost
# at least, and its goal. BASELINE=/path/to/another/orvctl times that program
# in the same run, side by side. A turnaround range (80-120) is spread over the
# five devices. Usage: bench/run.sh [BUILD_DIR] [--turnaround-ms MS[-MS]]
set -euo pipefail
build=${1:-build}
shift || true
orvctl="$build/ctl/orvctl"
baseline=${BASELINE:-}
cmake --build "$build" --target orvctl orv-pty-bus -j2 >/dev/null

coproc BUS { exec "$build/bench/orv-pty-bus" "$@"; }
trap 'kill "$BUS_PID" 2>/dev/null || true' EXIT
read -r port <&"${BUS[0]}"
out=$(mktemp -d)

# Seconds one command of the program $1 takes; its output is kept in $out/$2.
seconds() {
  local program=$1 name=$2 start=$EPOCHREALTIME
  shift 2
  "$program" --port "$port" -q "$@" >"$out/$name"
  sum "$EPOCHREALTIME - $start"
}

sum() { awk "BEGIN { print $1 }"; }

devices=5
silence=0.070     # the empty read that ends the answers to one address
broadcast=0.140   # the silence that ends a broadcast's answers at the least
block=0.050       # the pause after each of the 15 blocks of an Input8 configuration
# The fast scan's acknowledgement wait: twice the slowest acknowledgement, at least 10 ms.
slowest=$([ "${1:-}" = --turnaround-ms ] && echo "${2##*-}" || echo 2)
wait=$(sum "($slowest * 2 > 10 ? $slowest * 2 : 10) / 1000")

# One row: the command's time with this build (and the baseline), its floor and its goal.
row() {
  local label=$1 floor=$2 goal=$3 name=$4
  shift 4
  local ours theirs=""
  ours=$(seconds "$orvctl" "$name" "$@")
  [ -n "$baseline" ] && theirs=$(seconds "$baseline" "base-$name" "$@")
  printf '%-28s %8.2f %9s %8.2f %8.2f\n' "$label" "$ours" "${theirs:--}" "$floor" "$goal"
}

printf '%-28s %8s %9s %8s %8s\n' command seconds baseline floor goal
row "discover" "$broadcast" 0.45 discover discover
row "discover --all" "$(sum "$broadcast + 2 * $devices * $silence + (255 - $devices) * $wait")" 6 all \
  discover --all
row "read-config 3 (an Input8)" "$(sum "$broadcast + 15 * $block")" 1.2 read read-config 3 -o "$out/input8.bin"
echo "discover found $(wc -l <"$out/discover") and discover --all $(wc -l <"$out/all") of $devices devices"
if [ -n "$baseline" ]; then
  echo "the baseline: discover found $(wc -l <"$out/base-discover") and discover --all $(wc -l <"$out/base-all")"
fi
rm -rf "$out"
