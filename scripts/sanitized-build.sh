# Sourced by sanitize.sh and fuzz.sh: configures a clang build directory under sanitizers.
#   configure_sanitized address   build-asan/: AddressSanitizer, UndefinedBehaviorSanitizer (and LeakSanitizer)
#                                 with libFuzzer's coverage, so the tests and the fuzz targets share one build
#   configure_sanitized thread    build-tsan/: ThreadSanitizer
# Prints the build directory. TESSALY_ASAN_BUILD_DIR and TESSALY_TSAN_BUILD_DIR choose other directories.

sanitized_build_dir() {
    case "$1" in
        address) echo "${TESSALY_ASAN_BUILD_DIR:-$root/build-asan}" ;;
        thread) echo "${TESSALY_TSAN_BUILD_DIR:-$root/build-tsan}" ;;
        *) echo "unknown sanitizer kind: $1 (address or thread)" >&2; return 2 ;;
    esac
}

configure_sanitized() {
    local kind=$1 build options
    build=$(sanitized_build_dir "$kind")
    case "$kind" in
        address) options=(-DTESSALY_SANITIZE=address,undefined -DTESSALY_FUZZ=ON) ;;
        thread) options=(-DTESSALY_SANITIZE=thread) ;;
    esac
    "$root/scripts/deps.sh" >&2
    # Light optimisation and line tables only: reports still name files and lines, and the build is quicker.
    local flags="-O1 -gline-tables-only"
    CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DTESSALY_WERROR=ON -DTESSALY_BENCHMARKS=OFF \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_FLAGS_RELWITHDEBINFO="$flags" \
        -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="$flags" "${options[@]}" > /dev/null
    echo "$build"
}
