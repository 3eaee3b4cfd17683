#!/usr/bin/env bash
# Plants small faults in the production code one at a time and reports which tests catch each one.
#
#   scripts/planted-faults.sh [--record] [--no-baseline] [FAULT...]
#
# Each fault is a patch in scripts/planted-faults/ (NN-name.patch). For every patch, or only for the faults
# named (by NN, NN-name or file name), the script applies it to the working tree, rebuilds incrementally,
# runs the whole CTest suite and collects the names of the failing tests; the patch is always taken out
# again, also after an error or an interrupt. Before the first fault it runs the suite once on the code as
# it stands, so that a test that fails anyway is not counted as catching anything.
#
# One line per fault goes to the terminal, the full lists to BUILD/planted-faults.txt, and the logs to
# BUILD/planted-faults/. The outcome is compared with scripts/planted-faults/expected.txt ("NAME caught" or
# "NAME missed" a line): the exit status is 1 when a fault recorded as caught is no longer caught, no
# longer applies or does not build, 0 otherwise. --record writes the outcome of the faults run into
# expected.txt instead, keeping the lines of the others.
#
# BUILD is build-faults/ ($TESSALY_FAULTS_DIR overrides), configured as scripts/build.sh does, without the
# benchmarks ($TESSALY_FAULTS_BUILD_TYPE, default RelWithDebInfo). $TESSALY_FAULTS_TIMEOUT caps each test
# (seconds, default 300), so that a fault that makes a test hang costs minutes, not the default 25.
set -euo pipefail
# Every build and test run gets its own process group, so that an interrupt can end it with its children.
set -m
# The terminal's stderr, for messages from a signal trap that may run inside a redirection.
exec 3>&2

root=$(cd "$(dirname "$0")/.." && pwd)
build=${TESSALY_FAULTS_DIR:-$root/build-faults}
case $build in /*) ;; *) build=$PWD/$build ;; esac
patches=$root/scripts/planted-faults
expected=$patches/expected.txt
report=$build/planted-faults.txt
logs=$build/planted-faults
timeout=${TESSALY_FAULTS_TIMEOUT:-300}
jobs=$(nproc)
# The folders a fault may be planted in; they must be clean, so that taking a patch out loses nothing.
production=(text engine document device settings app cli ui plugins)

record=0
baseline=1
wanted=()
for argument in "$@"; do
    case $argument in
        --record) record=1 ;;
        --no-baseline) baseline=0 ;;
        -h | --help)
            sed -n '2,/^set -euo/p' "$0" | sed '$d' | sed 's/^# \{0,1\}//'
            exit 0
            ;;
        -*)
            echo "planted-faults: unknown option $argument" >&2
            exit 2
            ;;
        *) wanted+=("$argument") ;;
    esac
done

fault_name() {
    local file
    file=$(basename "$1")
    echo "${file%.patch}"
}

# The patches to run, in order: all of them, or those the arguments name.
select_patches() {
    local all=("$patches"/[0-9][0-9]-*.patch)
    if [ ! -e "${all[0]}" ]; then
        echo "planted-faults: no patches in $patches" >&2
        exit 2
    fi
    if [ ${#wanted[@]} -eq 0 ]; then
        selected=("${all[@]}")
        return
    fi
    selected=()
    local name patch found
    for name in "${wanted[@]}"; do
        name=$(fault_name "$name")
        found=
        for patch in "${all[@]}"; do
            case $(fault_name "$patch") in
                "$name" | "$name"-*) found=$patch ;;
            esac
        done
        if [ -z "$found" ]; then
            echo "planted-faults: no fault named $name" >&2
            exit 2
        fi
        selected+=("$found")
    done
}

applied=
child=

# Takes the planted patch out again. The production folders were clean at the start, so should the
# reverse patch fail, their committed state is the state to return to.
restore() {
    if [ -z "$applied" ]; then
        return
    fi
    if ! git -C "$root" apply -R "$applied" 2>/dev/null; then
        git -C "$root" checkout HEAD -- "${production[@]}"
    fi
    applied=
}

on_signal() {
    if [ -n "$child" ]; then
        kill -TERM -- "-$child" 2>/dev/null || true
        wait "$child" 2>/dev/null || true
    fi
    echo "planted-faults: interrupted; the planted fault is taken out again" >&3
    exit 130
}

trap restore EXIT
trap on_signal INT TERM HUP

# Runs a command as a background job (its own process group) and waits for it, so that a signal reaches
# the script at once.
run() {
    local status=0
    "$@" &
    child=$!
    wait "$child" || status=$?
    child=
    return "$status"
}

check_clean() {
    local changes
    changes=$(git -C "$root" status --porcelain -- "${production[@]}")
    if [ -n "$changes" ]; then
        echo "planted-faults: the production folders have uncommitted changes; commit or stash them first:" >&2
        echo "$changes" >&2
        exit 2
    fi
}

configure() {
    "$root/scripts/deps.sh"
    cmake -S "$root" -B "$build" -G Ninja -DTESSALY_WERROR=ON -DTESSALY_BENCHMARKS=OFF \
        -DCMAKE_BUILD_TYPE="${TESSALY_FAULTS_BUILD_TYPE:-RelWithDebInfo}" >"$logs/configure.log" 2>&1 || {
        echo "planted-faults: configuring $build failed; see $logs/configure.log" >&2
        exit 2
    }
}

# Builds and runs the suite; failed gets the names of the failing tests, one a line. Returns 1 when the
# build fails.
build_and_test() {
    local log=$1
    failed=
    if ! run cmake --build "$build" --parallel "$jobs" >"$log.build.log" 2>&1; then
        return 1
    fi
    rm -f "$build/Testing/Temporary/LastTestsFailed.log"
    run env QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" --parallel "$jobs" --timeout "$timeout" \
        --output-on-failure >"$log.ctest.log" 2>&1 || true
    if [ -f "$build/Testing/Temporary/LastTestsFailed.log" ]; then
        failed=$(sed 's/^[0-9]*://' "$build/Testing/Temporary/LastTestsFailed.log" | sort -u)
    fi
    return 0
}

# The failing tests that did not fail already without a fault.
new_failures() {
    if [ -z "$failed" ]; then
        return
    fi
    if [ -z "$baseline_failed" ]; then
        echo "$failed"
    else
        comm -23 <(echo "$failed") <(echo "$baseline_failed")
    fi
}

seconds() {
    date +%s
}

recorded_outcome() {
    if [ -f "$expected" ]; then
        awk -v name="$1" '$1 == name { print $2 }' "$expected"
    fi
}

select_patches
check_clean
mkdir -p "$logs"
configure

started=$(seconds)
commit=$(git -C "$root" rev-parse --short HEAD)
{
    echo "# Planted faults on $commit, $(date -u '+%Y-%m-%d %H:%M UTC')"
    echo "# Each fault with the tests that fail with it and pass without it."
} >"$report"

baseline_failed=
if [ "$baseline" -eq 1 ]; then
    echo "baseline: building and running the suite without a fault" >&2
    began=$(seconds)
    if ! build_and_test "$logs/baseline"; then
        echo "planted-faults: the code as it stands does not build; see $logs/baseline.build.log" >&2
        exit 2
    fi
    baseline_failed=$failed
    if [ -n "$baseline_failed" ]; then
        echo "baseline: $(echo "$baseline_failed" | wc -l) tests fail without a fault and count for nothing:" >&2
        echo "$baseline_failed" | sed 's/^/    /' >&2
    fi
    {
        echo
        echo "baseline: $(echo -n "$baseline_failed" | grep -c . || true) failing tests ($(($(seconds) - began)) s)"
        [ -z "$baseline_failed" ] || echo "$baseline_failed" | sed 's/^/    /'
    } >>"$report"
fi

declare -A outcome
regressions=()
for patch in "${selected[@]}"; do
    name=$(fault_name "$patch")
    began=$(seconds)
    if ! git -C "$root" apply --check "$patch" 2>"$logs/$name.apply.log"; then
        line="$name: DOES NOT APPLY (see $logs/$name.apply.log)"
        outcome[$name]=stale
        caught=
    else
        applied=$patch
        git -C "$root" apply "$patch"
        if build_and_test "$logs/$name"; then
            caught=$(new_failures)
            if [ -n "$caught" ]; then
                count=$(echo "$caught" | wc -l)
                first=$(echo "$caught" | head -n 3 | paste -sd, - | sed 's/,/, /g')
                [ "$count" -le 3 ] || first="$first, ..."
                line="$name: caught by $count tests ($first)"
                outcome[$name]=caught
            else
                line="$name: NOT CAUGHT"
                outcome[$name]=missed
            fi
        else
            caught=
            line="$name: DOES NOT BUILD (see $logs/$name.build.log)"
            outcome[$name]=broken
        fi
        restore
    fi
    echo "$line"
    {
        echo
        echo "$line ($(($(seconds) - began)) s)"
        [ -z "$caught" ] || echo "$caught" | sed 's/^/    /'
    } >>"$report"
    was=$(recorded_outcome "$name")
    if [ "$was" = caught ] && [ "${outcome[$name]}" != caught ]; then
        regressions+=("$name")
    elif [ "$was" = missed ] && [ "${outcome[$name]}" = caught ]; then
        echo "    (recorded as missed, caught now: --record keeps that)"
    elif [ -z "$was" ] && [ "$record" -eq 0 ]; then
        echo "    (no record in expected.txt)"
    fi
done

# A recorded fault whose patch is gone can no longer show anything: that counts as a regression too.
if [ ${#wanted[@]} -eq 0 ] && [ -f "$expected" ]; then
    while read -r name was _; do
        case $name in '' | '#'*) continue ;; esac
        if [ -z "${outcome[$name]:-}" ] && [ "$was" = caught ]; then
            echo "$name: recorded as caught, but its patch is gone"
            regressions+=("$name")
        fi
    done <"$expected"
fi

total=$(($(seconds) - started))
caught_count=0
for name in "${!outcome[@]}"; do
    [ "${outcome[$name]}" != caught ] || caught_count=$((caught_count + 1))
done
summary="$caught_count of ${#selected[@]} faults caught; $((total / 60)) min $((total % 60)) s"
echo "$summary"
{
    echo
    echo "$summary"
} >>"$report"

if [ "$record" -eq 1 ]; then
    unusable=()
    for name in "${!outcome[@]}"; do
        case ${outcome[$name]} in stale | broken) unusable+=("$name") ;; esac
    done
    if [ ${#unusable[@]} -gt 0 ]; then
        echo "planted-faults: not recorded: fix the patches that do not apply or build: ${unusable[*]}" >&2
        exit 1
    fi
    {
        if [ -f "$expected" ]; then
            while read -r name was _; do
                case $name in '' | '#'*) continue ;; esac
                [ -n "${outcome[$name]:-}" ] || echo "$name $was"
            done <"$expected"
        fi
        for name in "${!outcome[@]}"; do
            echo "$name ${outcome[$name]}"
        done
    } | sort >"$expected.new"
    mv "$expected.new" "$expected"
    echo "recorded in $expected"
    exit 0
fi

if [ ${#regressions[@]} -gt 0 ]; then
    echo "planted-faults: recorded as caught but not caught now: ${regressions[*]}" >&2
    exit 1
fi
exit 0
