#!/usr/bin/env bash
# One X server and Wine prefix shared by the end-to-end tests of one colour depth and
# renderer, started and stopped by CTest fixtures:
#
#   wine_session.sh start SESSION_FILE DEPTH gl|no3d [LAYOUT]
#                                                      starts it, writes SESSION_FILE; with a
#                                                      monitor layout (side-by-side,
#                                                      left-portrait) Wine sees its monitors on
#                                                      one wide X screen
#   wine_session.sh stop SESSION_FILE                  stops what that file names
#
# With KORVANE_WINE_AUDIO=audible the session's Wine plays through an ALSA output of its own
# whose bytes land in a file (KORVANE_PLAYED_SOUND); otherwise Wine has no audio driver.
#
# The session file holds the environment the tests source (tests/e2e/lib/e2e.sh reads it).
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=tests/wine/wine_session_lib.sh
. "$root/tests/wine/wine_session_lib.sh"
action=${1:-}
session=${2:-}
usage="usage: wine_session.sh start|stop SESSION_FILE [DEPTH RENDERER [LAYOUT]]"
[ -n "$session" ] || { echo "$usage" >&2; exit 2; }

case "$action" in
    start)
        depth=$3 renderer=$4 layout=${5:-}
        state="${KORVANE_WINE_STATE:-$root/build/wine}"
        mkdir -p "$state" "$(dirname "$session")"
        # A session left behind by an interrupted run goes first.
        [ ! -f "$session" ] || "$0" stop "$session"
        log="$session.log"
        # The servers started here outlive this script, so they must not hold its output
        # open: CTest would wait for them. Everything runs with its output in the log.
        # The steps run as the condition of an if, where errexit and ERR traps do not act:
        # each failure is caught by hand, so a session that did not start is never reported
        # as started.
        if ! (
            wine_choose_build "$root"
            xvfb_pid=""
            give_up() {
                wine_stop "$xvfb_pid"
                exit 1
            }
            names=(DISPLAY WINEPREFIX WINEARCH WINEDEBUG WINEDLLOVERRIDES KORVANE_WINE
                KORVANE_WINE_ARCH KORVANE_WINDOWS_BUILD KORVANE_XVFB_DEPTH KORVANE_WINE_RENDERER
                KORVANE_SCREEN_SIZE KORVANE_WINE_EMULATED KORVANE_WINE_TIME_FACTOR)
            export KORVANE_SCREEN_SIZE=1024x768
            if [ -n "$layout" ]; then
                wine_layout "$layout" || give_up
                KORVANE_SCREEN_SIZE=$layout_screen
                export KORVANE_LAYOUT=$layout
                # Every Wine process, its services first, must see the same monitors.
                wine_use_heads "$root" "$state" "$layout_heads" || give_up
                names+=(KORVANE_LAYOUT KORVANE_TEST_HEADS LD_LIBRARY_PATH)
            fi
            wine_start_xvfb "$state" "$depth" "$KORVANE_SCREEN_SIZE" || give_up
            audio=${KORVANE_WINE_AUDIO:-}
            wine_prepare_prefix "$state" "$depth" "$layout" "$audio" || give_up
            if [ "$audio" = audible ]; then
                wine_use_audible_output "$state" "$(basename "$session" .env)" || give_up
                names+=(ALSA_CONFIG_PATH KORVANE_PLAYED_SOUND)
            fi
            wine_set_renderer "$renderer" || give_up
            wine_warm_up || give_up
            {
                for name in "${names[@]}"; do
                    printf 'export %s=%q\n' "$name" "${!name}"
                done
                printf 'session_xvfb_pid=%q\n' "$xvfb_pid"
            } >"$session" || give_up
            echo "session: $(wine_build_name), renderer $KORVANE_WINE_RENDERER, depth $depth, display $DISPLAY${layout:+, monitors $layout ($KORVANE_TEST_HEADS on $KORVANE_SCREEN_SIZE)}${audio:+, sound played into $KORVANE_PLAYED_SOUND}"
        ) >"$log" 2>&1 </dev/null; then
            cat "$log"
            echo "wine session: could not start (depth $depth, renderer $renderer${layout:+, layout $layout})" >&2
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
        echo "$usage" >&2
        exit 2
        ;;
esac
