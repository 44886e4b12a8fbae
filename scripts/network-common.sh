# Shared by the scripts that run the device finder against the emulator on a private
# network: finds or builds what they need, and skips cleanly (exit 77, one line) where a
# private network namespace cannot be made.
#   source scripts/network-common.sh; net_prepare zvr_hostile
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${BUILD:-$here/build/qt5}"
finder="$build/apps/devicefinder/devicefinder"
emulator="$build/apps/devicesim/zvr-devicesim"
hostile="$build/tools/hostile/zvr_hostile"

net_skip() {
    echo "$(basename "$0"): skipped: $*"
    exit 77
}

# Builds the finder, the emulator and the given further targets where they are missing
# or older than the sources (a build tree of the default configuration is made if none).
net_prepare() {
    if [[ ${NET_NO_BUILD:-} != 1 ]]; then
        if [[ ! -f $build/CMakeCache.txt ]]; then
            cmake -S "$here" -B "$build" -DZVR_QT_MAJOR=5 -DZVR_BUILD_APPS=ON -DZVR_BUILD_BENCH=OFF >/dev/null
        fi
        cmake --build "$build" --target devicefinder zvr-devicesim "$@" -j"${JOBS:-2}" >/dev/null
    fi
    unshare --user --map-root-user --net true 2>/dev/null \
        || net_skip "user namespaces are not allowed here, so no private network can be made"
    "$finder" --help 2>/dev/null | grep -q -- '--network' || net_skip "this device finder has no --network"
}

# The finder headless on the network, with a settings folder of its own. It takes the
# caller's place: run it in a subshell, "(net_finder ...) &", so that $! is its own id.
net_finder() {
    exec env QT_QPA_PLATFORM=offscreen QT_QUICK_BACKEND=software XDG_CONFIG_HOME="$out/config" "$finder" "$@"
}

# A fresh password that nobody could guess, in a file only we can read.
net_password_file() {
    umask 077
    head -c 18 /dev/urandom | base64 | tr -d '/+=' > "$1"
}
