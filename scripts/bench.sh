#!/usr/bin/env bash
# Builds a release tree and runs every benchmark; each prints its figures and the ratio it is judged by.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export TESSALY_BUILD_DIR=${TESSALY_BENCH_BUILD_DIR:-$root/build-bench}

"$root/scripts/build.sh" -DCMAKE_BUILD_TYPE=Release -DTESSALY_TESTS=OFF
for benchmark in "$TESSALY_BUILD_DIR"/bin/*_benchmark; do
    echo "== $(basename "$benchmark")"
    "$benchmark" --benchmark_min_time=1
done
