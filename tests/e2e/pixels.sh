#!/usr/bin/env bash
# What the saver shows is exactly the show: a screenshot of each sequence, taken while it
# runs, equals the simulator's picture of some non-trivial frame in every pixel (at 16 bits
# through 5-6-5). The settings switch the other sequences off, as the simulator's switches do.
#   pixels.sh SESSION_FILE SCR HELPER CPL SCREEN_CHECK LOCK_HELPER DDRAW_STAND_IN
# shellcheck source=tests/e2e/lib/e2e.sh
. "$(dirname "$0")/lib/e2e.sh"
e2e_begin "$@"

# Frames to search: the screenshot comes a few seconds into the show, later on a busy machine
# (1500 frames are 45 s of show).
search=1500
# A frame counts when it has at least 20 lit cells, about 80 green pixels each: the check waits
# until the screen has that many before it looks (long enough for a machine under load, where
# the saver's frames come slower).
# check_sequence <name> <green pixels to wait for> <registry switches> -- <simulator switches>
check_sequence() {
    local name=$1 enough=$2
    shift 2
    use_settings_then "$@"
    start_saver /s
    if ! wait_window "Screen Saver" 20 >/dev/null || ! wait_green "$enough" 90; then
        fail "$name: fewer glyphs on the screen than a check needs (${green:-0} green pixels)"
    else
        screen_matches_show "$name" "$search" "${simulator_switches[@]}" &&
            pass "$name: the screen equals the simulator's $match_line" ||
            fail "$name: the screen equals no non-trivial frame of the show ($match_line)"
    fi
    xdotool key a
    wait_exit "$saver_pid" 15 >/dev/null || fail "$name: a key did not end the saver"
}

check_sequence "title" 1900 TITLE=1 PHONE=0 MESSAGE=0 CODE=0 -- --no-phone --no-message --no-code
check_sequence "telephone trace" 1700 TITLE=0 PHONE=1 MESSAGE=0 CODE=0 -- --no-title --no-message --no-code
# The default message types short lines and holds each: one long line gives frames enough
# that are both busy and still changing.
line="Every pixel of this line is checked against the simulator now"
printf '%s' "$line" >"$work/message.txt"
check_sequence "message" 1900 TITLE=0 PHONE=0 MESSAGE=1 CODE=0 "TEXT=$line" -- --no-title --no-phone \
    --no-code --message-file "$work/message.txt"
check_sequence "falling code" 1700 TITLE=0 PHONE=0 MESSAGE=0 CODE=1 -- --no-title --no-phone --no-message

e2e_finish
