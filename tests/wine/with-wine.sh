#!/usr/bin/env bash
# Runs a command inside a private X server and a private Wine prefix, and tears both down
# afterwards, whatever happens. Everything it starts is stopped by PID (or, for Wine, by its
# own prefix), so nothing is left running and nobody else's processes are touched.
#
#   tests/wine/with-wine.sh [--depth 8|16|24] [--renderer gl|no3d] [--size WxH]
#                           [--timeout SECONDS] -- command...
#
# KORVANE_WINE_STATE names another state folder, so that two harnesses can run at once.
# The prefix lives in build/wine/prefix-<arch>-<depth> and is made once; later runs reuse it.
# The command learns its world through KORVANE_WINE_ARCH (win32 or win64), KORVANE_WINE (the
# loader to start programs with), KORVANE_WINDOWS_BUILD (the build folder whose programs it
# should run), KORVANE_XVFB_DEPTH, KORVANE_WINE_RENDERER and KORVANE_WINE_TIME_FACTOR (the
# limit is scaled by it).
set -euo pipefail

depth=24
limit=1800
size=1024x768
renderer=gl
while [ $# -gt 0 ]; do
    case "$1" in
        --depth) depth=$2; shift 2 ;;
        --timeout) limit=$2; shift 2 ;;
        --size) size=$2; shift 2 ;;
        --renderer) renderer=$2; shift 2 ;;
        --) shift; break ;;
        *) break ;;
    esac
done
[ $# -gt 0 ] || { echo "with-wine: no command given" >&2; exit 2; }

root=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=tests/wine/wine_session_lib.sh
. "$root/tests/wine/wine_session_lib.sh"
state="${KORVANE_WINE_STATE:-$root/build/wine}"
mkdir -p "$state"
wine_choose_build "$root"

xvfb_pid=""
cleanup() {
    local code=$?
    wine_stop "$xvfb_pid"
    exit "$code"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

wine_start_xvfb "$state" "$depth" "$size"
wine_prepare_prefix "$state" "$depth"
wine_set_renderer "$renderer"
wine_warm_up
set +e
limit=$(wine_scaled "$limit")
timeout --kill-after=10 "$limit" "$@"
code=$?
set -e
if [ $code -eq 124 ] || [ $code -eq 137 ]; then
    echo "with-wine: '$*' did not finish within $limit s" >&2
fi
exit $code
