#!/usr/bin/env bash
# Runs a Windows test program under Wine with two COM ports joined as a null-modem cable:
# run_with_com_pair.sh PREFIX PROGRAM [ARGS...]. socat joins two pseudo-terminals; the prefix's
# dosdevices links make them COM8 (ORV_TEST_COM_PORT) and COM9 (ORV_TEST_DEVICE_COM_PORT). A test pulls the
# cable by creating the file ORV_TEST_UNPLUG_FILE: socat ends, and both ports hang up.
set -euo pipefail
prefix=$1
shift
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine_env.sh" "$prefix"

pair=$(mktemp -d)
socat_pid= watcher_pid=
cleanup() {
    [ -n "$watcher_pid" ] && kill "$watcher_pid" 2>/dev/null || true
    [ -n "$socat_pid" ] && kill "$socat_pid" 2>/dev/null || true
    rm -rf "$pair"
}
trap cleanup EXIT
socat pty,raw,echo=0,link="$pair/tool" pty,raw,echo=0,link="$pair/device" 2>/dev/null &
socat_pid=$!
for _ in $(seq 50); do
    [ -e "$pair/tool" ] && [ -e "$pair/device" ] && break
    sleep 0.1
done
[ -e "$pair/tool" ] || { echo "socat made no pseudo-terminal pair" >&2; exit 1; }
ln -sfn "$pair/tool" "$WINEPREFIX/dosdevices/com8"
ln -sfn "$pair/device" "$WINEPREFIX/dosdevices/com9"
(
    while [ ! -e "$pair/unplug" ]; do sleep 0.1; done
    kill "$socat_pid"
) &
watcher_pid=$!
# Wine's drive Z: is the Unix root.
export ORV_TEST_COM_PORT=COM8 ORV_TEST_DEVICE_COM_PORT=COM9 ORV_TEST_UNPLUG_FILE="Z:${pair//\//\\}\\unplug"
timeout --kill-after=10 "$wine_timeout" wine "$@"
