#!/usr/bin/env bash
# Builds the .deb of the build folder BUILD_DIR and checks it with lintian:
# any error, warning or info fails, unless an override shipped in the package
# explains it.
# Usage: packaging/lintian.sh [BUILD_DIR]
set -euo pipefail
build=$(realpath "${1:-build}")
out=$build/lintian
rm -rf "$out"
cpack --config "$build/CPackConfig.cmake" -B "$out" >/dev/null
lintian --display-info --fail-on error,warning,info "$out"/orvtool_*.deb
rm -rf "$out"
echo "lintian: no error, warning or info"
