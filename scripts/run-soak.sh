#!/usr/bin/env bash
# Builds the heap soak driver (no sanitizers) and runs it: by default 10,000 devices
# for 1,000 scan rounds, heap sampled every 100 rounds; fails if the heap grows once
# the population is stable. Arguments go to the driver, e.g. --rounds 300.
#
#   scripts/run-soak.sh [--devices N] [--rounds N] [--sample-every N] [--tolerance BYTES]
#   SOAK_BUILD_DIR=dir scripts/run-soak.sh ...            (default build/soak)
set -euo pipefail
cd "$(dirname "$0")/.."

build=${SOAK_BUILD_DIR:-build/soak}
jobs=${JOBS:-$(nproc)}

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZVR_SANITIZE=OFF -DZVR_BUILD_SOAK=ON \
    -DZVR_BUILD_TESTS=OFF -DZVR_BUILD_APPS=OFF -DZVR_BUILD_BENCH=OFF -DZVR_BUILD_FUZZ=OFF
cmake --build "$build" -j"$jobs" --target zvr_soak

start=$SECONDS
"$build/tools/soak/zvr_soak" "$@"
echo "soak: $((SECONDS - start)) s"
