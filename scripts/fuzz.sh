#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time.
# Usage: fuzz.sh [seconds per target]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVRZ_FUZZ=ON -DVRZ_BENCH=OFF \
  -DCMAKE_CXX_COMPILER=clang++ >/dev/null
targets=$(cd fuzz && ls *_fuzzer.cpp 2>/dev/null | sed 's/\.cpp$//' || true)
[ -n "$targets" ] || { echo "no fuzz targets"; exit 0; }
cmake --build build/fuzz -j "$(nproc)" --target $targets
for t in $targets; do
  corpus=build/fuzz/corpus/$t
  mkdir -p "$corpus"
  seeds=()
  [ -d "tests/data/fuzz/$t" ] && seeds=("tests/data/fuzz/$t")
  echo "-- $t for ${seconds}s"
  build/fuzz/fuzz/$t -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
    -print_final_stats=0 "$corpus" "${seeds[@]}" 2>&1 | tail -n 3
done
