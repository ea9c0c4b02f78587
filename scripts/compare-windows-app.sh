#!/usr/bin/env bash
# kelvane.exe and the program's windows under wine beside the native program, each
# against a fresh kelvane-sim on a pseudo-terminal (COM5 for wine, through a
# dosdevices link), on the display of $DISPLAY:
#   - the program itself with --port --auto-start --log: the probe and the read;
#   - kelvane-session (the same windows, driven): the probe, the read, Write To Device
#     and four measurement polls, and the statuses the screen showed, in each of the
#     three languages (with a picture of the screen under wine in each).
# The two traffic logs must hold the same requests and replies in the same order (a
# measured value's digits may differ: the simulator draws it from the time it has
# run), and each pause of at least 200 ms between requests must take about as long
# (within a factor of 1.5) on both. The pause before the second request is not timed:
# it ends when the window system hands the transmitter screen the focus, which wine
# without a window manager does about two seconds after the screen shows. Nor is the
# pause before the measurement's command 40: the session saves the screen's picture in
# it, which wine draws in a CJK font more slowly than the program's own steps.
# Usage: scripts/compare-windows-app.sh NATIVE_BUILD_DIR KELVANE_EXE SESSION_EXE WORK_DIR
# (WINEPREFIX and DISPLAY set).
set -euo pipefail

native="$1"
exe="$2"
session_exe="$3"
work="$4"
sim="$native/sim/kelvane-sim"
com5="$WINEPREFIX/dosdevices/com5"
rm -rf "$work"
mkdir -p "$work"
failures=0

# shellcheck source=scripts/sim-on-pty.sh
. "$(dirname "${BASH_SOURCE[0]}")/sim-on-pty.sh"
trap stop_sim EXIT

# Waits until the log shows the configuration's reply (the read is done), at most a
# minute.
await_read() {
    for _ in $(seq 600); do
        grep -q "reply    01 03 12" "$1" 2>/dev/null && return 0
        sleep 0.1
    done
    return 1
}

# "request|reply BYTES" lines, a process value's digits replaced, and the times of
# the requests.
exchanges() {
    awk '{ sub(/\r$/, ""); bytes = $5; for (i = 6; i <= NF; i++) bytes = bytes " " $i }
         $4 == "request" { print "request", bytes; value = (bytes ~ /^01 04 10 00 /) }
         $4 == "reply" { if (value && NF == 11) bytes = "01 04 02 VV VV CC CC"; print "reply", bytes; value = 0 }' "$1"
}
# The time of each request, and 1 for the measurement's command 40 (01 05 00 09 00 28).
request_times() {
    awk '$4 == "request" { print $1, ($5 $6 $7 $8 $9 $10 == "010500090028") }' "$1"
}

compare_logs() {
    local name="$1"
    if ! diff <(exchanges "$work/$name.native.log") <(exchanges "$work/$name.windows.log") \
        >"$work/$name.diff"; then
        echo "DIFFERENT $name: traffic"
        cat "$work/$name.diff"
        failures=$((failures + 1))
        return
    fi
    local timing
    timing="$(paste <(request_times "$work/$name.native.log") <(request_times "$work/$name.windows.log") |
        awk 'NR > 2 { n = $1 - pn; w = $3 - pw
                      if (n >= 0.2) { r = w / n; printf "  request %d after %.3f s natively, %.3f s under wine: ratio %.2f%s\n", NR, n, w, r, ($2 ? " (after the picture: not timed)" : "")
                                      if (!$2 && (r < 0.67 || r > 1.5)) bad = 1 } }
             { pn = $1; pw = $3 } END { exit bad }')" || {
        echo "DIFFERENT $name: timing"
        echo "$timing"
        failures=$((failures + 1))
        return
    }
    echo "same $name: $(exchanges "$work/$name.native.log" | grep -c '^request') requests"
    echo "$timing"
}

# The program: probe and read, then it is closed.
start_sim "$work/native-port"
"$native/app/kelvane" --port "$work/native-port" --auto-start --log "$work/program.native.log" \
    >/dev/null 2>&1 &
program=$!
await_read "$work/program.native.log" || {
    echo "the native program did not read" >&2
    failures=$((failures + 1))
}
kill "$program" 2>/dev/null || true
wait "$program" 2>/dev/null || true
stop_sim

start_sim "$com5"
wine "$exe" --port COM5 --auto-start --log "$(winepath -w "$work/program.windows.log")" \
    >/dev/null 2>&1 &
program=$!
await_read "$work/program.windows.log" || {
    echo "kelvane.exe did not read" >&2
    failures=$((failures + 1))
}
timeout 60 wine taskkill /f /im kelvane.exe >/dev/null 2>&1 || true
kill "$program" 2>/dev/null || true
wait "$program" 2>/dev/null || true
stop_sim
compare_logs program

# The session: probe, read, write, measurement, in each language.
for language in en zh-tw zh-cn; do
    name="session-$language"
    start_sim "$work/native-port"
    timeout 120 "$native/tools/kelvane-session" "$work/native-port" "$work/$name.native.log" \
        "$language" "$work/$name.native.png" >"$work/$name.native.out" 2>/dev/null || {
        echo "the native session failed" >&2
        failures=$((failures + 1))
    }
    stop_sim
    start_sim "$com5"
    timeout 120 wine "$session_exe" COM5 "$(winepath -w "$work/$name.windows.log")" "$language" \
        "$(winepath -w "$work/$name.windows.png")" >"$work/$name.windows.out" 2>/dev/null || {
        echo "the Windows session failed" >&2
        failures=$((failures + 1))
    }
    stop_sim
    compare_logs "$name"
    if ! diff <(tr -d '\r' <"$work/$name.native.out") <(tr -d '\r' <"$work/$name.windows.out"); then
        echo "DIFFERENT $name: statuses"
        failures=$((failures + 1))
    fi
done
rm -f "$com5" "$work/native-port"

if [ "$failures" -ne 0 ]; then
    echo "$failures comparisons of kelvane.exe with kelvane differ (logs in $work)" >&2
    exit 1
fi
echo "kelvane.exe and its windows under wine send and receive as kelvane does."
