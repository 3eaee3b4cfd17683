#!/usr/bin/env bash
# Builds the fuzz targets with clang, AddressSanitizer and UndefinedBehaviorSanitizer (in build-asan/, shared
# with ./scripts/sanitize.sh address) and runs each for the given number of seconds (default 30) from its
# committed seed corpus, as many at once as there are cores. New inputs go to fuzz-out/TARGET/corpus; a
# finding leaves its input in fuzz-out/TARGET/ and fails the script.
#   ./scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=scripts/sanitized-build.sh
source "$root/scripts/sanitized-build.sh"
seconds=${1:-30}
shift || true

# target name -> corpus folder under fuzz/corpus
declare -A corpora=(
    [parse_template_fuzzer]=template
    [data_file_fuzzer]=datafile
    [record_file_fuzzer]=records
    [settings_file_fuzzer]=settings
    [language_file_fuzzer]=language
    [plugin_host_fuzzer]=pluginhost
    [ch341a_transport_fuzzer]=ch341a
)
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=("${!corpora[@]}")
build=$(configure_sanitized address)
cmake --build "$build" --parallel "$(nproc)" --target "${targets[@]}"

# Runs one target; its exit status goes to fuzz-out/TARGET/status.
fuzz_target() {
    local target=$1 out="$root/fuzz-out/$1"
    mkdir -p "$out/corpus"
    local status=0
    "$build/bin/$target" -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$out/" -print_final_stats=1 "$out/corpus" "$root/fuzz/corpus/${corpora[$target]}" \
        2> "$out/log.txt" || status=$?
    echo "$status" > "$out/status"
}

echo "== ${targets[*]}: ${seconds}s each"
for target in "${targets[@]}"; do
    while [ "$(jobs -rp | wc -l)" -ge "$(nproc)" ]; do
        wait -n || true
    done
    fuzz_target "$target" &
done
wait

status=0
for target in "${targets[@]}"; do
    out="$root/fuzz-out/$target"
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$out/log.txt")
    coverage=$(grep -o 'cov: [0-9]* ft: [0-9]*' "$out/log.txt" | tail -n 1)
    echo "$target: ${executions:-?} executions, ${coverage:-no coverage line}"
    if [ "$(cat "$out/status")" != 0 ]; then
        status=1
        echo "$target failed: see $out/log.txt"
        grep -E '^(==[0-9]+==ERROR|SUMMARY)' "$out/log.txt" || true
    fi
done
exit $status
