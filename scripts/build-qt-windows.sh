#!/usr/bin/env bash
# Qt for Windows, cross-built with mingw-w64 from Debian's own qt6-base source, of the
# version the host's Qt has (its moc, rcc and uic serve as the host tools): only the
# modules and features Kelvane needs, with any patches of packaging/windows/qt/*.patch
# applied (6.4.2 with these features needs none). The result is kept outside the
# clone under a key made of the version, the patches and this script, so a second
# build on the same machine reuses it.
# Usage: scripts/build-qt-windows.sh   (prints the Qt prefix on its last line)
set -euo pipefail
shopt -s nullglob

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cache="${KELVANE_QT_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/kelvane}"
version="$(dpkg-query -W -f='${Version}' qt6-base-dev)"
upstream="${version%%+*}"
key="$(cat "${BASH_SOURCE[0]}" "$here"/packaging/windows/qt/*.patch | sha256sum | cut -c1-12)"
prefix="$cache/qt-$upstream-mingw-$key"
if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    exit 0
fi

work="$cache/qt-build-$key"
mkdir -p "$work"
cd "$work"

# Debian's source of the host's version; a deb-src entry is added when none is there.
if ! grep -rqs "^Types: deb-src\|^deb-src" /etc/apt/sources.list /etc/apt/sources.list.d/; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: bookworm\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' |
        $sudo tee /etc/apt/sources.list.d/kelvane-deb-src.sources >/dev/null
    $sudo apt-get update -qq
fi
[ -n "$(compgen -G "qt6-base_*.dsc")" ] || apt-get source --download-only "qt6-base=$version" >/dev/null 2>&1

base_source="$work/qtbase-everywhere-src-$upstream"
if [ ! -d "$base_source" ]; then
    tar xf qt6-base_*.orig.tar.xz
    for patch in "$here"/packaging/windows/qt/*.patch; do
        patch -d "$base_source" -p1 <"$patch" >/dev/null
    done
fi

# Core, Gui (with its PDF writer), Widgets, Test and the Windows and offscreen
# platforms; no SQL, network, D-Bus, XML or printing support. Tablet events need
# wintab, which Debian's source leaves out. The screens draw with the raster engine
# alone, so OpenGL and Vulkan (and Qt's OpenGL modules) are left out: a shorter
# build on a fresh machine. (Direct2D stays: without it 6.4.2's Windows platform
# plugin does not link.)
cmake -G Ninja -S "$base_source" -B "$work/base" \
    -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$(gcc -dumpmachine)/cmake" \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DBUILD_WITH_PCH=OFF \
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_xml=OFF \
    -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_tabletevent=OFF \
    -DINPUT_opengl=no -DFEATURE_vulkan=OFF \
    >"$work/base-configure.log"
cmake --build "$work/base" --parallel "$(nproc)" >"$work/base-build.log"
cmake --install "$work/base" >/dev/null

touch "$prefix/.complete"
rm -rf "$work"
echo "$prefix"
