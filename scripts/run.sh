#!/usr/bin/env bash
# Builds the saver and runs it under Wine: full screen (/s) by default, or with the switch
# given (for example /c for the configuration dialog). On the current X display when there
# is one; otherwise in a private virtual display for a few seconds, with a screenshot.
set -euo pipefail
cd "$(dirname "$0")/.."
switch=${1:-/s}

scripts/setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    build=build/windows
else
    echo "==> this kernel runs no 32-bit programs: running the 64-bit build of the saver"
    cmake --preset windows64 >/dev/null
    cmake --build --preset windows64
    build=build/windows64
fi
saver="$PWD/$build/host/korvane.scr"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    loader=wine
    /usr/lib/wine/wine --version >/dev/null 2>&1 || loader=/usr/lib/wine/wine64
    echo "==> starting $saver $switch on $DISPLAY (move the mouse or press a key to end it)"
    exec "$loader" "$saver" "$switch"
fi

shot="$PWD/build/screenshots/saver-$(date +%Y%m%d-%H%M%S).png"
mkdir -p "$(dirname "$shot")"
echo "==> no display: running $switch in a virtual display for a few seconds"
KORVANE_WINDOWS_BUILD="$PWD/$build" tests/wine/with-wine.sh --timeout 120 -- \
    bash -c '
        "$KORVANE_WINE" "$1" "$2" & pid=$!
        for _ in $(seq 1 100); do
            xdotool search --name "Screen Saver|Configuration" >/dev/null 2>&1 && break
            sleep 0.2
        done
        sleep 6
        import -window root "$3"
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    ' run "$saver" "$switch" "$shot"
echo "==> screenshot: $shot"
