#!/usr/bin/env bash
# Builds the device finder and runs it headless: a few scan rounds, a network change on
# every online device, two screenshots and two CSV files (the device list and the
# change's results), and the results view, an editor and the batch editor in an
# 800x500 window, in out/ (Qt 5) or out/qt6/ (Qt 6). Further arguments go to the tool.
#
# The devices are the emulator's (zvr-devicesim, 48 devices) on a private network that
# this run creates (scripts/netns-run.sh): the tool finds them by WS-Discovery, reads
# them over HTTP and changes them with the administrator's credentials, read from a file
# that only this run can read. Where no private network can be made, it says so and the
# tool runs on its in-process simulation instead.
#
#   scripts/run-demo.sh [--qt 5|6] [tool arguments]     (Qt 5 by default)
set -euo pipefail
cd "$(dirname "$0")/.."

qt=5
if [[ ${1:-} == --qt ]]; then
    qt=${2:?--qt takes 5 or 6}
    shift 2
fi
case $qt in
    5) out=out ;;
    6) out=out/qt6 ;;
    *) echo "run-demo.sh: --qt takes 5 or 6" >&2; exit 2 ;;
esac

scripts/install-deps.sh --qt "$qt" iproute2

build=build/qt$qt
cmake -S . -B "$build" -DZVR_QT_MAJOR="$qt" -DZVR_WERROR=ON
cmake --build "$build" -j"${JOBS:-$(nproc)}" --target devicefinder zvr-devicesim

mkdir -p "$out"
finder="$PWD/$build/apps/devicefinder/devicefinder"
outputs=(--screenshot "$out/devicefinder.png"
    --results-screenshot "$out/devicefinder-results.png"
    --export-csv "$out/devicefinder.csv"
    --export-results "$out/devicefinder-results.csv"
    --small-screenshots "$out")
# A settings folder of its own: the user's saved column layout never changes the demo.
export XDG_CONFIG_HOME="$PWD/$out/config" QT_QPA_PLATFORM=offscreen QT_QUICK_BACKEND=software

if ! unshare --user --map-root-user --net true 2>/dev/null; then
    echo "run-demo.sh: no private network namespace can be made here (unshare -rn fails); the device finder runs on its in-process simulation"
    exec "$finder" --scans 3 "${outputs[@]}" "$@"
fi

# The administrator's password: a fresh one, in a file only this run can read; it never
# appears on a command line.
secrets=$(mktemp -d)
trap 'rm -rf "$secrets"' EXIT
(umask 077 && head -c 18 /dev/urandom | base64 > "$secrets/password")
chmod 600 "$secrets/password"

# The emulator's model moved on 35 rounds and then held still (--interval 0), so that
# every run lists the same devices: of its 50 devices 49 are up, and two of those are
# configured at one address, where only one of them can answer; the list holds 48.
scripts/netns-run.sh --emulator "$build/apps/devicesim/zvr-devicesim" \
    --devices 50 --rounds 35 --interval 0 --password-file "$secrets/password" -- \
    "$finder" --network lo --user admin --password-file "$secrets/password" --scans 3 \
    "${outputs[@]}" "$@"
