#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time, starting
# from the committed seeds in fuzz/corpus/<target>. Fails on any crash, sanitizer
# report, leak, timeout or failed check.
#
#   scripts/run-fuzz.sh [seconds per target] [build dir]   (defaults 60, build/fuzz)
#   FUZZ_TARGETS="fuzz_table" scripts/run-fuzz.sh 30        run only some targets
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-${FUZZ_SECONDS:-60}}
build=${2:-build/fuzz}
jobs=${JOBS:-$(nproc)}
targets=${FUZZ_TARGETS:-"fuzz_report fuzz_table fuzz_wsmessage fuzz_discovery fuzz_deviceservice"}

scripts/install-deps.sh clang libclang-rt-14-dev

CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DZVR_BUILD_FUZZ=ON -DZVR_BUILD_APPS=OFF -DZVR_BUILD_TESTS=OFF -DZVR_BUILD_BENCH=OFF
# shellcheck disable=SC2086
cmake --build "$build" -j"$jobs" --target $targets

export ZVR_FUZZ_STATS=1
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

for target in $targets; do
    work=$build/fuzz/runs/$target
    artifacts=$build/fuzz/artifacts/$target/
    mkdir -p "$work" "$artifacts"
    log=$build/fuzz/$target.log
    # A target's dictionary (fuzz/<target>.dict), when it has one.
    dict=()
    if [[ -f fuzz/$target.dict ]]; then
        dict=(-dict="fuzz/$target.dict")
    fi
    # A table input of 64 bytes is some twenty operations on a table of at most four rows,
    # enough to reach every state; longer ones only repeat them more slowly.
    max_len=1024
    if [[ $target == fuzz_table ]]; then
        max_len=64
    elif [[ $target == fuzz_discovery || $target == fuzz_deviceservice ]]; then
        # A ProbeMatches datagram stays under 4 KB; the seeds are captured messages of 0.5 to 1.4 KB.
        max_len=4096
    fi
    echo "== $target: $seconds s"
    # New inputs go to the work directory; the committed seeds are only read.
    if ! "$build/fuzz/$target" -max_total_time="$seconds" -timeout=60 -rss_limit_mb=4096 \
        -max_len="$max_len" -print_final_stats=1 -artifact_prefix="$artifacts" "${dict[@]}" \
        "$work" "fuzz/corpus/$target" >"$log" 2>&1; then
        tail -n 60 "$log"
        echo "FAIL  $target (log $log, input in $artifacts)"
        exit 1
    fi
    grep -E '^#[0-9]+[[:space:]]+DONE|^stat::number_of_executed_units|longest text' "$log" || true
    echo "PASS  $target"
done
