#!/usr/bin/env bash
# Runs the built program. Until the screens exist this serves the simulated
# transmitter; the application shell takes this script over.
set -euo pipefail
build="$1"; shift
exec "$build/sim/kelvane-sim" "$@"
