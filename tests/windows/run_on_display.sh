#!/usr/bin/env bash
# Runs one Windows program under Wine on a private Xvfb display, within a time limit:
# run_on_display.sh PREFIX PROGRAM [ARGS...].
set -euo pipefail
source "$(dirname "$0")/wine_env.sh" "$1"
shift
# The prefix's Wine processes (a desktop started without a display among them) end first.
timeout 30 wineserver --kill || true
exec timeout --kill-after=10 "$wine_timeout" xvfb-run --auto-servernum --server-args="-screen 0 1280x1024x24" \
    wine "$@"
