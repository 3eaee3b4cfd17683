#!/usr/bin/env bash
# Builds the fuzz targets with clang, AddressSanitizer and UndefinedBehaviorSanitizer, and runs each for
# the given number of seconds (default 30) from its committed seed corpus. New inputs go to fuzz-out/; a
# crash leaves its input there and fails the script.
#   ./scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TESSALY_FUZZ_BUILD_DIR:-$root/build-fuzz}
seconds=${1:-30}
shift || true

"$root/scripts/deps.sh"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DTESSALY_WERROR=ON -DTESSALY_FUZZ=ON \
    -DTESSALY_SANITIZE=address,undefined -DTESSALY_TESTS=OFF -DTESSALY_BENCHMARKS=OFF > /dev/null

# target name -> corpus folder under fuzz/corpus
declare -A corpora=(
    [parse_template_fuzzer]=template
    [data_file_fuzzer]=datafile
    [settings_file_fuzzer]=settings
    [language_file_fuzzer]=language
    [plugin_host_fuzzer]=pluginhost
)
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=("${!corpora[@]}")
cmake --build "$build" --parallel "$(nproc)" --target "${targets[@]}"

status=0
for target in "${targets[@]}"; do
    out="$root/fuzz-out/$target"
    mkdir -p "$out/corpus"
    echo "== $target: ${seconds}s"
    if ! "$build/bin/$target" -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$out/" -print_final_stats=1 "$out/corpus" "$root/fuzz/corpus/${corpora[$target]}" \
        2> "$out/log.txt"; then
        status=1
        echo "$target failed: see $out/log.txt"
    fi
    grep -E '^(#[0-9]+.*DONE|stat::number_of_executed_units|stat::peak_rss_mb)|cov:' "$out/log.txt" | tail -n 3
done
exit $status
