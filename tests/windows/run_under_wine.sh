#!/usr/bin/env bash
# Runs one Windows program under Wine within a time limit: run_under_wine.sh PREFIX PROGRAM [ARGS...].
set -euo pipefail
source "$(dirname "$0")/wine_env.sh" "$1"
shift
exec timeout --kill-after=10 "$wine_timeout" wine "$@"
