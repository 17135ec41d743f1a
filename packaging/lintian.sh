#!/usr/bin/env bash
# Builds the .deb of the build folder BUILD_DIR and checks it with lintian:
# any error or warning fails, unless an override shipped in the package
# explains it.
# Usage: packaging/lintian.sh [BUILD_DIR]
set -euo pipefail
build=$(realpath "${1:-build}")
out=$build/lintian
rm -rf "$out"
cpack --config "$build/CPackConfig.cmake" -B "$out" >/dev/null
lintian --fail-on error,warning "$out"/orvtool_*.deb
rm -rf "$out"
echo "lintian: no error or warning"
