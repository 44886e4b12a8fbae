#!/usr/bin/env bash
# Builds the device finder and runs it headless on its simulated network: a few scan
# rounds, a network change on every online device, two screenshots and two CSV files
# (the device list and the change's results), and the results view, an editor and the
# batch editor in an 800x500 window, in out/ (Qt 5) or out/qt6/ (Qt 6). Further
# arguments go to the tool.
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

scripts/install-deps.sh --qt "$qt"

build=build/qt$qt
cmake -S . -B "$build" -DZVR_QT_MAJOR="$qt" -DZVR_WERROR=ON
cmake --build "$build" -j"${JOBS:-$(nproc)}" --target devicefinder

mkdir -p "$out"
# A settings folder of its own: the user's saved column layout never changes the demo.
XDG_CONFIG_HOME="$PWD/$out/config" QT_QPA_PLATFORM=offscreen QT_QUICK_BACKEND=software \
    "$build/apps/devicefinder/devicefinder" --scans 3 \
    --screenshot "$out/devicefinder.png" \
    --results-screenshot "$out/devicefinder-results.png" \
    --export-csv "$out/devicefinder.csv" \
    --export-results "$out/devicefinder-results.csv" \
    --small-screenshots "$out" "$@"
