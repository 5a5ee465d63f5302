#!/usr/bin/env bash
# One X server and Wine prefix shared by the end-to-end tests of one colour depth and
# renderer, started and stopped by CTest fixtures:
#
#   wine_session.sh start SESSION_FILE DEPTH gl|no3d   starts it, writes SESSION_FILE
#   wine_session.sh stop SESSION_FILE                  stops what that file names
#
# The session file holds the environment the tests source (tests/e2e/lib/e2e.sh reads it).
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=tests/wine/wine_session_lib.sh
. "$root/tests/wine/wine_session_lib.sh"
action=${1:-}
session=${2:-}
[ -n "$session" ] || { echo "usage: wine_session.sh start|stop SESSION_FILE [DEPTH RENDERER]" >&2; exit 2; }

case "$action" in
    start)
        depth=$3 renderer=$4
        state="${KORVANE_WINE_STATE:-$root/build/wine}"
        mkdir -p "$state" "$(dirname "$session")"
        # A session left behind by an interrupted run goes first.
        [ ! -f "$session" ] || "$0" stop "$session"
        log="$session.log"
        # The servers started here outlive this script, so they must not hold its output
        # open: CTest would wait for them. Everything runs with its output in the log.
        if ! (
            wine_choose_build "$root"
            xvfb_pid=""
            trap 'wine_stop "$xvfb_pid"' ERR
            wine_start_xvfb "$state" "$depth" 1024x768
            wine_prepare_prefix "$state" "$depth"
            wine_set_renderer "$renderer"
            wine_warm_up
            trap - ERR
            {
                for name in DISPLAY WINEPREFIX WINEARCH WINEDEBUG WINEDLLOVERRIDES KORVANE_WINE \
                    KORVANE_WINE_ARCH KORVANE_WINDOWS_BUILD KORVANE_XVFB_DEPTH KORVANE_WINE_RENDERER; do
                    printf 'export %s=%q\n' "$name" "${!name}"
                done
                printf 'session_xvfb_pid=%q\n' "$xvfb_pid"
            } >"$session"
            echo "session: $(wine_build_name) build, renderer $KORVANE_WINE_RENDERER, depth $depth, display $DISPLAY"
        ) >"$log" 2>&1 </dev/null; then
            cat "$log"
            echo "wine session: could not start (depth $depth, renderer $renderer)" >&2
            exit 1
        fi
        cat "$log"
        ;;
    stop)
        [ -f "$session" ] || exit 0
        # shellcheck disable=SC1090
        . "$session"
        wine_stop "$session_xvfb_pid"
        rm -f "$session"
        ;;
    *)
        echo "usage: wine_session.sh start|stop SESSION_FILE [DEPTH RENDERER]" >&2
        exit 2
        ;;
esac
