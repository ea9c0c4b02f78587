#!/usr/bin/env bash
# The Windows build of Kelvane, made and checked on Debian:
#   1. Qt for Windows (scripts/build-qt-windows.sh, cached outside the clone) and
#      GoogleTest cross-built for mingw-w64, with the header-only CLI11 and
#      nlohmann-json, in a staging prefix (kept between runs);
#   2. kelvane.exe, kelvane-cli.exe and every test program cross-built;
#   3. every test program run under wine, in a wine prefix of the build's own, on a
#      virtual display (Qt's windows need one under wine);
#   4. kelvane-cli.exe under wine beside the native kelvane-cli, each against
#      kelvane-sim on a pseudo-terminal (COM5 for wine);
#   5. kelvane-cli-<version>-windows-x64.zip (kelvane-cli.exe alone), and
#      kelvane-<version>-windows-x64.zip and kelvane-<version>-setup.exe (NSIS) with
#      both programs, the Qt and runtime DLLs and the Qt plugins;
#   6. the installer checked under wine: an earlier version (a second installer of
#      the same files with an older version, one file more and signed with a throwaway
#      certificate) replaced by this one, a silent install, both installed programs
#      run, the installed kelvane.exe and the program's windows (kelvane-session) are
#      compared with the native program against kelvane-sim, and the uninstaller
#      removes every file.
# With KELVANE_SIGN_PFX (and KELVANE_SIGN_PASSWORD) both programs, the uninstaller
# and the installer are signed (scripts/sign-windows.sh).
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
version="$(sed -n 's/^project(Kelvane VERSION \([0-9.]*\).*/\1/p' "$here/CMakeLists.txt")"
mingw_runtime=(/usr/lib/gcc/x86_64-w64-mingw32/*-posix/libstdc++-6.dll
               /usr/lib/gcc/x86_64-w64-mingw32/*-posix/libgcc_s_seh-1.dll
               /usr/x86_64-w64-mingw32/lib/libwinpthread-1.dll)

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
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELVANE_BUILD_GUI=ON -DCMAKE_PREFIX_PATH="$staging;$qt" \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$(gcc -dumpmachine)/cmake" >/dev/null
    cmake --build "$project" -j"$(nproc)"
}

# wineserver prints a great deal when a pseudo-terminal hangs up: started here, once,
# its output goes to a log instead of the tests' output. Debian's wine does not find
# its own fonts (fonts-wine), so the prefix gets them: Tahoma draws where Windows'
# fonts are missing, and MS Sans Serif is there to be chosen.
start_wine() {
    mkdir -p "$WINEPREFIX"
    # (one left running by an earlier run of this prefix serves as well)
    wineserver -p >>"$out/wineserver.log" 2>&1 || true
    wineboot --init >>"$out/wineserver.log" 2>&1
    cp -n /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
    # The Qt and runtime DLLs for the test programs and the build's kelvane.exe.
    export WINEPATH="Z:$qt/bin;$(for dll in "${mingw_runtime[@]}"; do printf 'Z:%s;' "$(dirname "$dll")"; done)"
}

start_display() {
    local number=90
    while [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ]; do
        number=$((number + 1))
    done
    Xvfb ":$number" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$number"
    for _ in $(seq 100); do
        [ -e "/tmp/.X11-unix/X$number" ] && return 0
        sleep 0.1
    done
    echo "Xvfb did not start" >&2
    return 1
}

stop_all() {
    wineserver -k >/dev/null 2>&1 || true
    [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
}

run_tests() {
    (cd "$project" && ctest --output-on-failure --timeout 600)
}

# Kelvane's licence, then those of the libraries the files carry or have built in.
licences() {
    echo "$1"
    cat "$here/packaging/copyright"
    local doc
    for doc in "${@:2}"; do
        printf '\n\n==== %s ====\n' "$doc"
        cat "$doc"
    done
}

make_cli_zip() {
    local name="kelvane-cli-$version-windows-x64"
    local folder="$out/$name"
    rm -rf "$folder" "$out/$name.zip"
    mkdir -p "$folder"
    cp "$project/cli/kelvane-cli.exe" "$folder/"
    x86_64-w64-mingw32-strip "$folder/kelvane-cli.exe"
    "$here/scripts/sign-windows.sh" "$folder/kelvane-cli.exe"
    licences "kelvane-cli (the libraries below are built into kelvane-cli.exe)" \
        /usr/share/doc/{libcli11-dev,nlohmann-json3-dev,gcc-mingw-w64-base,mingw-w64-common}/copyright |
        sed 's/$/\r/' >"$folder/LICENSES.txt"
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

# The help files beside kelvane.exe: each language's manual, as the native build made
# it (pages, pictures rendered by the program, contents and index), compiled by
# chmcmd. The contents and index are read in the help file's language's code page, the
# pages by their own UTF-8 charset. Each file is listed again (extract_chmLib) to
# check that its pages, pictures, contents and index are inside.
# Usage: make_help_files STAGE_DIR
make_help_files() {
    local language codepage folder name
    for language in en:WINDOWS-1252:QTR-E zh-TW:CP950:QTR-T zh-CN:CP936:QTR-S; do
        IFS=: read -r folder codepage name <<<"$language"
        local work="$out/help/$folder"
        rm -rf "$work"
        mkdir -p "$out/help"
        cp -r "$native/manual/$folder" "$work"
        for sitemap in toc.hhc index.hhk; do
            iconv -f UTF-8 -t "$codepage" "$native/manual/$folder/$sitemap" >"$work/$sitemap"
        done
        (cd "$work" && chmcmd kelvane.hhp >/dev/null)
        rm -rf "$work.listed"
        extract_chmLib "$work/$name.chm" "$work.listed" >/dev/null
        for file in index.html troubleshooting.html input-ranges.html images/transmitter.png \
            images/trim-assistant.png manual.css toc.hhc index.hhk; do
            if [ ! -s "$work.listed/$file" ]; then
                echo "$name.chm lacks $file" >&2
                return 1
            fi
        done
        cp "$work/$name.chm" "$1/"
        echo "Help file: $1/$name.chm"
    done
}

# The program's files as installed: both programs, the DLLs they load, Qt's plugins
# and its translations in the folders looked in beside the program, the help files.
stage_program() {
    stage="$out/kelvane-$version-windows-x64"
    rm -rf "$stage"
    mkdir -p "$stage/platforms" "$stage/styles" "$stage/imageformats"
    cp "$project/app/kelvane.exe" "$project/cli/kelvane-cli.exe" "$stage/"
    cp "$qt"/bin/Qt6{Core,Gui,Widgets}.dll "${mingw_runtime[@]}" "$stage/"
    cp "$qt/plugins/platforms/qwindows.dll" "$stage/platforms/"
    cp "$qt/plugins/styles/qwindowsvistastyle.dll" "$stage/styles/"
    cp "$qt/plugins/imageformats/qjpeg.dll" "$stage/imageformats/"
    # Qt's own texts in Chinese, from Debian's translations (the files are the same on
    # every system), where the program looks for them beside itself.
    mkdir -p "$stage/translations"
    cp /usr/share/qt6/translations/qtbase_zh_{TW,CN}.qm "$stage/translations/"
    make_help_files "$stage"
    find "$stage" -name '*.exe' -o -name '*.dll' | xargs x86_64-w64-mingw32-strip
    "$here/scripts/sign-windows.sh" "$stage"/*.exe
    licences "Kelvane (Qt and the runtime libraries below come as DLLs; CLI11 and nlohmann-json are built into kelvane-cli.exe)" \
        /usr/share/doc/libqt6core6/copyright /usr/share/common-licenses/LGPL-3 \
        /usr/share/common-licenses/GPL-3 \
        /usr/share/doc/{libcli11-dev,nlohmann-json3-dev,gcc-mingw-w64-base,mingw-w64-common}/copyright |
        sed 's/$/\r/' >"$stage/LICENSES.txt"
    sed 's/$/\r/' "$here/packaging/windows/README-kelvane.txt" >"$stage/README.txt"
    # Every DLL a program or plugin imports is Windows' own (API sets, api-ms-win-*, are
    # names the loader resolves) or one of the folder's.
    local missing
    missing="$(find "$stage" -name '*.exe' -o -name '*.dll' | xargs x86_64-w64-mingw32-objdump -p |
        sed -n 's/^\s*DLL Name: //p' | sort -u | while read -r dll; do
            [[ "${dll,,}" == api-ms-win-* ]] || [ -e "$stage/$dll" ] ||
                [ -e "$WINEPREFIX/drive_c/windows/system32/${dll,,}" ] ||
                echo "$dll"
        done)"
    if [ -n "$missing" ]; then
        echo "The Windows files need DLLs they do not carry: $missing" >&2
        return 1
    fi
}

make_program_zip() {
    local name
    name="$(basename "$stage")"
    rm -f "$out/$name.zip"
    (cd "$out" && zip -q -r "$name.zip" "$name")
    echo "Zip: $out/$name.zip"
}

# The installer's file lists (an NSIS include): install each file of the stage, and
# remove exactly those on uninstall, then their folders if nothing else is left.
# Usage: write_file_lists STAGE_DIR
write_file_lists() {
    local stage="$1" file folder
    echo '!macro InstallFiles'
    (cd "$stage" && find . -type f | sort) | while read -r file; do
        file="${file#./}"
        folder="$(dirname "$file")"
        if [ "$folder" = . ]; then
            echo '    SetOutPath "$INSTDIR"'
        else
            printf '    SetOutPath "$INSTDIR\\%s"\n' "${folder//\//\\}"
        fi
        printf '    File "%s"\n' "$stage/$file"
    done
    echo '!macroend'
    echo '!macro UninstallFiles'
    (cd "$stage" && find . -type f | sort) | while read -r file; do
        file="${file#./}"
        printf '    Delete "$INSTDIR\\%s"\n' "${file//\//\\}"
    done
    echo '!macroend'
    echo '!macro UninstallFolders'
    (cd "$stage" && find . -mindepth 1 -type d | sort -r) | while read -r folder; do
        folder="${folder#./}"
        printf '    RMDir "$INSTDIR\\%s"\n' "${folder//\//\\}"
    done
    echo '!macroend'
}

# Usage: build_installer STAGE_DIR VERSION INSTALLER (signed when KELVANE_SIGN_PFX is set)
build_installer() {
    local files="$3.nsh" sign=()
    write_file_lists "$1" >"$files"
    [ -n "${KELVANE_SIGN_PFX:-}" ] && sign=(-DSIGN="$here/scripts/sign-windows.sh")
    makensis -V2 -DVERSION="$2" -DFILES="$files" -DOUTFILE="$3" \
        -DICON="$project/generated/kelvane.ico" -DSIZE_KB="$(du -sk "$1" | cut -f1)" \
        "${sign[@]}" "$here/packaging/windows/kelvane.nsi"
}

make_installer() {
    installer="$out/kelvane-$version-setup.exe"
    build_installer "$stage" "$version" "$installer"
    echo "Installer: $installer"
}

# The earlier version the installer check replaces: the same files, an older version,
# and one file (in a folder of its own) this version no longer has. It is signed with
# a throwaway self-signed certificate, so that every run checks the signing too.
make_previous_installer() {
    local previous="$out/previous"
    rm -rf "$previous"
    mkdir -p "$previous"
    openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Kelvane test signing" \
        -keyout "$previous/key.pem" -out "$previous/certificate.pem" 2>/dev/null
    openssl pkcs12 -export -inkey "$previous/key.pem" -in "$previous/certificate.pem" \
        -passout pass:throwaway -out "$previous/certificate.pfx"
    cp -r "$stage" "$previous/stage"
    mkdir -p "$previous/stage/retired"
    echo "a file only the earlier version installs" >"$previous/stage/retired/earlier-only.txt"
    previous_installer="$previous/kelvane-0.0.1-setup.exe"
    (
        export KELVANE_SIGN_PFX="$previous/certificate.pfx" KELVANE_SIGN_PASSWORD=throwaway
        "$here/scripts/sign-windows.sh" "$previous/stage"/*.exe
        build_installer "$previous/stage" 0.0.1 "$previous_installer"
    )
}

stage_dependencies
qt="$("$here/scripts/build-qt-windows.sh" | tail -n 1)"
build_project
trap stop_all EXIT
start_wine
start_display
run_tests
"$here/scripts/compare-windows-cli.sh" "$native" "$project/cli/kelvane-cli.exe" "$out/compare"
make_cli_zip
stage_program
make_program_zip
make_installer
make_previous_installer
# The installed kelvane.exe is the one compared with the native program.
"$here/scripts/check-windows-installer.sh" "$installer" "$stage" "$previous_installer" \
    "$out/previous/certificate.pem" "$out/install-check" \
    "$here/scripts/compare-windows-app.sh" "$native" "@INSTALLED@/kelvane.exe" \
    "$project/tools/kelvane-session.exe" "$out/compare-app"
