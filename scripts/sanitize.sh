#!/usr/bin/env bash
# Builds with clang under sanitizers and runs the suites that each one checks; any report fails the run.
#   ./scripts/sanitize.sh address   the whole suite under AddressSanitizer, UndefinedBehaviorSanitizer and
#                                   LeakSanitizer (build-asan/, where the fuzz targets are built too)
#   ./scripts/sanitize.sh thread    the device and worker, command-line and desktop suites under
#                                   ThreadSanitizer (build-tsan/)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=scripts/sanitized-build.sh
source "$root/scripts/sanitized-build.sh"
kind=${1:?"which sanitizer: address or thread"}

export QT_QPA_PLATFORM=offscreen
build=$(configure_sanitized "$kind")
case "$kind" in
    address)
        cmake --build "$build" --parallel "$(nproc)"
        export UBSAN_OPTIONS=print_stacktrace=1
        ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)"
        ;;
    thread)
        cmake --build "$build" --parallel "$(nproc)" --target device_tests cli_tests desktop_tests
        # Qt is not instrumented and locks with futexes that ThreadSanitizer cannot see, so the calls Qt's own
        # code makes (memory allocation, condition variables) are left out; every access our code makes is
        # still checked.
        export TSAN_OPTIONS="ignore_noninstrumented_modules=1 second_deadlock_stack=1"
        ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)" -L '^(device_tests|cli_tests|desktop)$'
        ;;
esac
