#!/usr/bin/env bash
# Sets up, builds and runs Kelvane or its tests on Debian 12.
#   ./dev.sh run [kelvane options]   install what is missing, build, run the program
#   ./dev.sh test                    install what is missing, build, run every test
#   ./dev.sh test --sanitize         the same with AddressSanitizer and UBSan, in build-sanitize/
#   ./dev.sh build                   install what is missing and build
#   ./dev.sh fuzz [SECONDS]          build the libFuzzer targets with clang, run each (20 s)
#   ./dev.sh package                 build the .deb (CPack) into build/ and check it
#   ./dev.sh bench                   time every sequence against its floor (a few minutes)
#   ./dev.sh windows                 cross-build Qt (once, cached), kelvane.exe, kelvane-cli.exe
#                                    and the tests with mingw-w64, run the tests under wine,
#                                    compare both programs with the native ones, make the
#                                    zips and the installer and check it (build-windows/)
# Each step skips what is already done.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="${KELVANE_BUILD_DIR:-$here/build}"

packages=(build-essential cmake pkg-config libgtest-dev libgmock-dev
          qt6-base-dev qt6-translations-l10n fonts-noto-cjk locales libcli11-dev
          nlohmann-json3-dev xvfb xauth x11-apps imagemagick mbpoll poppler-utils)

# The fuzz targets need clang and its libFuzzer runtime; the plain build does not.
fuzz_packages=(clang libclang-rt-14-dev)
# Cross-building for Windows and running the result: mingw-w64 with posix threads,
# GoogleTest's sources, Qt's build tools (Qt itself comes from Debian's source), wine
# with its fonts, zip and NSIS for the release files, Free Pascal's chmcmd for the help
# files and chmlib's extract_chmLib to list them.
windows_packages=(g++-mingw-w64-x86-64-posix googletest ninja-build perl xz-utils wine wine64
                  fonts-wine zip nsis osslsigncode fp-utils libchm-bin)
# Making and checking the .deb.
package_packages=(dpkg-dev file help2man lintian desktop-file-utils appstream)

install_missing() {
    local missing=()
    for p in "${packages[@]}" "$@"; do
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
    cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    cmake --build "$build" -j"$(nproc)"
}

run_tests() {
    if [ "${1:-}" = "--sanitize" ]; then
        run_sanitized_tests
        return
    fi
    build_all
    cd "$build"
    ctest --output-on-failure -j"$(nproc)" --timeout 300
}

# Every program the tests start writes its sanitizer reports into one folder, so that
# a report of a child program fails the run instead of vanishing with its stderr.
run_sanitized_tests() {
    build="${KELVANE_SANITIZE_BUILD_DIR:-$here/build-sanitize}"
    build_all -DKELVANE_SANITIZE=ON
    local reports="$build/sanitizer-reports"
    rm -rf "$reports"
    mkdir -p "$reports"
    # Leak checking is off: Qt and fontconfig keep caches for the life of the process.
    export ASAN_OPTIONS="detect_leaks=0:log_path=$reports/asan:abort_on_error=0"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:log_path=$reports/ubsan"
    local status=0
    (cd "$build" && ctest --output-on-failure -j"$(nproc)" --timeout 600) || status=$?
    if compgen -G "$reports/*" >/dev/null; then
        echo "Sanitizer reports:" >&2
        cat "$reports"/* >&2
        status=1
    fi
    return "$status"
}

run_fuzz() {
    local seconds="${1:-20}"
    install_missing "${fuzz_packages[@]}"
    local fuzz_build="${KELVANE_FUZZ_BUILD_DIR:-$here/build-fuzz}"
    cmake -S "$here" -B "$fuzz_build" -DKELVANE_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
    cmake --build "$fuzz_build" -j"$(nproc)"
    local target corpus
    for target in fuzz_reply_reader fuzz_sim_requests fuzz_text_rules fuzz_config_file; do
        # A working copy of the seed corpus: what a run finds stays out of the repository.
        corpus="$(mktemp -d)"
        cp "$here/tests/fuzz/corpus/$target"/* "$corpus"/
        echo "Fuzzing $target for $seconds s"
        "$fuzz_build/tests/fuzz/$target" -max_total_time="$seconds" -print_final_stats=1 \
            -artifact_prefix="$fuzz_build/$target-" "$corpus" 2>&1 | tail -n 12
        local status="${PIPESTATUS[0]}"
        rm -rf "$corpus"
        [ "$status" -eq 0 ] || { echo "$target found a failure (see $fuzz_build)" >&2; return 1; }
    done
}

make_package() {
    install_missing "${package_packages[@]}"
    build_all
    (cd "$build" && cpack -G DEB >/dev/null)
    local deb
    deb="$(ls -t "$build"/kelvane_*.deb | head -n 1)"
    echo "Package: $deb"
    "$here/scripts/check-package.sh" "$deb"
}

build_windows() {
    install_missing "${windows_packages[@]}"
    build_all
    "$here/scripts/windows.sh" "$here" "$build" "${KELVANE_WINDOWS_BUILD_DIR:-$here/build-windows}"
}

run_program() {
    build_all
    exec "$here/scripts/run-kelvane.sh" "$build" "$@"
}

case "${1:-}" in
    run) shift; run_program "$@" ;;
    test) shift; run_tests "$@" ;;
    build) build_all ;;
    fuzz) shift; run_fuzz "$@" ;;
    package) make_package ;;
    windows) build_windows ;;
    bench) build_all; "$build/bench/kelvane-bench" ;;
    *) echo "usage: $0 run [options] | test [--sanitize] | build | fuzz [seconds] | package | bench | windows" >&2; exit 2 ;;
esac
