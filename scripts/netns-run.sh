#!/usr/bin/env bash
# Runs zvr-devicesim and a command of your choice on a private network that nothing
# outside can see: a fresh user and network namespace with loopback up, multicast on
# loopback and the devices' ranges routed to it (AnyIP). Where user namespaces are not
# allowed, both run on this host's loopback and the devices hold 127.x.y.z addresses.
#
#   scripts/netns-run.sh [--emulator PATH] [emulator options...] -- command [args...]
#
# The emulator's options come before "--" (default: --devices 1000); the command runs
# once the devices answer and have said Hello, and its exit status is the script's.
# ZVR_DEVICESIM_PASSWORD passes the administrator's password through the environment.
set -euo pipefail

here="$(cd "$(dirname "$0")/.." && pwd)"
emulator="${ZVR_DEVICESIM:-$here/build/qt5/apps/devicesim/zvr-devicesim}"
options=()
while [[ $# -gt 0 && $1 != -- ]]; do
    if [[ $1 == --emulator ]]; then
        emulator="$2"
        shift 2
    else
        options+=("$1")
        shift
    fi
done
[[ ${1:-} == -- ]] && shift
[[ $# -gt 0 ]] || { echo "usage: $0 [--emulator PATH] [emulator options] -- command [args]" >&2; exit 2; }
[[ ${#options[@]} -gt 0 ]] || options=(--devices 1000)
port=80
for ((i = 0; i < ${#options[@]}; ++i)); do
    case ${options[i]} in
    --port) port=${options[i + 1]:-80} ;;
    --port=*) port=${options[i]#--port=} ;;
    esac
done
[[ -x $emulator ]] || { echo "no emulator at $emulator (build the zvr-devicesim target)" >&2; exit 2; }

if [[ ${ZVR_NETNS_INSIDE:-} == 1 ]]; then
    # Inside the namespace: a network of our own.
    ip link set lo up
    ip link set lo multicast on
    ip route add 224.0.0.0/4 dev lo
    for range in 192.168.0.0/16 172.16.0.0/12 10.0.0.0/8; do
        ip route add local "$range" dev lo
    done
    mode=(--address-mode anyip --interfaces lo)
else
    if unshare --user --map-root-user --net true 2>/dev/null; then
        ZVR_NETNS_INSIDE=1 exec unshare --user --map-root-user --net "$0" --emulator "$emulator" \
            "${options[@]}" -- "$@"
    fi
    echo "netns-run: user namespaces are not allowed here; the devices use 127.0.0.0/8 on this host's loopback" >&2
    mode=(--address-mode loopback --interfaces none)
fi
# The emulator's lines go to a file that is shown as it grows, so that we can wait for them.
emulator_log=$(mktemp)
"$emulator" "${mode[@]}" "${options[@]}" 2> "$emulator_log" &
emulator_pid=$!
tail -f -s 0.2 -n +1 --pid=$emulator_pid "$emulator_log" >&2 &
tail_pid=$!
trap 'kill -TERM $emulator_pid 2>/dev/null || true; wait $emulator_pid $tail_pid 2>/dev/null || true; rm -f "$emulator_log"' EXIT
# The devices answer once the service port listens; the command starts after their
# startup Hellos, as on a network that was up before it (at most a minute's wait).
for _ in $(seq 600); do
    kill -0 $emulator_pid 2>/dev/null || { echo "netns-run: the emulator ended" >&2; exit 1; }
    if ss -Hltn "sport = :$port" 2>/dev/null | grep -q . && grep -q "every answering device announced" "$emulator_log"; then
        break
    fi
    sleep 0.1
done
status=0
"$@" || status=$?
exit $status
