#!/usr/bin/env bash
# kelvane-cli.exe under wine beside the native kelvane-cli, command by command: each
# side talks to a fresh kelvane-sim on a pseudo-terminal (wine reaches it as COM5
# through a dosdevices link) and must give the same exit status, the same standard
# output and the same messages. Times of day and the device's name are the only
# words that may differ.
# Usage: scripts/compare-windows-cli.sh NATIVE_BUILD_DIR KELVANE_CLI_EXE WORK_DIR
# (WINEPREFIX set).
set -euo pipefail
# Wine reads the command line in the locale's encoding: UTF-8, whatever CI's is, so
# that a folder named in Chinese reaches kelvane-cli.exe as it is.
export LC_ALL=C.UTF-8
# "&" in a replaced path stays itself.
shopt -u patsub_replacement 2>/dev/null || true

native="$1"
exe="$2"
work="$3"
sim="$native/sim/kelvane-sim"
cli="$native/cli/kelvane-cli"
com5="$WINEPREFIX/dosdevices/com5"
rm -rf "$work"
mkdir -p "$work"
failures=0
# No run may hang CI: each program gets two minutes.
limit="timeout 120"

# shellcheck source=scripts/sim-on-pty.sh
. "$(dirname "${BASH_SOURCE[0]}")/sim-on-pty.sh"
trap stop_sim EXIT
# A pseudo-terminal's hang-up makes wineserver print its whole state to the stderr it
# started with, and wine's background services keep open the output they started
# with: both are started here, their output aside, and serve every run below (ones
# already running serve as well).
wineserver -p >>"$work/wineserver.log" 2>&1 || true
wineboot --init >>"$work/wineserver.log" 2>&1

# The words that may differ: the device's name, how many bytes of a streaming line's
# noise one collection took, and in measure's CSV the times of day and the digits of
# values the simulator draws from the time it has run.
normalize() {
    sed -e "s#$work/native-port#${win_port//\\/\\\\}#g" -e 's/\r$//' \
        -e 's/([0-9]* bytes: noise/(N bytes: noise/' \
        -e '/^[0-9-]*T[0-9:.]*Z,/{s/^[^,]*,/TIME,/;s/[0-9]/9/g}'
}

# One case: a name, the simulator's arguments (as one string), the command's arguments,
# where @FILE@ is the changed configuration: a Linux path natively, a Windows path
# ("Z:\...") under wine.
check() {
    local name="$1" sim_args="$2"
    shift 2
    local status_native=0 status_windows=0
    # shellcheck disable=SC2086
    start_sim "$work/native-port" $sim_args
    $limit "$cli" --port "$work/native-port" "${@//@FILE@/$changed_native}" >"$work/$name.native.out" \
        2>"$work/$name.native.err" || status_native=$?
    stop_sim
    # shellcheck disable=SC2086
    start_sim "$WINEPREFIX/dosdevices/$win_link" $sim_args
    $limit wine "$exe" --port "$win_port" "${@//@FILE@/$changed_windows}" >"$work/$name.windows.out" 2>"$work/$name.windows.err" ||
        status_windows=$?
    stop_sim
    local same=1
    [ "$status_native" -eq "$status_windows" ] || same=0
    for stream in out err; do
        normalize <"$work/$name.native.$stream" >"$work/$name.native.$stream.n"
        normalize <"$work/$name.windows.$stream" >"$work/$name.windows.$stream.n"
        cmp -s "$work/$name.native.$stream.n" "$work/$name.windows.$stream.n" || same=0
    done
    if [ "$same" -eq 1 ]; then
        echo "same   $name (exit $status_native)"
    else
        echo "DIFFER $name: exit $status_native native, $status_windows windows" >&2
        diff "$work/$name.native.out.n" "$work/$name.windows.out.n" >&2 || true
        diff "$work/$name.native.err.n" "$work/$name.windows.err.n" >&2 || true
        failures=$((failures + 1))
    fi
}

# A configuration to write and compare: the simulator's own, with other limits.
start_sim "$work/native-port"
$limit "$cli" --port "$work/native-port" read -o "$work/device.json"
stop_sim
sed -e 's/"upper": 400/"upper": 600/' -e 's/"offset": 0.0/"offset": 1.5/' \
    "$work/device.json" >"$work/changed.json"
# A Windows path, as a technician would give it.
changed_native="$work/changed.json"
changed_windows="$(winepath -w "$work/changed.json")"

win_port=COM5
win_link=com5
check identify "" identify
check read "" read
check read-qtn "--model QTN-H --serial 4294967295" read
check write "" write "$work/changed.json"
check write-windows-path "" write @FILE@
check diff "" diff @FILE@
check measure "" measure --count 3 --interval 100
check trim-4mA "" trim 4mA --count 7000
check trim-normal "" trim normal
check pace-screen "" --pace screen read
for fault in no-reply bad-crc short-reply late-reply gap-in-reply sensor-open other-model \
    noise-before-reply streaming-line; do
    check "identify-$fault" "--fault $fault" identify
    check "read-$fault" "--fault $fault" read
done
check write-store-fails "--fault store-fails" write "$work/changed.json"
check measure-sensor-open "--fault sensor-open" measure --count 2 --interval 100
# Ports past COM9 open by their device-namespace names, however they are given.
win_link=com12
win_port=COM12
check read-COM12 "" read
win_port='\\.\COM12'
check read-device-namespace-COM12 "" read
# Windows numbers a new USB adapter COM17 and up.
win_link=com23
win_port=COM23
check read-COM23 "" read
check write-COM23 "" write @FILE@
win_port=COM5
win_link=com5
# A file in folders named in Chinese, on both sides: C:\王小明\設定\ under wine.
mkdir -p "$work/王小明/設定" "$WINEPREFIX/drive_c/王小明/設定"
cp "$work/changed.json" "$work/王小明/設定/變送器.json"
cp "$work/changed.json" "$WINEPREFIX/drive_c/王小明/設定/變送器.json"
plain_windows="$changed_windows"
changed_native="$work/王小明/設定/變送器.json"
changed_windows='C:\王小明\設定\變送器.json'
check write-chinese-folder "" write @FILE@
check diff-chinese-folder "" diff @FILE@
changed_native="$work/changed.json"
changed_windows="$plain_windows"

# A pulled-out adapter: wine keeps reading nothing instead of failing, so only the
# exit status is the same on both sides.
status_native=0
status_windows=0
start_sim "$work/native-port" --fault adapter-pulled:2
$limit "$cli" --port "$work/native-port" read >/dev/null 2>&1 || status_native=$?
stop_sim
start_sim "$com5" --fault adapter-pulled:2
$limit wine "$exe" --port COM5 read >/dev/null 2>&1 || status_windows=$?
stop_sim
if [ "$status_native" -eq "$status_windows" ]; then
    echo "same   read-adapter-pulled (exit $status_native)"
else
    echo "DIFFER read-adapter-pulled: exit $status_native native, $status_windows windows" >&2
    failures=$((failures + 1))
fi

# An absent port: no simulator behind either name.
rm -f "$com5" "$work/native-port"
status_native=0
status_windows=0
$limit "$cli" --port "$work/native-port" identify >"$work/absent.native.out" 2>"$work/absent.native.err" ||
    status_native=$?
$limit wine "$exe" --port COM5 identify >"$work/absent.windows.out" 2>"$work/absent.windows.err" ||
    status_windows=$?
if [ "$status_native" -eq "$status_windows" ] &&
    cmp -s <(normalize <"$work/absent.native.err") <(normalize <"$work/absent.windows.err"); then
    echo "same   absent-port (exit $status_native)"
else
    echo "DIFFER absent-port: exit $status_native native, $status_windows windows" >&2
    diff <(normalize <"$work/absent.native.err") <(normalize <"$work/absent.windows.err") >&2 || true
    failures=$((failures + 1))
fi

# The simulated transmitter inside kelvane-cli.exe, and a port past COM9.
$limit wine "$exe" --simulate QTR-D identify >"$work/simulate.out"
grep -q "^model QTR-D" "$work/simulate.out" || {
    echo "kelvane-cli.exe --simulate did not identify a QTR-D" >&2
    failures=$((failures + 1))
}
status_windows=0
rm -f "$WINEPREFIX/dosdevices/com12"
$limit wine "$exe" --port '\\.\COM12' identify >/dev/null 2>"$work/com12.err" || status_windows=$?
grep -q 'cannot open \\\\.\\COM12: no such serial device' "$work/com12.err" || {
    echo "kelvane-cli.exe --port \\\\.\\COM12: $(cat "$work/com12.err")" >&2
    failures=$((failures + 1))
}

# No --port: the adapter is looked for through WMI, which lists no COM port under
# wine; the scan must say so and fail cleanly.
status_windows=0
$limit wine "$exe" identify >/dev/null 2>"$work/wmi.err" || status_windows=$?
if [ "$status_windows" -ne 1 ] || ! grep -q "no USB-to-serial adapter found" "$work/wmi.err"; then
    echo "kelvane-cli.exe without --port: exit $status_windows, $(cat "$work/wmi.err")" >&2
    failures=$((failures + 1))
fi

if [ "$failures" -gt 0 ]; then
    echo "$failures case(s) differ between kelvane-cli and kelvane-cli.exe (see $work)" >&2
    exit 1
fi
echo "kelvane-cli.exe and kelvane-cli agree in every case"
