#!/usr/bin/env bash
# The Windows installer under wine: an earlier version (PREVIOUS, signed with the
# throwaway CERTIFICATE) installed silently into a test folder, then this one over it
# without a folder: it finds the folder through the registry, removes the earlier
# version's files and leaves every file of the stage there and nothing else, with the
# Start-menu entry and one uninstall entry (icon, version, publisher, size); the
# installed kelvane-cli.exe runs; the installed kelvane.exe probes and reads its
# simulated transmitter ("Read Success" follows that read) and, while it runs, a
# silent install fails and changes nothing; COMMAND, if given, runs with @INSTALLED@
# in its arguments replaced by the installed folder; the silent uninstall removes
# every file, the folder, the entry and the key.
# Usage: scripts/check-windows-installer.sh INSTALLER STAGE_DIR PREVIOUS CERTIFICATE
#        WORK_DIR [COMMAND...]   (WINEPREFIX and DISPLAY set).
set -euo pipefail

installer="$1"
stage="$2"
previous="$3"
certificate="$4"
work="$5"
shift 5
folder="$WINEPREFIX/drive_c/kelvane-test"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Kelvane"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kelvane'
rm -rf "$work" "$folder"
mkdir -p "$work"

fail() {
    echo "installer check: $*" >&2
    exit 1
}

# No wine program may hang CI: each gets two minutes.
limit="timeout 120"

# The files of the test folder are the stage's, each the same, and nothing else.
installed_as_staged() {
    diff <(cd "$stage" && find . -type f | sort) \
        <(cd "$folder" && find . -type f ! -name uninstall.exe | sort) ||
        fail "$1: the installed files are not the stage's"
    (cd "$stage" && find . -type f) | while read -r file; do
        cmp -s "$stage/$file" "$folder/$file" || fail "$1: the installed $file differs"
    done
}

# A value of the uninstall entry, as reg prints it.
entry() {
    wine reg query "$key" /v "$1" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$1 *REG_[A-Z]* *//p"
}

# The earlier version, signed as a release would be, in a folder of the user's.
osslsigncode verify -CAfile "$certificate" -in "$previous" >"$work/verify.log" 2>&1 ||
    fail "the signed installer does not verify (see $work/verify.log)"
$limit wine "$previous" /S '/D=C:\kelvane-test' >/dev/null 2>&1 || fail "the earlier installer failed"
[ -f "$folder/retired/earlier-only.txt" ] || fail "the earlier version did not install"
[ "$(entry DisplayVersion)" = 0.0.1 ] || fail "the earlier version has no entry"

# This version over it, without /D: the folder comes from the registry.
$limit wine "$installer" /S >/dev/null 2>&1 || fail "the installer failed"
for _ in $(seq 300); do
    [ -f "$folder/uninstall.exe" ] && break
    sleep 0.1
done
installed_as_staged "the upgrade"
[ -f "$menu/Kelvane.lnk" ] || fail "no Start-menu entry"
[ "$(wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' 2>/dev/null |
    tr -d '\r' | grep -ci 'uninstall\\kelvane')" -eq 1 ] || fail "not exactly one uninstall entry"
entry UninstallString | grep -qi 'kelvane-test\\uninstall.exe' || fail "no uninstall entry"
for name in Publisher DisplayVersion EstimatedSize DisplayIcon; do
    [ -n "$(entry "$name")" ] || fail "the uninstall entry has no $name"
done
[ "$(entry DisplayVersion)" != 0.0.1 ] || fail "the entry still names the earlier version"
# The icon the entry names is in the program: its resource section holds one.
x86_64-w64-mingw32-objdump -h "$folder/kelvane.exe" | grep -q '\.rsrc' ||
    fail "kelvane.exe carries no icon"

$limit wine "$folder/kelvane-cli.exe" --version | tr -d '\r' | grep -q "^kelvane-cli " ||
    fail "the installed kelvane-cli.exe does not run"

$limit wine "$folder/kelvane.exe" --simulate --auto-start --log "$(winepath -w "$work/installed.log")" \
    >"$work/installed.out" 2>&1 &
program=$!
read_done=0
for _ in $(seq 600); do
    if grep -q "reply    01 03 12" "$work/installed.log" 2>/dev/null; then
        read_done=1
        break
    fi
    sleep 0.1
done
sleep 1
import -window root "$work/installed.png" 2>/dev/null || true
# A silent install while the program runs fails and leaves the files as they are.
status=0
$limit wine "$installer" /S >/dev/null 2>&1 || status=$?
[ "$status" -ne 0 ] || fail "a silent install went on while kelvane.exe ran"
installed_as_staged "the install while kelvane.exe ran"
$limit wine taskkill /f /im kelvane.exe >/dev/null 2>&1 || true
kill "$program" 2>/dev/null || true
wait "$program" 2>/dev/null || true
[ "$read_done" -eq 1 ] || fail "the installed kelvane.exe did not read its simulated transmitter"

if [ $# -gt 0 ]; then
    "${@//@INSTALLED@/$folder}"
fi

# The uninstaller runs from a copy of itself in the temporary folder: its end is
# seen when the folder is gone.
$limit wine "$folder/uninstall.exe" /S >/dev/null 2>&1 || fail "the uninstaller failed"
for _ in $(seq 300); do
    [ -e "$folder" ] || [ -e "$menu" ] || break
    sleep 0.1
done
[ ! -e "$folder" ] || fail "the uninstaller left: $(cd "$folder" && find . -mindepth 1)"
[ ! -e "$menu" ] || fail "the uninstaller left the Start-menu entry"
! wine reg query "$key" >/dev/null 2>&1 || fail "the uninstaller left its key"
echo "Installer: replaces an earlier version, waits for a running kelvane.exe, installs, runs (kelvane-cli.exe, and kelvane.exe reads) and uninstalls cleanly."
