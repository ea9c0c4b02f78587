#!/usr/bin/env bash
# Checks a built kelvane .deb: lintian, the desktop entry and the AppStream metainfo,
# then unpacks it into a temporary folder and runs the installed programs from there.
#   scripts/check-package.sh PACKAGE.deb
set -euo pipefail
deb="$1"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

echo "lintian:"
# Errors fail the check; warnings are shown.
lintian --tag-display-limit 0 "$deb" | tee /tmp/kelvane-lintian.txt || true
if grep -q '^E:' /tmp/kelvane-lintian.txt; then
    echo "lintian reports errors" >&2
    exit 1
fi
desktop-file-validate "$here/packaging/org.kelvane.Kelvane.desktop"
appstreamcli validate --no-net --explain "$here/packaging/org.kelvane.Kelvane.metainfo.xml"

root="$(mktemp -d)"
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root"
"$root/usr/bin/kelvane" --version
"$root/usr/bin/kelvane-sim" --help >/dev/null
"$root/usr/bin/kelvane-cli" --help >/dev/null
for page in kelvane kelvane-cli kelvane-sim; do
    test -s "$root/usr/share/man/man1/$page.1.gz"
done
test -s "$root/usr/share/applications/org.kelvane.Kelvane.desktop"
test -s "$root/usr/share/icons/hicolor/scalable/apps/kelvane.svg"
# The manual of each language, its pictures and its troubleshooting, which F1 opens.
for language in en zh-TW zh-CN; do
    for page in index troubleshooting input-ranges; do
        test -s "$root/usr/share/doc/kelvane/manual/$language/$page.html"
    done
    test -s "$root/usr/share/doc/kelvane/manual/$language/images/transmitter.png"
done
grep -q '^Exec=kelvane --simulate$' "$root/usr/share/applications/org.kelvane.Kelvane.desktop"
echo "package check passed: $deb"
