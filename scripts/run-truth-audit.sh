#!/usr/bin/env bash
# The truth audit on the network: under each fault kind alone, the emulator's devices
# in a private network namespace and the finder headless on them; the finder changes
# every online device (at least 200) and its results are compared, device by device,
# with where the emulator says each device ended (scripts/compare-truth.awk): nothing
# stated as done or not done may be false. The unconfirmed are counted.
#
#   scripts/run-truth-audit.sh [--devices 600] [--faults "drop=0.3 ..."] [--out out/truth-audit]
#
# Exit 0 when no result is false under any fault, 1 otherwise, 77 where no private
# network can be made.
set -euo pipefail
source "$(dirname "$0")/network-common.sh"

devices=600
timeout=3000
# Within the limit: each of a change's requests waits the delay, and they follow one another.
# "@MS" lets the network drift every MS milliseconds (devices leave, come back, borrow one
# another's addresses): restarted devices come back only so. "drift" is drift alone.
faults="drop=0.3 duplicate=0.3 delay=400 delay=6000 reboot=0.3@1000 stray=0.3 garble=0.3 drift@1000"
out="$here/out/truth-audit"
minimum=200
while [[ $# -gt 0 ]]; do
    case $1 in
    --devices) devices=$2; shift 2 ;;
    --faults) faults=$2; shift 2 ;;
    --out) out=$2; shift 2 ;;
    --minimum) minimum=$2; shift 2 ;;
    --inside)
        # In the namespace: two rounds, the change, its results.
        (net_finder --network 127.0.0.1:3702 --user admin --password-file "$3/password" --probe-wait 1500 \
            --scans 2 --change-timeout $timeout --export-results "$3/results.csv") > "$3/finder.log" 2>&1
        exit ;;
    *) echo "usage: $0 [--devices N] [--faults LIST] [--out DIR] [--minimum N]" >&2; exit 2 ;;
    esac
done

net_prepare
rm -rf "$out"
mkdir -p "$out"
out="$(cd "$out" && pwd)"
net_password_file "$out/password"
failed=0
for entry in $faults; do
    fault=${entry%@*}
    interval=0
    [[ $entry == *@* ]] && interval=${entry#*@}
    [[ $fault == drift ]] && fault=
    run="$out/${entry//[=.@]/-}"
    mkdir -p "$run"
    cp "$out/password" "$run/password"
    status=0
    "$here/scripts/netns-run.sh" --emulator "$emulator" --devices "$devices" --interval "$interval" --port 8080 \
        --faults "$fault" --password-file "$out/password" --truth-file "$run/truth.tsv" -- \
        "$0" --inside -- "$run" 2> "$run/emulator.log" || status=$?
    if [[ $status != 0 || ! -s $run/results.csv ]]; then
        echo "truth audit, $entry: the finder failed (exit $status): $(tail -1 "$run/finder.log")"
        failed=1
        continue
    fi
    line=$(awk -v mode=results -f "$here/scripts/compare-truth.awk" "$run/truth.tsv" "$run/results.csv") || failed=1
    echo "truth audit, $entry: ${line#compare-truth: }"
    results=$(($(wc -l < "$run/results.csv") - 1))
    [[ $results -ge $minimum ]] || { echo "truth audit, $entry: only $results changes, fewer than $minimum"; failed=1; }
done
[[ $failed == 0 ]] && echo "truth audit: no false result" || echo "truth audit: FAILED (files in $out)"
exit $failed
