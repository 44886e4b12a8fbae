#!/usr/bin/env bash
# The device finder against the device emulator on a private network that this test
# creates: it lists exactly the devices that answer, with the values of the seeded model
# behind them (another maker's device without a kind, a computer announcing itself not
# at all); wrong credentials are refused in the tool's words and change nothing; a change
# reaches the devices and the next scan finds them at their new addresses. Bad options
# stop the tool with exit code 2 before it starts.
#
#   e2e.sh DEVICEFINDER ZVR-DEVICESIM FOREIGN-RESPONDER NETNS-RUN
#
# Exit code 77 (skipped) where no private network namespace can be made.
set -euo pipefail

finder=$1 emulator=$2 responder=$3 netns=$4

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# The named columns of a CSV export (UTF-8 with a byte order mark, CRLF), one row a
# line in that order, sorted; a filter, if given, is an awk condition on those columns.
columns() { # file names [filter]
    sed -e '1s/^\xef\xbb\xbf//' -e 's/\r$//' "$1" | awk -F, -v names="$2" '
        NR == 1 {
            n = split(names, want, ",")
            for (i = 1; i <= NF; ++i) at[$i] = i
            for (j = 1; j <= n; ++j) if (!(want[j] in at)) { print "no column " want[j] > "/dev/stderr"; exit 1 }
            next
        }
        {
            line = $(at[want[1]])
            for (j = 2; j <= n; ++j) line = line "," $(at[want[j]])
            print line
        }' | awk -F, "${3:-1}" | sort
}

run_finder() { # log name, options...
    local log=$work/$1.log
    shift
    "$finder" "$@" >"$log" 2>&1 || { cat "$log" >&2; fail "devicefinder $* ended with $?"; }
}

# Everything the model says of a device; the MAC first.
shown=MAC地址,状态,设备名称,网口1\ IP,序列号,设备类型,设备型号,设备状态,完整类型,子类型,故障信息,运行模式,固件版本,点名状态,网口2\ IP,网口1\ 子网掩码,网口1\ 网关地址

if [[ ${E2E_INSIDE:-} != 1 ]]; then
    if ! unshare --user --map-root-user --net true 2>/dev/null; then
        echo "SKIP: no private network namespace can be made here (unshare -rn fails)"
        exit 77
    fi
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime
    export QT_QPA_PLATFORM=offscreen QT_QUICK_BACKEND=software
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    (umask 077 && echo "pw-$RANDOM-$RANDOM" >"$work/password" && echo "not-the-password" >"$work/wrong")

    # The truth: the seeded model after its first round, as the emulator starts it.
    run_finder model --scans 1 --export-csv "$work/model.csv"
    E2E_INSIDE=1 E2E_WORK=$work "$netns" --emulator "$emulator" --devices 48 --interval 0 \
        --password-file "$work/password" -- "$0" "$@"
    echo "PASS"
    exit 0
fi

# Inside the namespace, the emulator answering.
work=$E2E_WORK

# Refusals, inside the private network too: a plain message and exit code 2, before
# anything starts.
while IFS='|' read -r options message; do
    status=0
    # shellcheck disable=SC2086
    "$finder" $options --export-csv "$work/never.csv" >/dev/null 2>"$work/refusal" || status=$?
    [[ $status == 2 ]] || fail "devicefinder $options: exit code $status, not 2"
    [[ $(head -1 "$work/refusal") == "devicefinder: $message" ]] \
        || fail "devicefinder $options: '$(head -1 "$work/refusal")', not '$message'"
    [[ ! -e $work/never.csv ]] || fail "devicefinder $options wrote its export"
done <<EOF
--network 127.0.0.300:3702|--network: "127.0.0.300" is not an IPv4 address
--network 127.0.0.1:0|--network: "0" is not a port between 1 and 65535
--network lo --user admin --password-file $work/missing|cannot read the password file $work/missing: No such file or directory
--network lo --password-file $work/password|a password needs --user
--network lo --faults drop=0.1|--faults is for the simulated network, not with --network
EOF

"$responder" "$work/connections" &
responder_pid=$!
trap 'kill $responder_pid 2>/dev/null || true' EXIT
network=(--network lo --scans 2)

# The devices that answer (online or in fault) with every value of the model. Two of
# them hold one address, where only one answers HTTP: that one is listed, whole, in
# conflict; the rest exactly.
conflict=192.168.1.28
columns "$work/model.csv" "$shown" '$2 != "离线" && $4 != "'$conflict'"' >"$work/expected"
columns "$work/model.csv" "$shown" '$4 == "'$conflict'"' >"$work/expected-conflict"
(( $(wc -l <"$work/expected") > 20 && $(wc -l <"$work/expected-conflict") == 2 )) \
    || fail "the model does not give the devices this test expects"
run_finder list "${network[@]}" --export-csv "$work/list.csv"
columns "$work/list.csv" "$shown" '$4 != "'$conflict'"' >"$work/listed"
diff -u "$work/expected" "$work/listed" >&2 || fail "the listed devices differ from the emulator's"
columns "$work/list.csv" "$shown" '$4 == "'$conflict'"' >"$work/listed-conflict"
[[ $(wc -l <"$work/listed-conflict") == 1 ]] && grep -qxFf "$work/listed-conflict" "$work/expected-conflict" \
    || { cat "$work/listed-conflict" >&2; fail "the device at $conflict is not one of the two that hold it"; }
columns "$work/list.csv" IP状态,网口1\ IP '$2 == "'$conflict'"' | grep -qx "IP冲突,$conflict" \
    || fail "the device at $conflict is not shown in conflict"
columns "$work/list.csv" 设备名称,设备类型,完整类型 | grep -qx '[^,]*设备20,--,--' \
    || fail "another maker's device is not listed without a kind"
[[ ! -e $work/connections ]] || fail "the computer announcing itself was contacted"

# Wrong credentials: every device that was asked says so in the tool's words; nothing moves.
(umask 077 && cp "$work/wrong" "$work/given")
run_finder refused "${network[@]}" --user admin --password-file "$work/given" --export-results "$work/refused.csv"
(( $(columns "$work/refused.csv" MAC地址 | wc -l) > 20 )) || fail "too few devices were asked"
[[ $(columns "$work/refused.csv" 新IP地址,修改结果,详情 | sort -u) == "未更改,修改失败,用户名或密码错误" ]] \
    || { cat "$work/refused.csv" >&2; fail "a device with a wrong password did not answer so"; }
run_finder after-refusal "${network[@]}" --export-csv "$work/after-refusal.csv"
columns "$work/after-refusal.csv" "$shown" '$4 != "'$conflict'"' | diff -u "$work/expected" - >&2 \
    || fail "a refused change moved a device"

# The administrator's credentials: the change reaches the devices, and a new scan finds
# each one that took it at its new address, and the others where they were.
run_finder change "${network[@]}" --user admin --password-file "$work/password" \
    --export-results "$work/results.csv"
columns "$work/results.csv" MAC地址,新IP地址 '$2 ~ /^172\./' >"$work/moved"
(( $(wc -l <"$work/moved") > 10 )) || { cat "$work/results.csv" >&2; fail "too few devices took the change"; }
run_finder rescan "${network[@]}" --export-csv "$work/rescan.csv"
columns "$work/rescan.csv" MAC地址,网口1\ IP '$2 ~ /^172\./' | diff -u "$work/moved" - >&2 \
    || fail "the next scan does not show the new addresses"
