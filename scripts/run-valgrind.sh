#!/usr/bin/env bash
# Runs every unit-test executable under valgrind's memcheck. Fails on any invalid read
# or write, use of uninitialised memory, bad free, or definitely lost block. Qt's own
# reports are suppressed in tools/sanitizers/valgrind.supp.
#
#   scripts/run-valgrind.sh [build dir]      (default build/valgrind; JOBS=n to build)
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build/valgrind}
jobs=${JOBS:-$(nproc)}
supp=$PWD/tools/sanitizers/valgrind.supp

scripts/install-deps.sh valgrind

# Debug information without the sanitizers; the demo's QML tests are not run here.
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZVR_SANITIZE=OFF -DZVR_BUILD_APPS=OFF \
    -DZVR_BUILD_BENCH=OFF -DZVR_BUILD_FUZZ=OFF
cmake --build "$build" -j"$jobs"

mapfile -t tests < <(find "$build/tests/auto" -type f -name 'tst_*' -perm -u+x | sort)
if [ ${#tests[@]} -eq 0 ]; then
    echo "no test executables under $build/tests/auto" >&2
    exit 1
fi

logdir=$build/valgrind-logs
mkdir -p "$logdir"
failed=()
start=$SECONDS
for t in "${tests[@]}"; do
    name=$(basename "$t")
    log=$logdir/$name.log
    if QT_QPA_PLATFORM=offscreen QT_LOGGING_RULES=default.debug=true \
        valgrind --tool=memcheck --error-exitcode=99 --leak-check=full \
            --show-leak-kinds=definite --errors-for-leak-kinds=definite \
            --track-origins=yes --num-callers=30 --suppressions="$supp" \
            --log-file="$log" "$t" >"$log.out" 2>&1; then
        echo "PASS  $name  ($(grep -h 'ERROR SUMMARY' "$log" | sed 's/^==[0-9]*== //'))"
    else
        echo "FAIL  $name  (see $log and $log.out)"
        failed+=("$name")
    fi
done
echo "valgrind: ${#tests[@]} executables in $((SECONDS - start)) s, ${#failed[@]} failed"
[ ${#failed[@]} -eq 0 ]
