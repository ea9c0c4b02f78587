#!/usr/bin/env bash
# Runs the built kelvane program: ./dev.sh run [options] ends here as
#   scripts/run-kelvane.sh BUILD_DIR [kelvane options]
# With no USB adapter attached (/dev/ttyUSB*, /dev/ttyACM*) and no --port or
# --simulate given, it adds --simulate, so the program finds a simulated transmitter.
# With no display it runs the program under Xvfb, presses Start for the user
# (--auto-start), saves a screenshot after KELVANE_SCREENSHOT_DELAY seconds (default 9:
# splash, scan, probe and the first read) to KELVANE_SCREENSHOT (default
# BUILD_DIR/kelvane-screenshot.png), prints where, and ends the program.
set -euo pipefail

build="$1"
shift
program="$build/app/kelvane"
args=("$@")

wants_device=1
for a in "${args[@]}"; do
    case "$a" in
        --port | --port=* | --simulate | --simulate-model | --simulate-model=* | -h | --help)
            wants_device=0 ;;
    esac
done
if [ "$wants_device" -eq 1 ] && ! compgen -G "/dev/ttyUSB*" >/dev/null &&
    ! compgen -G "/dev/ttyACM*" >/dev/null; then
    echo "No USB-to-serial adapter found: running with a simulated transmitter (--simulate)."
    args+=(--simulate)
fi

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec "$program" "${args[@]}"
fi

screenshot="${KELVANE_SCREENSHOT:-$build/kelvane-screenshot.png}"
delay="${KELVANE_SCREENSHOT_DELAY:-9}"
echo "No display: running under Xvfb; a screenshot follows in ${delay} s."
xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
    screenshot="$1"; delay="$2"; program="$3"; shift 3
    "$program" --auto-start "$@" &
    pid=$!
    sleep "$delay"
    import -window root "$screenshot"
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
' run-kelvane "$screenshot" "$delay" "$program" "${args[@]}"
echo "Screenshot saved to $screenshot"
