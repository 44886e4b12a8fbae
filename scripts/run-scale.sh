#!/usr/bin/env bash
# Runs the whole device finder headless at 1,000, 10,000 and 100,000 devices (three scan
# rounds and a screenshot each) and writes wall time, peak memory and the longest
# event-loop turn as a table to stdout and to out/scale.md.
#
#   scripts/run-scale.sh [sizes...]     (1000 10000 100000 by default)
#
# RUNS=5 runs each size five times and shows the median of each figure with its range.
#
# The targets: 100,000 devices within 15 s and 600 MB, 10,000 within 3 s, no turn of a
# scan round longer than 50 ms.
set -euo pipefail
cd "$(dirname "$0")/.."

sizes=("$@")
[[ ${#sizes[@]} -gt 0 ]] || sizes=(1000 10000 100000)
runs=${RUNS:-1}

# The median of the numbers after the unit, with their range when there are several.
summary() {
    local unit=$1 sorted
    shift
    mapfile -t sorted < <(printf '%s\n' "$@" | sort -g)
    local n=${#sorted[@]}
    local median=${sorted[$(((n - 1) / 2))]}
    if ((n % 2 == 0)); then
        median=$(awk -v a="$median" -v b="${sorted[$((n / 2))]}" 'BEGIN { print (a + b) / 2 }')
    fi
    if ((n > 1)); then
        echo "$median $unit (${sorted[0]}–${sorted[$((n - 1))]})"
    else
        echo "$median $unit"
    fi
}

scripts/install-deps.sh --qt 5 time

build=build/qt5
cmake -S . -B "$build" -DZVR_WERROR=ON >/dev/null
cmake --build "$build" -j"${JOBS:-$(nproc)}" --target devicefinder

mkdir -p out
table="| devices | wall time | peak memory | longest turn |"$'\n'"|---:|---:|---:|---:|"
for n in "${sizes[@]}"; do
    walls=()
    peaks=()
    turns=()
    for ((run = 1; run <= runs; ++run)); do
        log=$(QT_QPA_PLATFORM=offscreen QT_QUICK_BACKEND=software /usr/bin/time -f 'wall %e peak %M' \
            "$build/apps/devicefinder/devicefinder" --devices "$n" --scans 3 --screenshot "out/scale-$n.png" 2>&1)
        wall=$(sed -n 's/^wall \([0-9.]*\) peak.*/\1/p' <<<"$log")
        peak=$(sed -n 's/^wall .* peak \([0-9]*\)$/\1/p' <<<"$log")
        turn=$(sed -n 's/.*longest event-loop turn during the scans: \([0-9]*\) ms.*/\1/p' <<<"$log")
        [[ -n $wall && -n $peak && -n $turn ]] || { echo "$log" >&2; exit 1; }
        walls+=("$wall")
        peaks+=("$((peak / 1024))")
        turns+=("$turn")
    done
    table+=$'\n'"| $n | $(summary s "${walls[@]}") | $(summary MB "${peaks[@]}") | $(summary ms "${turns[@]}") |"
done
echo "$table" | tee out/scale.md
