#!/usr/bin/env bash
# Preview: a child of the test's window that ignores keys and the mouse and ends with its
# parent. Wine gives a child window of another process no surface of its own, so what the
# preview draws never reaches the screen there; the figure itself is tested natively.
#   preview.sh SESSION_FILE SCR HELPER CPL SCREEN_CHECK LOCK_HELPER DDRAW_STAND_IN
# shellcheck source=tests/e2e/lib/e2e.sh
. "$(dirname "$0")/lib/e2e.sh"
e2e_begin "$@"

"$KORVANE_WINE" "$helper" parent "$work/parent.txt" 60 </dev/null >/dev/null 2>&1 &
parent_pid=$!
started+=("$parent_pid")
deadline=$((SECONDS + $(scaled 20)))
while [ ! -s "$work/parent.txt" ] && [ $SECONDS -lt $deadline ]; do sleep 0.1; done
if [ ! -s "$work/parent.txt" ]; then
    fail "preview: the parent window did not report its number"
else
    parent=$(tr -d '\r\n' <"$work/parent.txt")
    start_saver /p "$parent"
    deadline=$((SECONDS + $(scaled 20)))
    until run_helper probe-preview "$parent" >/dev/null 2>&1; do
        [ $SECONDS -lt $deadline ] || break
        sleep 0.2
    done
    if ! run_helper probe-preview "$parent" >/dev/null 2>&1; then
        fail "preview: no 'Preview' child in the parent window"
    else
        pause 1
        xdotool mousemove 60 60 sleep 0.2 mousemove 120 90 click 1 key a
        still_running "$saver_pid" 1 && pass "preview: keys and mouse leave it running" ||
            fail "preview: closed on input"
        run_helper close-window "Preview Parent"
        wait_exit "$saver_pid" 20
        code=$?
        [ $code -eq 0 ] && pass "preview: ends with its parent, exit code 0" ||
            fail "preview: exit code $code when the parent went away"
    fi
fi
run_helper close-window "Preview Parent" >/dev/null 2>&1
wait_exit "$parent_pid" 20 >/dev/null

e2e_finish
