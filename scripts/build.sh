#!/usr/bin/env bash
# Configures and builds the project into build/ (or $TESSALY_BUILD_DIR) with warnings as errors.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TESSALY_BUILD_DIR:-$root/build}

"$root/scripts/deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DTESSALY_WERROR=ON "$@" > /dev/null
cmake --build "$build" --parallel "$(nproc)"
