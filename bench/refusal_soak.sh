#!/usr/bin/env bash
# Soak: the saver's resident memory across refused password prompts under Wine. A refusing
# stand-in verifier is put into the system directory and a key is pressed once each prompt
# has been refused; the resident size is read after refusal 10 and after the last one.
# Target: at most 1 MB of growth between the two.
#   bench/refusal_soak.sh [--depth 8|16|24] [--refusals N]
# Uses the Windows build that tests/wine/with-wine.sh picks (build/windows64 where only 64-bit
# Wine runs); build it first.
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
depth=24
refusals=100
while [ $# -gt 0 ]; do
    case "$1" in
        --depth) depth=$2; shift 2 ;;
        --refusals) refusals=$2; shift 2 ;;
        *) echo "usage: $0 [--depth 8|16|24] [--refusals N]" >&2; exit 2 ;;
    esac
done
if [ -z "${KORVANE_WINE:-}" ]; then
    exec "$root/tests/wine/with-wine.sh" --depth "$depth" --timeout 900 -- bash "$0" --depth "$depth" --refusals "$refusals"
fi

build=$KORVANE_WINDOWS_BUILD
scr=$build/host/korvane.scr helper=$build/tests/e2e/lock_helper.exe cpl=$build/tests/e2e/PASSWORD.CPL
for file in "$scr" "$helper" "$cpl"; do
    [ -f "$file" ] || { echo "missing $file: build the Windows preset first" >&2; exit 2; }
done

work=$(mktemp -d)
saver_pid=""
reg() { timeout 60 "$KORVANE_WINE" reg "$@" </dev/null >/dev/null 2>&1; }
cleanup() {
    [ -z "$saver_pid" ] || kill "$saver_pid" 2>/dev/null
    timeout 30 "$KORVANE_WINE" "$helper" remove-verifier </dev/null >/dev/null 2>&1
    reg delete 'HKCU\Control Panel\Desktop' /v ScreenSaveUsePassword /f
    reg delete 'HKCU\Software\Wine\AppDefaults\korvane.scr' /f
    rm -rf "$work"
}
trap cleanup EXIT
windows_path() {
    local absolute
    absolute=$(readlink -m "$1")
    echo "Z:${absolute//\//\\}"
}

cp "$scr" "$work/korvane.scr"
cd "$work" || exit 1
reg add 'HKCU\Software\Wine\AppDefaults\korvane.scr' /v Version /d win98 /f
reg add 'HKCU\Control Panel\Desktop' /v ScreenSaveUsePassword /t REG_DWORD /d 1 /f
timeout 30 "$KORVANE_WINE" "$helper" install-verifier "$(windows_path "$cpl")" </dev/null ||
    { echo "cannot install the verifier" >&2; exit 1; }
export KORVANE_TEST_PASSWORD_LOG KORVANE_TEST_PASSWORD_ANSWER=0
KORVANE_TEST_PASSWORD_LOG=$(windows_path "$work/password.log")

"$KORVANE_WINE" "$work/korvane.scr" /s </dev/null >/dev/null 2>&1 &
saver_pid=$!
deadline=$((SECONDS + 30))
until xdotool search --name '^Screen Saver$' >/dev/null 2>&1; do
    [ $SECONDS -lt $deadline ] || { echo "no saver window within 30 s" >&2; exit 1; }
    sleep 0.2
done
sleep 2

refused() {
    local count
    count=$(grep -c '^refused' "$work/password.log" 2>/dev/null)
    echo "${count:-0}"
}
resident_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$saver_pid/status" 2>/dev/null; }

started=$SECONDS
at10=""
for ((n = 1; n <= refusals; n++)); do
    deadline=$((SECONDS + 15))
    until [ "$(refused)" -ge "$n" ]; do
        kill -0 "$saver_pid" 2>/dev/null || { echo "the saver ended at refusal $n" >&2; exit 1; }
        [ $SECONDS -lt $deadline ] || { echo "prompt $n was not refused within 15 s" >&2; exit 1; }
        xdotool key a
        sleep 0.4
    done
    [ "$n" -eq 10 ] && at10=$(resident_kb)
done
sleep 1
last=$(resident_kb)
[ -n "$at10" ] && [ -n "$last" ] || { echo "cannot read the saver's resident size" >&2; exit 1; }
growth=$((last - at10))
per=$(awk -v g="$growth" -v n="$((refusals - 10))" 'BEGIN { printf "%.1f", g / n }')
echo "refusal soak, ${depth}-bit screen: resident ${at10} kB after refusal 10, ${last} kB after refusal $refusals"
echo "growth ${growth} kB (${per} kB per refusal) in $((SECONDS - started)) s"
if [ "$growth" -le 1024 ]; then
    echo "target met: at most 1 MB of growth"
else
    echo "target missed: more than 1 MB of growth"
    exit 1
fi
