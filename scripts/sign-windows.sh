#!/usr/bin/env bash
# Signs each Windows FILE in place with osslsigncode (Authenticode, SHA-256) with the
# certificate and key of the PKCS#12 file KELVANE_SIGN_PFX, whose password is
# KELVANE_SIGN_PASSWORD (read from a pipe, never on a command line), and a time
# stamp from KELVANE_SIGN_TIMESTAMP (a URL) when that is set. Without KELVANE_SIGN_PFX
# it changes nothing.
# Usage: scripts/sign-windows.sh FILE...
set -euo pipefail

[ -n "${KELVANE_SIGN_PFX:-}" ] || exit 0
for file in "$@"; do
    osslsigncode sign -pkcs12 "$KELVANE_SIGN_PFX" \
        -readpass <(printf '%s' "${KELVANE_SIGN_PASSWORD:-}") -h sha256 -n Kelvane \
        ${KELVANE_SIGN_TIMESTAMP:+-ts "$KELVANE_SIGN_TIMESTAMP"} \
        -in "$file" -out "$file.signed" >/dev/null
    mv "$file.signed" "$file"
done
