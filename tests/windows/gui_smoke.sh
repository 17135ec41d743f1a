#!/usr/bin/env bash
# orvtool-sim.exe under Wine on a private Xvfb display shows its frame, titled "ORVANTA TOOL v1.32":
# gui_smoke.sh PREFIX PROGRAM.
set -euo pipefail
prefix=$1 program=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine_env.sh" "$prefix"
title="ORVANTA TOOL v1.32"
# The prefix's Wine processes (a desktop started without a display among them) end first.
timeout 30 wineserver --kill || true

exec timeout --kill-after=10 "$wine_timeout" xvfb-run --auto-servernum --server-args="-screen 0 1280x1024x24" \
    bash -c '
        timeout --kill-after=5 120 wine "$1" >/dev/null 2>&1 &
        program_pid=$!
        shown=no
        for _ in $(seq 90); do
            if xdotool search --name "^$2\$" >/dev/null 2>&1; then shown=yes; break; fi
            kill -0 $program_pid 2>/dev/null || break
            sleep 1
        done
        kill $program_pid 2>/dev/null
        timeout 30 wineserver --kill || true
        if [ $shown = yes ]; then echo "frame \"$2\" shown"; else echo "no frame \"$2\" within 90 s" >&2; exit 1; fi
    ' gui_smoke "$program" "$title"
