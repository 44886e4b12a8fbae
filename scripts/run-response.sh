#!/usr/bin/env bash
# Times how soon the device finder shows a sort, a status filter and each keystroke of a
# search (until the frame with the new rows is out), at 10,000 and 100,000 devices by
# default, RUNS times each (5 by default), and writes the median and the range of each
# step as a table to stdout and to out/response.md.
#
#   scripts/run-response.sh [sizes...]
#
# The targets: within 150 ms at 100,000 devices and 50 ms at 10,000.
set -euo pipefail
cd "$(dirname "$0")/.."

sizes=("$@")
[[ ${#sizes[@]} -gt 0 ]] || sizes=(10000 100000)
runs=${RUNS:-5}

scripts/install-deps.sh --qt 5

build=build/qt5
cmake -S . -B "$build" -DZVR_WERROR=ON >/dev/null
cmake --build "$build" -j"${JOBS:-$(nproc)}" --target devicefinder

mkdir -p out
samples=$(mktemp)
trap 'rm -f "$samples"' EXIT
for n in "${sizes[@]}"; do
    for ((run = 1; run <= runs; ++run)); do
        log=$(QT_QPA_PLATFORM=offscreen QT_QUICK_BACKEND=software \
            "$build/apps/devicefinder/devicefinder" --devices "$n" --scans 3 --response-probe 2>&1) \
            || { echo "$log" >&2; exit 1; }
        sed -n "s/^devicefinder: response \(.*\): \([0-9]*\) ms.*/$n\t\1\t\2/p" <<<"$log" >>"$samples"
    done
done
# One row per size and step, in the order the steps ran.
table=$(awk -F'\t' '
    !(($1 FS $2) in times) { order[++steps] = $1 FS $2 }
    { times[$1 FS $2] = times[$1 FS $2] " " $3 }
    END {
        print "| devices | step | median | range |"
        print "|---:|---|---:|---:|"
        for (i = 1; i <= steps; ++i) {
            split(order[i], key, FS)
            n = split(substr(times[order[i]], 2), t, " ")
            for (a = 1; a <= n; ++a)
                for (b = a + 1; b <= n; ++b)
                    if (t[b] + 0 < t[a] + 0) { x = t[a]; t[a] = t[b]; t[b] = x }
            median = n % 2 ? t[(n + 1) / 2] : (t[n / 2] + t[n / 2 + 1]) / 2
            printf "| %s | %s | %s ms | %s–%s ms |\n", key[1], key[2], median, t[1], t[n]
        }
    }' "$samples")
{
    echo "$table"
    echo
    echo "$runs runs each; load average $(cut -d' ' -f1-3 /proc/loadavg) at the end."
} | tee out/response.md
