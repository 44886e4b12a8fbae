#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need; does nothing
# when they are all present. Pass extra package names to install those too.
set -euo pipefail

packages=(
    cmake g++ make pkg-config
    qtbase5-dev qtdeclarative5-dev qtquickcontrols2-5-dev
    qml-module-qtquick2 qml-module-qtquick-controls2 qml-module-qtquick-layouts
    qml-module-qtquick-window2 qml-module-qtqml-models2 qml-module-qttest
    qt6-base-dev
    fonts-wqy-microhei
    "$@"
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq "${missing[@]}"
