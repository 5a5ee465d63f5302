#!/usr/bin/env bash
# Runs the save probe, then reads the key back with Wine's reg tool and compares it with the
# nine values it must hold, in their types and nothing else.
#   check_saved_values.sh <probe.exe>   (inside tests/wine/with-wine.sh)
set -euo pipefail
probe=$1
key='HKCU\Software\Orvandel\Korvane Screensaver'
: "${KORVANE_WINE:?run inside tests/wine/with-wine.sh}"

timeout 60 "$KORVANE_WINE" reg delete "$key" /f >/dev/null 2>&1 || true
timeout 60 "$KORVANE_WINE" "$probe" </dev/null
actual=$(timeout 60 "$KORVANE_WINE" reg query "$key" </dev/null | tr -d '\r' |
    sed -n 's/^ \{4\}\([A-Z]*\) \{4\}\(REG_[A-Z_]*\) \{4\}\(.*\)$/\1 \2 \3/p' | sort)
expected=$(sort <<'VALUES'
TITLE REG_DWORD 0x0
PHONE REG_DWORD 0x1
MESSAGE REG_DWORD 0x1
CODE REG_DWORD 0x0
FACE REG_DWORD 0x1
SFX REG_DWORD 0x1
TEXT REG_SZ Wake up
TELNO REG_SZ 5550100
SCALE REG_DWORD 0x3
VALUES
)
timeout 60 "$KORVANE_WINE" reg delete "$key" /f >/dev/null 2>&1 || true
if [ "$actual" != "$expected" ]; then
    echo "reg query shows a different key:"
    diff <(echo "$expected") <(echo "$actual") || true
    exit 1
fi
echo "the key holds exactly the nine values"
