#!/usr/bin/env bash
# The Windows installer under wine: a silent install into a test folder puts every
# file of the stage there, with the Start-menu entry and the uninstall entry; the
# installed kelvane-cli.exe runs; the installed kelvane.exe probes and reads its
# simulated transmitter ("Read Success" follows that read); COMMAND, if given, runs
# with @INSTALLED@ in its arguments replaced by the installed folder; the silent
# uninstall removes every file, the folder, the entry and the key.
# Usage: scripts/check-windows-installer.sh INSTALLER STAGE_DIR WORK_DIR [COMMAND...]
# (WINEPREFIX and DISPLAY set).
set -euo pipefail

installer="$1"
stage="$2"
work="$3"
shift 3
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
$limit wine "$installer" /S '/D=C:\kelvane-test' >/dev/null 2>&1 || fail "the installer failed"
for _ in $(seq 300); do
    [ -f "$folder/uninstall.exe" ] && break
    sleep 0.1
done
diff <(cd "$stage" && find . -type f | sort) \
    <(cd "$folder" && find . -type f ! -name uninstall.exe | sort) ||
    fail "the installed files are not the stage's"
(cd "$stage" && find . -type f) | while read -r file; do
    cmp -s "$stage/$file" "$folder/$file" || fail "the installed $file differs"
done
[ -f "$menu/Kelvane.lnk" ] || fail "no Start-menu entry"
wine reg query "$key" /v UninstallString >/dev/null 2>&1 || fail "no uninstall entry"

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
echo "Installer: installs, runs (kelvane-cli.exe, and kelvane.exe reads) and uninstalls cleanly."
