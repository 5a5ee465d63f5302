#!/usr/bin/env bash
# Without DirectDraw: a stand-in ddraw.dll whose DirectDrawCreate fails. The saver shows its
# two notices, in order and owned by its window, and then the show itself on the screen
# through GDI: a screenshot equals the simulator's picture of some frame, at 96 and at 192 DPI.
# A key ends it.
#   ddraw_fallback.sh SESSION_FILE SCR HELPER CPL SCREEN_CHECK LOCK_HELPER DDRAW_STAND_IN
# shellcheck source=tests/e2e/lib/e2e.sh
. "$(dirname "$0")/lib/e2e.sh"
e2e_begin "$@"

cp "$ddraw_stand_in" "$work/ddraw.dll"
export KORVANE_TEST_DDRAW_LOG
KORVANE_TEST_DDRAW_LOG=$(windows_path "$work/ddraw.log")
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-};ddraw=n"

# answer_notice <expected text> <seconds>: waits for an "ERROR!!" box, which is how the saver
# says DirectDraw failed, checks its text and owner, and answers it.
answer_notice() {
    local deadline=$((SECONDS + $(scaled "$2"))) answer=""
    until answer=$(lock_helper message-box "ERROR!!" | tr -d '\r'); do
        if [ $SECONDS -ge $deadline ]; then
            fail "no 'ERROR!!' notice \"$1\" within $2 s"
            return 1
        fi
        sleep 0.2
    done
    if [ "$(sed -n 's/^text //p' <<<"$answer")" != "$1" ]; then
        fail "the notice says \"$(sed -n 's/^text //p' <<<"$answer")\", expected \"$1\""
        return 1
    fi
    [ "$(sed -n 's/^owner //p' <<<"$answer")" = "WindowsScreenSaverClass Screen Saver" ] &&
        pass "notice \"$1\", owned by the saver's window" ||
        fail "notice \"$1\" has the owner '$(sed -n 's/^owner //p' <<<"$answer")', not the saver's window"
}

# check_sequence <name> <green pixels to wait for> <registry switches> -- <simulator switches>:
# the notices, then the sequence on the screen as the simulator draws it (see pixels.sh for
# the counts and the frames searched).
check_sequence() {
    local name=$1 enough=$2
    shift 2
    use_settings_then "$@"
    : >"$work/ddraw.log"
    start_saver /s
    if answer_notice "Create not Successful" 30 && answer_notice "NO SPRITES" 15; then
        grep -q DirectDrawCreate "$work/ddraw.log" ||
            fail "$name: the notices came, but not from the stand-in's DirectDrawCreate"
        local windows
        windows=$(lock_helper windows | tr -d '\r')
        [ "$windows" = "saver 0 0 $width $height topmost" ] &&
            pass "$name: the saver's window covers the screen ($windows)" ||
            fail "$name: the saver's windows are '$(tr '\n' ';' <<<"$windows")'"
        if ! wait_green "$enough" 90; then
            fail "$name: after the notices only ${green:-0} green pixels show (${waited} s)"
        else
            screen_matches_show "$name" 1500 "${simulator_switches[@]}" &&
                pass "$name: through GDI the screen equals the simulator's $match_line" ||
                fail "$name: the screen equals no non-trivial frame of the show ($match_line)"
        fi
    fi
    pause 0.5
    xdotool key a
    wait_exit "$saver_pid" 15
    code=$?
    [ $code -eq 0 ] && pass "$name: a key ends it with 0" || fail "$name: after a key exit code $code"
    kill "$saver_pid" 2>/dev/null
}

check_sequence "falling code" 1700 TITLE=0 PHONE=0 MESSAGE=0 CODE=1 -- --no-title --no-phone --no-message
check_sequence "title" 1900 TITLE=1 PHONE=0 MESSAGE=0 CODE=0 -- --no-phone --no-message --no-code
# A screen of 192 DPI: the GDI pages draw the cells twice as large, as DirectDraw does.
reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 192 /f
check_sequence "falling code at 192 DPI" 1700 TITLE=0 PHONE=0 MESSAGE=0 CODE=1 -- --no-title \
    --no-phone --no-message --scale 2
reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f

e2e_finish
