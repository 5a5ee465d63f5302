#!/usr/bin/env bash
# A screen of 192 DPI: with "LogPixels" at 192 before the saver starts, every cell is drawn
# twice as large, and a screenshot equals the simulator's picture at --scale 2 in every pixel.
# A glyph size fixed in the settings wins over the DPI. At 96 DPI nothing changes (pixels.sh).
# With several monitors, the primary's picture is the one compared, and every other monitor
# shows its own falling code.
#   dpi.sh SESSION_FILE SCR HELPER CPL SCREEN_CHECK LOCK_HELPER DDRAW_STAND_IN
# shellcheck source=tests/e2e/lib/e2e.sh
. "$(dirname "$0")/lib/e2e.sh"
e2e_begin "$@"

desktop='HKCU\Control Panel\Desktop'
# The piece's end takes the value away again (e2e_cleanup), so the session's other pieces
# run at 96 DPI.
reg add "$desktop" /v LogPixels /t REG_DWORD /d 192 /f || fail "cannot set LogPixels to 192"

# check_scaled <name> <factor> <green pixels to wait for> <registry switches> -- <simulator switches>
check_scaled() {
    local name=$1 factor=$2 enough=$3
    shift 3
    use_settings_then "$@"
    start_saver /s
    if ! wait_window "Screen Saver" 20 >/dev/null || ! wait_green "$enough" 90; then
        fail "$name: fewer glyphs on the screen than a check needs (${green:-0} green pixels)"
    else
        screen_matches_show "$name" 1500 --scale "$factor" "${simulator_switches[@]}" &&
            pass "$name: the screen equals the simulator's $match_line at --scale $factor" ||
            fail "$name: the screen equals no frame of the show at --scale $factor ($match_line)"
    fi
    xdotool key a
    wait_exit "$saver_pid" 15 >/dev/null || fail "$name: a key did not end the saver"
}

check_scaled "title at 192 DPI" 2 3000 TITLE=1 PHONE=0 MESSAGE=0 CODE=0 -- \
    --no-phone --no-message --no-code
check_scaled "falling code at 192 DPI" 2 3000 TITLE=0 PHONE=0 MESSAGE=0 CODE=1 -- \
    --no-title --no-phone --no-message
check_scaled "falling code at 192 DPI, glyph size fixed at 1x" 1 1700 TITLE=0 PHONE=0 MESSAGE=0 \
    CODE=1 SCALE=1 -- --no-title --no-phone --no-message

if [ -n "${KORVANE_TEST_HEADS:-}" ]; then
    use_settings TITLE=0 PHONE=0 MESSAGE=0 CODE=1
    start_saver /s
    if ! wait_window "Screen Saver" 20 >/dev/null; then
        fail "no saver window at 192 DPI with several monitors"
    else
        IFS=, read -r -a heads <<<"$KORVANE_TEST_HEADS"
        for head in "${heads[@]:1}"; do
            IFS='x+' read -r w h x y <<<"$head"
            deadline=$((SECONDS + $(scaled 30)))
            until green=$(green_pixels "$x" "$y" "$w" "$h") && [ "${green:-0}" -ge 300 ] ||
                [ $SECONDS -ge $deadline ]; do
                sleep 0.3
            done
            [ "${green:-0}" -ge 300 ] &&
                pass "the monitor at $head shows falling code at 192 DPI ($green green pixels)" ||
                fail "the monitor at $head shows ${green:-0} green pixels at 192 DPI"
        done
    fi
    xdotool key a
    wait_exit "$saver_pid" 15 >/dev/null || fail "a key did not end the saver with several monitors"
fi

e2e_finish
