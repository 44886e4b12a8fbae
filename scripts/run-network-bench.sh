#!/usr/bin/env bash
# The device finder on a network: the emulator (zvr-devicesim) in a private network
# namespace at 48, 1,000 and 10,000 devices, three runs each, and for comparison the
# same emulator listed by a widely used ONVIF client (the npm package onvif).
#
#   scripts/run-network-bench.sh [--runs N] [sizes...]     (3 runs; 48 1000 10000)
#
# Per size and run: when the first round ended with every answering device listed and
# read (ms after the tool's start), how long a later round of the same, unchanged devices
# took and how many HTTP requests the later rounds made (the emulator counts them), and
# the tool's peak memory. Per size, once: Qt Network alone making the same reads
# (zvr-qnamfloor), each device's reads side by side and over one connection, the floor
# under the tool's time. Then a change of every changeable device of a larger network
# (about 1,000 devices take it): how long until every outcome was in. Figures go to
# stdout and to out/network-bench.md. Needs user namespaces (unshare -rn).
set -euo pipefail
cd "$(dirname "$0")/.."

runs=3
if [[ ${1:-} == --runs ]]; then
    runs=$2
    shift 2
fi
sizes=("$@")
[[ ${#sizes[@]} -gt 0 ]] || sizes=(48 1000 10000)
change_devices=${CHANGE_DEVICES:-2000}
# PROBE_WAIT=MS: how long each round waits for the probe answers (the tool's default otherwise).
probe_wait=${PROBE_WAIT:+--probe-wait $PROBE_WAIT}

if ! unshare --user --map-root-user --net true 2>/dev/null; then
    echo "run-network-bench.sh: no private network namespace can be made here (unshare -rn fails)" >&2
    exit 2
fi
scripts/install-deps.sh --qt 5 time iproute2
command -v npm >/dev/null || scripts/install-deps.sh nodejs npm
build=build/qt5
cmake -S . -B "$build" -DZVR_WERROR=ON >/dev/null
cmake --build "$build" -j"${JOBS:-$(nproc)}" --target devicefinder zvr-devicesim zvr-qnamfloor
client=out/onvif-client
if [[ $(node -p "try { require('./$client/node_modules/onvif/package.json').version } catch (e) { '' }") != 0.8.3 ]]; then
    mkdir -p "$client"
    npm install --prefix "$client" --no-save --no-audit --no-fund onvif@0.8.3 >/dev/null
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime QT_QPA_PLATFORM=offscreen QT_QUICK_BACKEND=software
mkdir -m 700 "$XDG_RUNTIME_DIR"
finder="$PWD/$build/apps/devicefinder/devicefinder"
emulator="$PWD/$build/apps/devicesim/zvr-devicesim"
floor="$PWD/$build/bench/network/zvr-qnamfloor"
mkdir -p out

# One tool run inside the namespace: its output in $work/NAME.log, the emulator's
# request count before and after in $work/NAME.requests.
cat >"$work/measure.sh" <<'INNER'
#!/usr/bin/env bash
set -uo pipefail
work=$1 name=$2
shift 2
requests() { grep -c 'service: Get\|service: Set' "$work/emulator.log" || true; }
echo "$(requests)" >"$work/$name.requests"
/usr/bin/time -f 'wall %e peak %M cpu %U+%S' "$@" >"$work/$name.log" 2>&1
echo "$(requests)" >>"$work/$name.requests"
INNER
chmod +x "$work/measure.sh"

field() { # log pattern -> the first number after the pattern
    sed -n "s/.*$2 *\([0-9.]*\).*/\1/p" "$1" | head -1
}

table="| devices (answering) | run | listed and read, the last at | later round | HTTP requests of 2 later rounds | peak memory | npm onvif: found, read |"
table+=$'\n'"|---:|---:|---:|---:|---:|---:|---|"
floors="| devices | Qt Network alone, each device's reads | answered |"
floors+=$'\n'"|---:|---|---|"
for n in "${sizes[@]}"; do
    for ((run = 1; run <= runs; ++run)); do
        rm -f "$work"/emulator.log
        scripts/netns-run.sh --emulator "$emulator" --devices "$n" --interval 0 --verbose -- bash -c "
            '$work/measure.sh' '$work' first '$finder' --network lo $probe_wait --scans 1 --screenshot '$work/first.png'
            '$work/measure.sh' '$work' three '$finder' --network lo $probe_wait --scans 3 --screenshot '$work/three.png'
            NODE_PATH='$PWD/$client/node_modules' timeout 300 node bench/network/onvif-list.js 2000 32 >'$work/npm.log' 2>&1
        " 2>"$work/emulator.log" || true
        answering=$(sed -n 's/.*seed [0-9]*, \([0-9]*\) answering.*/\1/p' "$work/emulator.log")
        first_reads=$(($(tail -1 "$work/first.requests") - $(head -1 "$work/first.requests")))
        three_reads=$(($(tail -1 "$work/three.requests") - $(head -1 "$work/three.requests")))
        listed=$(sed -n 's/.*scan round 1 done at \([0-9]*\) ms (.*), \([0-9]*\) devices listed, the last at \([0-9]*\) ms/\2 at \3 ms (round over at \1 ms)/p' "$work/three.log")
        later=$(sed -n 's/.*scan round 3 done at [0-9]* ms (\([0-9]*\) ms).*/\1 ms/p' "$work/three.log")
        peak=$(field "$work/three.log" 'peak')
        npm=$(sed -n 's/onvif-list: \([0-9]*\) found after \([0-9]*\) ms, \([0-9]*\) read .* after \([0-9]*\) ms/\1 in \2 ms, \3 read in \4 ms/p' "$work/npm.log")
        [[ -n $listed && -n $later && -n $peak ]] || { cat "$work/three.log" >&2; exit 1; }
        table+=$'\n'"| $n ($answering) | $run | $listed | $later | $((three_reads - first_reads)) | $((peak / 1024)) MB | ${npm:-none} |"
        echo "$n devices, run $run: $(tail -1 "$work/three.log")" >&2
    done
    # The devices' addresses come from the emulator's own account of them.
    scripts/netns-run.sh --emulator "$emulator" --devices "$n" --interval 0 --truth-file "$work/truth.tsv" \
        -- true 2>/dev/null
    for pattern in side-by-side one-connection; do
        line=$(scripts/netns-run.sh --emulator "$emulator" --devices "$n" --interval 0 -- \
            "$floor" "$work/truth.tsv" 80 160 "$pattern" 2>/dev/null)
        floors+=$'\n'"| $n | $pattern | ${line#zvr-qnamfloor: } |"
    done
done

changes="| devices (answering) | run | devices changed | every outcome in | without an answer |"
changes+=$'\n'"|---:|---:|---:|---:|---:|"
for ((run = 1; run <= runs; ++run)); do
    (umask 077 && echo "bench-$RANDOM$RANDOM" >"$work/password")
    scripts/netns-run.sh --emulator "$emulator" --devices "$change_devices" --interval 0 \
        --password-file "$work/password" -- \
        "$work/measure.sh" "$work" change "$finder" --network lo --scans 1 --user admin \
        --password-file "$work/password" --export-results "$work/results.csv" 2>"$work/emulator.log" || true
    answering=$(sed -n 's/.*seed [0-9]*, \([0-9]*\) answering.*/\1/p' "$work/emulator.log")
    line=$(sed -n 's/.*change of \([0-9]*\) devices ended after \([0-9]*\) ms, \([0-9]*\) without an answer/\1 | \2 ms | \3/p' "$work/change.log")
    [[ -n $line ]] || { cat "$work/change.log" >&2; exit 1; }
    changes+=$'\n'"| $change_devices ($answering) | $run | $line |"
done

{
    echo "Load average at the end: $(cut -d' ' -f1-3 /proc/loadavg) ($(nproc) cores)"
    echo
    echo "$table"
    echo
    echo "$floors"
    echo
    echo "$changes"
} | tee out/network-bench.md
