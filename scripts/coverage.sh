#!/usr/bin/env bash
# Line and branch coverage of the production code: a Debug build with --coverage into build-cov/ (or
# $TESSALY_COVERAGE_DIR), the whole suite, then a gcovr summary over the production folders. Tests, benchmarks,
# fuzz targets and tools are not counted. Extra arguments go to gcovr (for example --html-details out.html).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TESSALY_COVERAGE_DIR:-$root/build-cov}

"$root/scripts/deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTESSALY_WERROR=ON -DTESSALY_BENCHMARKS=OFF \
    -DCMAKE_C_FLAGS=--coverage -DCMAKE_CXX_FLAGS=--coverage -DCMAKE_EXE_LINKER_FLAGS=--coverage \
    -DCMAKE_SHARED_LINKER_FLAGS=--coverage > /dev/null
cmake --build "$build" --parallel "$(nproc)"
# Counters of the last run go; so do the notes of objects the build no longer has (a moved or deleted
# source), which gcovr could not resolve.
find "$build" -name '*.gcda' -delete
live=$(ninja -C "$build" -t targets all | sed -n 's/^\(.*\)\.o: .*/\1.gcno/p' | sort)
comm -23 <(cd "$build" && find . -name '*.gcno' | sed 's#^\./##' | sort) <(echo "$live") |
    (cd "$build" && xargs -r rm -f)
QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" --parallel "$(nproc)" --output-on-failure > "$build/ctest.log" ||
    { tail -40 "$build/ctest.log"; exit 1; }
tail -3 "$build/ctest.log"

filters=()
for folder in text engine document device settings app ui cli plugins; do
    filters+=(--filter "$root/$folder/")
done
gcovr --root "$root" "${filters[@]}" \
    --print-summary --txt "$build/coverage.txt" "$@" "$build"
