#!/usr/bin/env bash
# Times orvctl against the demonstration bus of orvtool-sim served on a
# pseudo-terminal (devices acknowledge within 2 ms) and prints each time beside
# its floor: what the pauses the tool keeps and the silence that ends a read
# cost at least. Usage: bench/run.sh [BUILD_DIR] [--turnaround-ms MS]
set -euo pipefail
build=${1:-build}
shift || true
orvctl="$build/ctl/orvctl"
cmake --build "$build" --target orvctl orv-pty-bus -j2 >/dev/null

coproc BUS { exec "$build/bench/orv-pty-bus" "$@"; }
trap 'kill "$BUS_PID" 2>/dev/null || true' EXIT
read -r port <&"${BUS[0]}"
out=$(mktemp -d)

# Seconds one command takes.
seconds() {
  local start=$EPOCHREALTIME
  "$orvctl" --port "$port" -q "$@" >"$out/stdout"
  sum "$EPOCHREALTIME - $start"
}

sum() { awk "BEGIN { print $1 }"; }

devices=5
reply=0.300     # the pause before an acknowledged address's replies are read
silence=0.070   # the empty read that ends them
block=0.050     # the pause after each of the 15 blocks of an Input8 configuration
# The fast scan's acknowledgement wait: twice the slowest acknowledgement, at least 20 ms.
turnaround=$([ "${1:-}" = --turnaround-ms ] && echo "$2" || echo 2)
wait=$(sum "($turnaround * 2 > 20 ? $turnaround * 2 : 20) / 1000")
broadcast=$(sum "$reply + $silence")

printf '%-28s %8s %8s\n' command seconds floor
printf '%-28s %8.2f %8.2f\n' "discover" "$(seconds discover)" "$broadcast"
printf '%-28s %8.2f %8.2f\n' "discover --all" "$(seconds discover --all)" \
  "$(sum "$broadcast + $devices * $silence + 255 * $wait + $devices * $broadcast")"
found=$(wc -l <"$out/stdout")
printf '%-28s %8.2f %8.2f\n' "read-config 3 (an Input8)" "$(seconds read-config 3 -o "$out/input8.bin")" \
  "$(sum "$broadcast + 15 * $block")"
echo "discover --all found $found of $devices devices"
rm -rf "$out"
