#!/usr/bin/env bash
# Builds the benchmarks in Release and runs them. Google Benchmark's JSON goes to
# <build>/bench/results.json; a short table of the library beside QStandardItemModel and
# the plain-struct floor, with the ratios and targets, goes to stdout and to
# <build>/bench/summary.md.
#
#   scripts/run-bench.sh            full run, 3 repetitions, medians in the table
#   scripts/run-bench.sh --smoke    each case once at the smallest size (CI)
#
# Environment: ZVR_BENCH_BUILD_DIR (default build/bench), ZVR_BENCH_JOBS (default $JOBS or 2),
# ZVR_BENCH_REPETITIONS (default 3). Further arguments go to the benchmark executable.
set -euo pipefail
cd "$(dirname "$0")/.."

smoke=0
if [[ ${1:-} == --smoke ]]; then
    smoke=1
    shift
fi

scripts/install-deps.sh libbenchmark-dev

build=${ZVR_BENCH_BUILD_DIR:-build/bench}
# With the device finder's core, for the round through the whole tool.
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DZVR_BUILD_BENCH=ON -DZVR_BUILD_APPS=ON \
    -DZVR_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target zvr_bench -j"${ZVR_BENCH_JOBS:-${JOBS:-2}}"

out="$build/bench"
if [[ $smoke == 1 ]]; then
    args=(--smoke)
else
    # Repetitions run in random order, so that a burst of load elsewhere on the machine
    # spreads over all cases instead of spoiling one; the table uses the medians.
    args=(--benchmark_repetitions="${ZVR_BENCH_REPETITIONS:-3}"
          --benchmark_enable_random_interleaving=true
          --benchmark_display_aggregates_only=true)
fi
"$out/zvr_bench" "${args[@]}" \
    --benchmark_out="$out/results.json" --benchmark_out_format=json \
    --summary_out="$out/summary.md" "$@"
