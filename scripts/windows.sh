#!/usr/bin/env bash
# The Windows build of the Qt-free programs, made and checked on Debian:
#   1. GoogleTest cross-built for mingw-w64 from Debian's sources, and the header-only
#      CLI11 and nlohmann-json copied, into a staging prefix (kept between runs);
#   2. kelvane-cli.exe and every Qt-free test program cross-built;
#   3. every test program run under wine, in a wine prefix of the build's own;
#   4. kelvane-cli.exe under wine beside the native kelvane-cli, each against
#      kelvane-sim on a pseudo-terminal (COM5 for wine), command by command;
#   5. kelvane-cli-<version>-windows-x64.zip.
# Usage: scripts/windows.sh SOURCE_DIR NATIVE_BUILD_DIR WINDOWS_BUILD_DIR
set -euo pipefail

here="$1"
native="$2"
out="$3"
staging="$out/staging"
project="$out/project"
export WINEPREFIX="$out/wine"
export WINEDEBUG=-all
# No Mono or Gecko installers: nothing here needs .NET or a browser.
export WINEDLLOVERRIDES="mscoree,mshtml="

stage_dependencies() {
    [ -f "$staging/.complete" ] && return 0
    rm -rf "$staging" "$out/googletest"
    mkdir -p "$staging/include" "$staging/share/cmake"
    cmake -S /usr/src/googletest -B "$out/googletest" \
        -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$staging" >/dev/null
    cmake --build "$out/googletest" -j"$(nproc)" >/dev/null
    cmake --install "$out/googletest" >/dev/null
    # Header-only libraries: their headers and CMake files, away from glibc's headers.
    cp -r /usr/include/CLI /usr/include/nlohmann "$staging/include/"
    cp -r /usr/share/cmake/CLI11 /usr/share/cmake/nlohmann_json "$staging/share/cmake/"
    touch "$staging/.complete"
}

build_project() {
    cmake -S "$here" -B "$project" -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELVANE_BUILD_GUI=OFF \
        -DCMAKE_PREFIX_PATH="$staging" >/dev/null
    cmake --build "$project" -j"$(nproc)"
}

# wineserver prints a great deal when a pseudo-terminal hangs up: started here, once,
# its output goes to a log instead of the tests' output.
start_wine() {
    mkdir -p "$WINEPREFIX"
    # (one left running by an earlier run of this prefix serves as well)
    wineserver -p >>"$out/wineserver.log" 2>&1 || true
    wineboot --init >>"$out/wineserver.log" 2>&1
}

stop_wine() {
    wineserver -k >/dev/null 2>&1 || true
}

run_tests() {
    (cd "$project" && ctest --output-on-failure --timeout 300)
}

make_zip() {
    local version
    version="$(sed -n 's/^project(Kelvane VERSION \([0-9.]*\).*/\1/p' "$here/CMakeLists.txt")"
    local name="kelvane-cli-$version-windows-x64"
    local folder="$out/$name"
    rm -rf "$folder" "$out/$name.zip"
    mkdir -p "$folder"
    cp "$project/cli/kelvane-cli.exe" "$folder/"
    x86_64-w64-mingw32-strip "$folder/kelvane-cli.exe"
    # Kelvane's licence, then those of the libraries linked into the .exe.
    {
        echo "kelvane-cli"
        cat "$here/packaging/copyright"
        local doc
        for doc in libcli11-dev nlohmann-json3-dev gcc-mingw-w64-base mingw-w64-common; do
            printf '\n\n==== %s (built into kelvane-cli.exe) ====\n' "$doc"
            cat "/usr/share/doc/$doc/copyright"
        done
    } | sed 's/$/\r/' >"$folder/LICENSES.txt"
    sed 's/$/\r/' "$here/packaging/windows/README.txt" >"$folder/README.txt"
    (cd "$out" && zip -q -r "$name.zip" "$name")
    # The .exe needs no DLL but the system's own.
    if x86_64-w64-mingw32-objdump -p "$folder/kelvane-cli.exe" | grep -i "DLL Name" |
        grep -viE 'kernel32|msvcrt|user32|advapi32|ole32|oleaut32|shell32|ws2_32'; then
        echo "kelvane-cli.exe needs a DLL the zip does not carry" >&2
        return 1
    fi
    wine "$folder/kelvane-cli.exe" --version
    echo "Zip: $out/$name.zip"
}

stage_dependencies
build_project
trap stop_wine EXIT
start_wine
run_tests
"$here/scripts/compare-windows-cli.sh" "$native" "$project/cli/kelvane-cli.exe" "$out/compare"
make_zip
