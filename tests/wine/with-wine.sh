#!/usr/bin/env bash
# Runs a command inside a private X server and a private 32-bit Wine prefix, and tears both
# down afterwards, whatever happens. Everything it starts is stopped by PID (or, for Wine,
# by its own prefix), so nothing is left running and nobody else's processes are touched.
#
#   tests/wine/with-wine.sh [--depth 8|16|24] [--timeout SECONDS] -- command...
#
# KORVANE_WINE_STATE names another state folder, so that two harnesses can run at once.
# The prefix lives in build/wine/prefix-<arch>-<depth> and is made once; later runs reuse it.
# Where the kernel cannot run 32-bit programs (no IA-32 emulation), 32-bit Wine cannot start;
# the Windows tests then run their 64-bit build under 64-bit Wine. The command learns which
# through KORVANE_WINE_ARCH (win32 or win64), KORVANE_WINE (the loader to start programs
# with) and KORVANE_WINDOWS_BUILD (the build folder whose programs it should run).
set -euo pipefail

depth=24
limit=1800
size=1024x768
while [ $# -gt 0 ]; do
    case "$1" in
        --depth) depth=$2; shift 2 ;;
        --timeout) limit=$2; shift 2 ;;
        --size) size=$2; shift 2 ;;
        --) shift; break ;;
        *) break ;;
    esac
done
[ $# -gt 0 ] || { echo "with-wine: no command given" >&2; exit 2; }

root=$(cd "$(dirname "$0")/../.." && pwd)
state="${KORVANE_WINE_STATE:-$root/build/wine}"
mkdir -p "$state"
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    export KORVANE_WINE_ARCH=win32 KORVANE_WINE=wine
    export KORVANE_WINDOWS_BUILD="${KORVANE_WINDOWS_BUILD:-$root/build/windows}"
else
    export KORVANE_WINE_ARCH=win64 KORVANE_WINE=/usr/lib/wine/wine64
    export KORVANE_WINDOWS_BUILD="${KORVANE_WINDOWS_BUILD:-$root/build/windows64}"
fi
export WINEPREFIX="$state/prefix-$KORVANE_WINE_ARCH-$depth"
export WINEARCH=$KORVANE_WINE_ARCH
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="

xvfb_pid=""
cleanup() {
    local code=$?
    if [ -d "$WINEPREFIX" ]; then
        timeout 20 wineserver -k >/dev/null 2>&1 || true
        timeout 20 wineserver -w >/dev/null 2>&1 || true
    fi
    if [ -n "$xvfb_pid" ] && kill -0 "$xvfb_pid" 2>/dev/null; then
        kill "$xvfb_pid" 2>/dev/null || true
        for _ in 1 2 3 4 5 6 7 8 9 10; do
            kill -0 "$xvfb_pid" 2>/dev/null || break
            sleep 0.2
        done
        kill -9 "$xvfb_pid" 2>/dev/null || true
    fi
    exit "$code"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Xvfb picks a free display itself and reports it once it accepts connections.
fifo="$state/displayfd.$$"
rm -f "$fifo"
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 "${size}x${depth}" -nolisten tcp 3>"$fifo" >"$state/xvfb-$depth.log" 2>&1 &
xvfb_pid=$!
display=""
if ! read -r -t 30 display <"$fifo"; then
    rm -f "$fifo"
    echo "with-wine: Xvfb did not report a display within 30 s (see $state/xvfb-$depth.log)" >&2
    exit 3
fi
rm -f "$fifo"
export DISPLAY=":$display"
export KORVANE_XVFB_DEPTH=$depth

if [ ! -f "$WINEPREFIX/.korvane-ready" ]; then
    echo "with-wine: making the Wine prefix $WINEPREFIX (a minute at most)"
    rm -rf "$WINEPREFIX"
    if ! timeout 240 "$KORVANE_WINE" wineboot -i >"$state/wineboot-$KORVANE_WINE_ARCH-$depth.log" 2>&1; then
        echo "with-wine: wineboot failed or hung (see $state/wineboot-$depth.log)" >&2
        exit 3
    fi
    timeout 60 wineserver -w || true
    # Unmanaged windows: without a window manager every full-screen window would stall
    # about two seconds on destruction. No audio driver: there is no sound device here.
    timeout 60 "$KORVANE_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null
    timeout 60 "$KORVANE_WINE" reg add 'HKCU\Software\Wine\Drivers' /v Audio /d "" /f >/dev/null
    timeout 60 wineserver -w || true
    touch "$WINEPREFIX/.korvane-ready"
fi

# A warm server makes every later Wine start cheap.
wineserver -p 600
# Start Wine's own service processes now, detached from our output: started later under a
# test runner they would inherit its pipes and keep it waiting after the test has ended.
timeout 120 "$KORVANE_WINE" cmd /c exit </dev/null >/dev/null 2>&1 || true
set +e
timeout --kill-after=10 "$limit" "$@"
code=$?
set -e
if [ $code -eq 124 ] || [ $code -eq 137 ]; then
    echo "with-wine: '$*' did not finish within $limit s" >&2
fi
exit $code
