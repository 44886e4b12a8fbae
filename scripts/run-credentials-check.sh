#!/usr/bin/env bash
# Credentials stay secret: in a private network namespace, the finder changes the
# emulator's devices with a known password under --verbose, writing every export and
# screenshot with settings and home folders of its own; then its logs, settings, exports,
# everything it wrote, its core-dump settings and its command line and environment (taken
# while it ran) are searched for the password and its digests: found nowhere. A second
# run with a wrong password must say so once for the change, not once per device, and
# must not retry on its own.
#
#   scripts/run-credentials-check.sh [--out out/credentials]
set -euo pipefail
source "$(dirname "$0")/network-common.sh"

out="$here/out/credentials"
if [[ ${1:-} == --inside ]]; then
    # In the namespace: the finder, and what /proc shows of it while it runs.
    out=$2; password=$3; run=$4
    mkdir -p "$out/$run/home" "$out/$run/proc"
    (HOME="$out/$run/home" net_finder --verbose --network 127.0.0.1:3702 --user admin \
        --password-file "$out/$password" --probe-wait 1500 --scans 2 --change-timeout 4000 \
        --screenshot "$out/$run/devices.png" --results-screenshot "$out/$run/results.png" \
        --export-csv "$out/$run/devices.csv" --export-results "$out/$run/results.csv") \
        > "$out/$run/finder.log" 2>&1 &
    pid=$!
    sleep 1
    for file in cmdline environ limits coredump_filter; do
        tr '\0' '\n' < /proc/$pid/$file > "$out/$run/proc/$file" 2>/dev/null || true
    done
    cp /proc/sys/kernel/core_pattern "$out/$run/proc/core_pattern" 2>/dev/null || true
    wait $pid
    exit
fi
[[ $# -ge 2 && $1 == --out ]] && out=$2

net_prepare
rm -rf "$out"
mkdir -p "$out"
out="$(cd "$out" && pwd)"
net_password_file "$out/password"
net_password_file "$out/wrong-password"
status=0
for run in right wrong; do
    file=password
    [[ $run == wrong ]] && file=wrong-password
    "$here/scripts/netns-run.sh" --emulator "$emulator" --devices 48 --interval 0 --port 8080 --verbose \
        --password-file "$out/password" -- "$0" --inside "$out" "$file" "$run" 2> "$out/emulator-$run.log" \
        || status=$?
    [[ $status == 0 ]] || { echo "credentials: the finder's $run run failed: $(tail -1 "$out/$run/finder.log")"; exit 1; }
done

# The password, and what a careless program would write instead: Base64, and its SHA-1,
# SHA-256 and MD5 digests in hex and Base64.
secret=$(cat "$out/password")
forms=("$secret" "$(printf %s "$secret" | base64)")
for digest in sha1sum sha256sum md5sum; do
    hex=$(printf %s "$secret" | $digest | cut -d' ' -f1)
    forms+=("$hex" "$(printf "$(sed 's/../\\x&/g' <<< "$hex")" | base64)")
done
found=0
while IFS= read -r -d '' file; do
    for form in "${forms[@]}"; do
        if grep -aqF -- "$form" "$file"; then
            echo "credentials: FOUND in ${file#$out/}"
            found=1
        fi
    done
done < <(find "$out" -type f ! -name password ! -name wrong-password ! -name 'emulator-*.log' -print0)
searched=$(find "$out" -type f ! -name password ! -name wrong-password ! -name 'emulator-*.log' | wc -l)
echo "credentials: the password and ${#forms[@]} of its forms searched in $searched files" \
    "(logs, settings, exports, screenshots, /proc cmdline, environ, limits, core settings): found $found times"
echo "credentials: the finder's core-file limit: $(grep -i 'core file' "$out/right/proc/limits" | awk '{ print $5, $6 }')"

# The wrong password: said once for the change, each device asked once.
# The back-end's own diagnostic lines (--verbose) name each device; they are counted apart.
refused=$(grep -v '^zvr\.' "$out/wrong/finder.log" | grep -Eic '密码|password|NotAuthorized' || true)
diagnostics=$(grep '^zvr\.' "$out/wrong/finder.log" | grep -Eic '密码|password|NotAuthorized' || true)
asked=$(($(wc -l < "$out/wrong/results.csv") - 1))
writes=$(grep -c 'SetNetwork[A-Za-z]* refused' "$out/emulator-wrong.log" || true)
echo "credentials: wrong password: $refused lines of the finder say so, for a change of $asked devices" \
    "($diagnostics diagnostic lines under --verbose); the devices refused $writes writes"
failed=$found
[[ $refused -ge 1 && $refused -le 1 ]] || failed=1
[[ $writes -le $asked ]] || failed=1
[[ $failed == 0 ]] && echo "credentials: passed" || echo "credentials: FAILED (files in $out)"
exit $failed
