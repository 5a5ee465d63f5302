#!/usr/bin/env bash
# Full screen: the window, the picture, a small and a large mouse movement, a key, the single
# instance, and the command lines that are refused.
#   fullscreen.sh SESSION_FILE SCR HELPER CPL SCREEN_CHECK LOCK_HELPER DDRAW_STAND_IN
# shellcheck source=tests/e2e/lib/e2e.sh
. "$(dirname "$0")/lib/e2e.sh"
e2e_begin "$@"

start_saver /s
if ! wait_window "Screen Saver" 20 >/dev/null; then
    fail "/s: no 'Screen Saver' window within 20 s"
else
    run_helper probe-fullscreen && pass "/s: topmost full-screen window" ||
        fail "/s: window is not the topmost full-screen saver window"
    # The title's first line is typed glyph by glyph; a few glyphs and the cursor suffice.
    wait_green 400 15 && pass "/s: green glyphs on the screen after ${waited} s ($green green pixels)" ||
        fail "/s: only ${green:-0} green pixels after ${waited} s"
    # With the default settings the show opens with the title alone: one centred line.
    read -r lit_cols lit_rows < <(glyph_spread)
    [ "${lit_rows:-100}" -lt 25 ] &&
        pass "/s: the default show opens with the title alone (glyphs in $lit_rows% of rows)" ||
        fail "/s: the default show opens with glyphs in ${lit_rows:-?}% of rows, not the title alone"
    pause 0.5
    xdotool mousemove_relative 3 1
    still_running "$saver_pid" 1 && pass "/s: a 4-pixel movement leaves it running" ||
        fail "/s: closed on a 4-pixel movement"
    xdotool mousemove_relative 4 1
    wait_exit "$saver_pid" 15
    code=$?
    [ $code -eq 0 ] && pass "/s: a 5-pixel movement closes it with exit code 0" ||
        fail "/s: after a 5-pixel movement exit code $code (124: still running)"
fi

# A key closes it; a second start brings the first forward and ends at once.
start_saver /s
first=$saver_pid
if ! wait_window "Screen Saver" 20 >/dev/null; then
    fail "/s (second run): no window"
else
    pause 0.5
    run_saver /s
    code=$?
    [ $code -eq 0 ] && kill -0 "$first" 2>/dev/null && pass "second /s exits 0, first keeps running" ||
        fail "second /s: exit code $code, first running: $(kill -0 "$first" 2>/dev/null && echo yes || echo no)"
    xdotool key a
    wait_exit "$first" 15
    code=$?
    [ $code -eq 0 ] && pass "/s: a key closes it with exit code 0" || fail "/s: after a key exit code $code"
fi

# Switches that are refused: -1, which the shell sees as 255. Started through the helper,
# so the saver sees exactly these command lines.
winsaver=$(windows_path "$saver")
for args in "/p 0" "/p:1234" "/p 4000000001" "/x" "/a 12" "/	s"; do
    timeout "$(scaled 40)" "$KORVANE_WINE" "$helper" run "\"$winsaver\" $args" </dev/null >/dev/null 2>&1
    code=$?
    [ $code -eq 255 ] && pass "'$args' exits -1" || fail "'$args': exit code $code, expected 255"
done

e2e_finish
