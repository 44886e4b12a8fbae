#!/usr/bin/env bash
# Builds examples/devicetable against the installed package of build/qt5 (or qt6) and
# runs it headless to a screenshot, as a newcomer would: the library installed under a
# prefix of its own (with a blank in its name), no LD_LIBRARY_PATH, no QML import path
# from the environment. Fails on an empty screenshot or any warning on the console.
#
#   scripts/run-example.sh [--qt 5|6]     expects build/qtN built (scripts/run-tests.sh)
set -euo pipefail
cd "$(dirname "$0")/.."

qt=5
if [[ ${1:-} == --qt ]]; then
    qt=${2:?--qt takes 5 or 6}
fi
build=build/qt$qt
work=$PWD/out/example/qt$qt
prefix="$work/zvr prefix"
shot=$work/devicetable.png

rm -rf "$work"
cmake --install "$build" --prefix "$prefix" > /dev/null
cmake -S examples/devicetable -B "$work/build" -DZVR_QT_MAJOR="$qt" -DCMAKE_PREFIX_PATH="$prefix" \
    -DCMAKE_CXX_FLAGS="-Wall -Wextra -Werror" > /dev/null
cmake --build "$work/build" -j"${JOBS:-2}" > /dev/null

# A desktop session has a runtime folder; without one Qt warns about it, not the example.
if [[ -z ${XDG_RUNTIME_DIR:-} ]]; then
    export XDG_RUNTIME_DIR=$work/runtime
    mkdir -m 700 "$XDG_RUNTIME_DIR"
fi
# Every message with its type, so that a warning cannot hide among other lines.
env -u LD_LIBRARY_PATH -u QML2_IMPORT_PATH -u QML_IMPORT_PATH \
    QT_QPA_PLATFORM=offscreen QT_QUICK_BACKEND=software QT_MESSAGE_PATTERN='%{type}: %{message}' \
    timeout 30 "$work/build/devicetable" --screenshot "$shot" 2> "$work/console.txt"
if grep -E '^(warning|critical|fatal):' "$work/console.txt"; then
    echo "run-example.sh: the example warned on Qt $qt" >&2
    exit 1
fi
test -s "$shot"
[[ $(file -b "$shot") == "PNG image data, 640 x 480,"* ]] || { file "$shot"; exit 1; }
echo "run-example.sh: Qt $qt: $shot"
