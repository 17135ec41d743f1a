#!/usr/bin/env bash
# Runs one fuzz target for a number of minutes: scripts/fuzz.sh TARGET MINUTES.
# Builds it with clang into build-fuzz, starts from the committed seeds in
# fuzz/corpus/TARGET and keeps what it learns in build-fuzz/corpus/TARGET.
# A finding stops the run and is left as build-fuzz/findings/TARGET/crash-*;
# copy it into fuzz/corpus/TARGET once mended, so that ctest replays it.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ $# -ne 2 ]; then
  echo "usage: scripts/fuzz.sh TARGET MINUTES   (targets: $(ls fuzz/corpus | tr '\n' ' '))" >&2
  exit 2
fi
target=$1
minutes=$2
[ -d "fuzz/corpus/$target" ] || { echo "fuzz.sh: no target $target" >&2; exit 2; }

build=build-fuzz
if [ ! -f $build/CMakeCache.txt ]; then
  CC=clang CXX=clang++ cmake -S . -B $build -DORV_FUZZ=ON -DORV_BUILD_GUI=OFF -DBUILD_TESTING=OFF
fi
cmake --build $build --target "fuzz_$target" -j2

mkdir -p "$build/corpus/$target" "$build/findings/$target"
exec "$build/fuzz/fuzz_$target" -max_total_time=$((minutes * 60)) -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix="$build/findings/$target/" -print_final_stats=1 \
  "$build/corpus/$target" "fuzz/corpus/$target"
