#!/usr/bin/env bash
# Builds the device finder and runs it headless on its simulated network: a few scan
# rounds, a network change on every online device, and two screenshots in out/.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

cmake -S . -B build/qt5 -DZVR_WERROR=ON
cmake --build build/qt5 -j"$(nproc)" --target devicefinder

mkdir -p out
QT_QPA_PLATFORM=offscreen QT_QUICK_BACKEND=software \
    build/qt5/apps/devicefinder/devicefinder --scans 3 \
    --screenshot out/devicefinder.png \
    --results-screenshot out/devicefinder-results.png "$@"
