#!/usr/bin/env bash
# Builds the library, its tests and the device finder with its QML tests against Qt 5
# and against Qt 6, warnings as errors, and runs every test of each build.
#
#   scripts/run-tests.sh              both versions
#   scripts/run-tests.sh --qt 5|6     one version
set -euo pipefail
cd "$(dirname "$0")/.."

versions=(5 6)
if [[ ${1:-} == --qt ]]; then
    versions=("${2:?--qt takes 5 or 6}")
fi

jobs=${JOBS:-$(nproc)}

for qt in "${versions[@]}"; do
    scripts/install-deps.sh --qt "$qt"
    build=build/qt$qt
    echo "== Qt $qt ($build)"
    cmake -S . -B "$build" -DZVR_QT_MAJOR="$qt" -DZVR_WERROR=ON -DZVR_BUILD_APPS=ON \
        -DZVR_BUILD_BENCH=OFF
    cmake --build "$build" -j"$jobs"
    (cd "$build" && ctest --output-on-failure -j"$jobs")
done
