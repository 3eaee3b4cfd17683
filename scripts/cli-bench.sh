#!/usr/bin/env bash
# Times tessaly-cli's check, list, get and dump on the generated 32 x 1024-item template against cat on
# the same file, and fails when any of them takes a second or more. Each figure is the mean wall-clock
# time of one run, the companion file present and saved as usual.
#   scripts/cli-bench.sh [RUNS]      (default 20 runs of each)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export TESSALY_BUILD_DIR=${TESSALY_BENCH_BUILD_DIR:-$root/build-bench}
runs=${1:-20}
limit=1

"$root/scripts/build.sh" -DCMAKE_BUILD_TYPE=Release -DTESSALY_TESTS=OFF > /dev/null
bin=$TESSALY_BUILD_DIR/bin

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The desktop's profile store of this run only, so that the user's settings play no part.
export XDG_CONFIG_HOME=$work/config
template=$work/large.dev
"$bin/generate-template" 32 1024 "$template"
# The first open writes the companion file; every timed run then reads and saves it.
"$bin/tessaly-cli" list "$template" > /dev/null

# Mean seconds of one run of the command, over $runs runs, its output thrown away.
mean_seconds() {
    local start end
    start=$EPOCHREALTIME
    for ((i = 0; i < runs; i++)); do
        "$@" > /dev/null
    done
    end=$EPOCHREALTIME
    awk -v s="$start" -v e="$end" -v n="$runs" 'BEGIN { printf "%.4f", (e - s) / n }'
}

baseline=$(mean_seconds cat "$template")
echo "32 x 1024-item template, $(stat -c %s "$template") bytes; mean of $runs runs, seconds per run"
printf '  %-28s %8s\n' "cat (baseline)" "$baseline"

slowest=0
report() {
    local name=$1
    shift
    local seconds
    seconds=$(mean_seconds "$bin/tessaly-cli" "$@")
    printf '  %-28s %8s  %7.1f x cat\n' "$name" "$seconds" "$(awk -v a="$seconds" -v b="$baseline" 'BEGIN { print a / b }')"
    slowest=$(awk -v a="$seconds" -v b="$slowest" 'BEGIN { print (a > b) ? a : b }')
}

report "check" check "$template"
report "list (one unit)" list "$template"
report "list --all" list --all "$template"
report "get (two items)" get "$template" --unit "Unit 31" "Item 1016" "#5"
report "dump (one unit)" dump "$template"
report "dump --mask" dump --mask "$template"

echo "slowest: $slowest s (limit $limit s)"
awk -v a="$slowest" -v l="$limit" 'BEGIN { exit !(a < l) }'
