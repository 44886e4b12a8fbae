#!/usr/bin/env bash
# A third-party ONVIF client (the npm package onvif) against zvr-devicesim on a private
# network: it discovers the devices, reads them, is refused with a wrong password,
# re-addresses one device and finds it at its new address. Fails when any step fails.
#   scripts/run-onvif-client.sh [--qt 6] [onvif version, default 0.8.3]
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/qt5
if [[ ${1:-} == --qt ]]; then
    build=build/qt$2
    shift 2
fi
version="${1:-0.8.3}"
client=out/onvif-client

# The namespace needs ip and ss; the client needs Node.js and npm (Debian's where missing).
scripts/install-deps.sh iproute2
command -v npm >/dev/null || scripts/install-deps.sh nodejs npm
cmake --build "$build" --target zvr-devicesim -j"${JOBS:-2}"
if [[ $(node -p "try { require('./$client/node_modules/onvif/package.json').version } catch (e) { '' }") != "$version" ]]; then
    mkdir -p "$client"
    npm install --prefix "$client" --no-save --no-audit --no-fund "onvif@$version" >/dev/null
fi
NODE_PATH="$PWD/$client/node_modules" scripts/netns-run.sh --emulator "$build/apps/devicesim/zvr-devicesim" \
    --devices 200 --port 8080 --interval 0 -- timeout 60 node apps/devicesim/tests/onvif/check-onvif.js 8080
