#!/usr/bin/env bash
# Sets up, builds and runs Kelvane or its tests on Debian 12.
#   ./dev.sh run [kelvane options]   install what is missing, build, run the program
#   ./dev.sh test                    install what is missing, build, run every test
#   ./dev.sh build                   install what is missing and build
# Each step skips what is already done.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="${KELVANE_BUILD_DIR:-$here/build}"

packages=(build-essential cmake pkg-config libgtest-dev libgmock-dev
          qt6-base-dev libgl-dev fonts-noto-cjk locales
          xvfb xauth x11-apps imagemagick mbpoll)

install_missing() {
    local missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >/dev/null
}

build_all() {
    install_missing
    cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$build" -j"$(nproc)"
}

run_tests() {
    build_all
    cd "$build"
    ctest --output-on-failure -j"$(nproc)" --timeout 300
}

run_program() {
    build_all
    exec "$here/scripts/run-kelvane.sh" "$build" "$@"
}

case "${1:-}" in
    run) shift; run_program "$@" ;;
    test) run_tests ;;
    build) build_all ;;
    *) echo "usage: $0 run [options] | test | build" >&2; exit 2 ;;
esac
