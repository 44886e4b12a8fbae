#!/usr/bin/env bash
# Installs the Debian packages the build, the tests, the demo, the Debian packages and
# the API reference need; does nothing when they are all present.
#
#   scripts/install-deps.sh [--qt 5|6] [extra packages]    (both Qt versions by default)
set -euo pipefail

qt_versions=(5 6)
if [[ ${1:-} == --qt ]]; then
    qt_versions=("${2:?--qt takes 5 or 6}")
    shift 2
fi

packages=(cmake g++ make pkg-config dpkg-dev file doxygen fonts-wqy-microhei)
for qt in "${qt_versions[@]}"; do
    case $qt in
        5) packages+=(qtbase5-dev qtdeclarative5-dev qtquickcontrols2-5-dev
                      qml-module-qtquick2 qml-module-qtquick-controls2 qml-module-qtquick-layouts
                      qml-module-qtquick-window2 qml-module-qtqml-models2 qml-module-qttest qtkeychain-qt5-dev) ;;
        6) packages+=(qt6-base-dev qt6-declarative-dev
                      qml6-module-qtquick qml6-module-qtquick-controls qml6-module-qtquick-templates
                      qml6-module-qtquick-layouts qml6-module-qtquick-window qml6-module-qtqml-models
                      qml6-module-qtqml-workerscript qml6-module-qttest qtkeychain-qt6-dev) ;;
        *) echo "install-deps.sh: --qt takes 5 or 6" >&2; exit 2 ;;
    esac
done
packages+=("$@")

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
