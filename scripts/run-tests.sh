#!/usr/bin/env bash
# Builds the library, its tests and the device finder against Qt 5 (warnings as errors)
# and runs every test; then builds the library and its tests against Qt 6 and runs them.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

jobs=$(nproc)

cmake -S . -B build/qt5 -DZVR_WERROR=ON -DZVR_BUILD_BENCH=OFF
cmake --build build/qt5 -j"$jobs"
(cd build/qt5 && ctest --output-on-failure -j"$jobs")

cmake -S . -B build/qt6 -DZVR_QT_MAJOR=6 -DZVR_WERROR=ON -DZVR_BUILD_APPS=OFF
cmake --build build/qt6 -j"$jobs"
(cd build/qt6 && ctest --output-on-failure -j"$jobs")
