#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer
# (-DZVR_SANITIZE=ON) and runs the whole test suite. Any report fails its test:
# undefined behaviour aborts (-fno-sanitize-recover), memory errors abort, and a leak
# makes the test exit non-zero.
#
# Qt itself is not instrumented. The library's tests (tests/) run with no leak
# suppression (tools/sanitizers/lsan.supp is empty); the device finder's tests (apps/),
# whose Qt GUI, offscreen platform and Qt Quick keep objects alive to the end, run
# second with the Qt-only suppressions of tools/sanitizers/lsan-gui.supp.
#
#   scripts/run-sanitizers.sh [build dir]      (default build/asan; JOBS=n)
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build/asan}
jobs=${JOBS:-$(nproc)}
supp=$PWD/tools/sanitizers

# A debug build keeps the assertions of Qt's inline code (bounds of QList::at and the like).
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DZVR_SANITIZE=ON -DZVR_WERROR=ON \
    -DZVR_BUILD_BENCH=OFF -DZVR_BUILD_FUZZ=OFF
cmake --build "$build" -j"$jobs"

export ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1:halt_on_error=1
export UBSAN_OPTIONS=suppressions=$supp/ubsan.supp:print_stacktrace=1:halt_on_error=1

start=$SECONDS
(cd "$build/tests" && LSAN_OPTIONS=suppressions=$supp/lsan.supp \
    ctest --output-on-failure -j"$jobs" --timeout 900)
echo "sanitizers: the library's tests passed in $((SECONDS - start)) s"

if [ -d "$build/apps" ]; then
    start=$SECONDS
    (cd "$build/apps" && LSAN_OPTIONS=suppressions=$supp/lsan-gui.supp \
        ctest --output-on-failure -j"$jobs" --timeout 1800)
    echo "sanitizers: the device finder's tests passed in $((SECONDS - start)) s"
fi
