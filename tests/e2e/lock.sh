#!/usr/bin/env bash
# The lock: a crash ends the saver with -1 (not a stack overflow), two starts at once leave one
# saver, and with a refusing verifier in force nothing another process does ends or uncovers
# the saver: each forgery of the lock helper leaves it running, drawing, asking on input, whole
# (lock_helper whole) and showing no pixel of the helper's magenta backdrop. A start locks
# whatever another program holds of the claim's name or shows of our window class, and defers
# only to a running saver of this same file. The verifier is taken from the system directory
# only.
# At depth 24 every forgery runs, and the squatting; at the other depths, where the window
# state behaves alike, the first ones. In a session with a monitor layout only the locked part
# runs, its forgeries aimed at a monitor cover.
#   lock.sh SESSION_FILE SCR HELPER CPL SCREEN_CHECK LOCK_HELPER DDRAW_STAND_IN
# shellcheck source=tests/e2e/lib/e2e.sh
. "$(dirname "$0")/lib/e2e.sh"
# shellcheck source=tests/e2e/lib/monitors.sh
. "$(dirname "$0")/lib/monitors.sh"
e2e_begin "$@"
begun=$SECONDS
# The piece's own time, measured so that it stays bounded.
lock_finish() {
    echo "lock piece: $((SECONDS - begun)) s"
    e2e_finish
}

layout=${KORVANE_LAYOUT:-}
every_forgery=0
[ "$KORVANE_XVFB_DEPTH" = 24 ] && every_forgery=1
forgeries=(quit destroy post-destroy ncdestroy setup hide minimize move)
if [ -n "$layout" ]; then
    check_reported_layout
    forgeries=(hide minimize move region parent adopt layered style disable)
elif [ $every_forgery = 1 ]; then
    forgeries+=(timer-proc thread-timer-proc systimer-proc region parent adopt layered style disable
        foreground post-showwindow send-showwindow)
fi

# --- A crash in a frame: the guard takes back the running flag once and exits with -1.
if [ -z "$layout" ]; then
cp "$ddraw_stand_in" "$work/ddraw.dll"
KORVANE_TEST_DDRAW=crash WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-};ddraw=n" \
    timeout "$(scaled 60)" "$KORVANE_WINE" "$saver" /s </dev/null >/dev/null 2>&1
code=$?
[ $code -eq 255 ] && pass "crash: an access violation ends the saver with -1" ||
    fail "crash: exit code $code, expected 255 (253 is a stack overflow, 124 a hang)"
rm -f "$work/ddraw.dll"

# --- Two full-screen starts at once: one saver stays, the other leaves with 0.
start_saver /s
first=$saver_pid
start_saver /s
second=$saver_pid
if ! wait_window "Screen Saver" 20 >/dev/null; then
    fail "two starts: no saver window"
else
    deadline=$((SECONDS + $(scaled 15)))
    while kill -0 "$first" 2>/dev/null && kill -0 "$second" 2>/dev/null && [ $SECONDS -lt $deadline ]; do
        sleep 0.1
    done
    if kill -0 "$first" 2>/dev/null && kill -0 "$second" 2>/dev/null; then
        fail "two starts: both still run after 15 s"
    else
        if kill -0 "$first" 2>/dev/null; then left=$second stayed=$first; else left=$first stayed=$second; fi
        wait "$left"
        code=$?
        count=$(lock_helper count-savers | tr -d '\r')
        [ $code -eq 0 ] && [ "$count" = 1 ] && pass "two starts: one leaves with 0, one saver window stays" ||
            fail "two starts: the second left with $code, $count saver windows"
        pause 0.5
        xdotool key a
        wait_exit "$stayed" 15
        code=$?
        [ $code -eq 0 ] && pass "two starts: a key closes the one that stayed" ||
            fail "two starts: after a key the remaining saver gave $code"
    fi
fi
for pid in "$first" "$second"; do kill "$pid" 2>/dev/null; done
fi

# --- Locked: Windows 9x for the saver, a password required (stored as text), the refusing
# stand-in verifier in the system directory.
require_password REG_SZ || fail "locked: cannot put the verifier into the system directory"

# The backdrop lies under the saver window, and in a layout under every cover too.
backdrop_area=()
if [ -n "$layout" ]; then
    backdrop_area=(magenta 0 0 0 0)
    for ((i = 0; i < head_count; i++)); do
        [ "${head_vx[i]}" -lt "${backdrop_area[1]}" ] && backdrop_area[1]=${head_vx[i]}
        [ "${head_vy[i]}" -lt "${backdrop_area[2]}" ] && backdrop_area[2]=${head_vy[i]}
    done
    for ((i = 0; i < head_count; i++)); do
        right=$((head_vx[i] + head_w[i] - backdrop_area[1]))
        bottom=$((head_vy[i] + head_h[i] - backdrop_area[2]))
        [ $right -gt "${backdrop_area[3]}" ] && backdrop_area[3]=$right
        [ $bottom -gt "${backdrop_area[4]}" ] && backdrop_area[4]=$bottom
    done
fi
"$KORVANE_WINE" "$lock_helper_exe" backdrop "$(windows_path "$work/backdrop.txt")" 600 "${backdrop_area[@]}" \
    </dev/null >/dev/null 2>&1 &
started+=("$!")
if ! wait_file "$work/backdrop.txt" 20 || [ "$(backdrop_pixels)" -lt 100000 ]; then
    fail "locked: the backdrop window did not show"
fi

# stop_saver <pid>: ends a saver the piece is done with.
stop_saver() {
    kill "$1" 2>/dev/null
    wait_exit "$1" 10 >/dev/null
}

cover_windows() { lock_helper windows | tr -d '\r' | grep -c '^cover'; }
covers_shown() { [ "$(cover_windows)" -eq "$1" ]; }
# start_locked: a locked saver that shows its picture, with a cover over every other monitor.
start_locked() {
    start_saver /s
    if ! wait_window "Screen Saver" 20 >/dev/null || ! wait_green 400 15; then
        fail "locked: the saver did not show its picture"
        return 1
    fi
    if [ -n "$layout" ] && ! wait_for 20 covers_shown $((head_count - 1)); then
        fail "locked: $(cover_windows) monitor cover(s), expected $((head_count - 1))"
        return 1
    fi
}

# forge <forgery> <saver|cover>: the lock helper does it from its own process (and holds what
# it made for 3 s); the saver must go on running and drawing, whole, covering the backdrop and
# asking on input. A saver that ended is started again for the next forgery.
forge() {
    local forgery=$1 target=$2 before failed=$failures helper backdrop problems
    before=$(asked)
    "$KORVANE_WINE" "$lock_helper_exe" forge "$forgery" "$target" "$(scaled 3)" </dev/null >/dev/null 2>&1 &
    helper=$!
    # Nothing answers a forgery that worked; a second is ample for it to end the loop.
    pause 1
    if ! kill -0 "$saver_pid" 2>/dev/null; then
        wait "$saver_pid"
        fail "locked: '$forgery' on the $target from another process ended the saver (exit code $?)"
        wait "$helper"
        start_locked
        return
    fi
    backdrop=$(backdrop_pixels)
    [ "$backdrop" -eq 0 ] || fail "locked: after '$forgery' on the $target $backdrop backdrop pixels show"
    problems=$(lock_helper whole | tr -d '\r' | tr '\n' ';') ||
        fail "locked: after '$forgery' on the $target the lock is not whole: $problems"
    screen_changes 10 || fail "locked: after '$forgery' on the $target the show stands still"
    pause 0.3
    xdotool key a
    # A forgery that took the focus away may have asked already; a movement reaches the
    # window under the pointer whatever has the focus.
    wait_asked $((before + 1)) 5 || { xdotool mousemove_relative 30 30; wait_asked $((before + 1)) 5; } ||
        fail "locked: after '$forgery' on the $target input no longer asks for the password"
    wait "$helper"
    if [ $failures -eq "$failed" ]; then
        pass "locked: after '$forgery' on the $target it still runs, draws, asks and covers the screen whole"
        pause 0.3
    else
        # The next forgery meets a whole lock, not what this one left.
        stop_saver "$saver_pid"
        start_locked
    fi
}

if start_locked; then
    backdrop=$(backdrop_pixels)
    [ "$backdrop" -eq 0 ] && pass "locked: the saver covers the backdrop window" ||
        fail "locked: $backdrop backdrop pixels show before any forgery"
    pause 0.5
    xdotool key a
    wait_asked 1 10 && pass "locked: a key asks the system directory's verifier" ||
        fail "locked: a key did not ask the verifier"
    target=saver
    [ -n "$layout" ] && target=cover
    for forgery in "${forgeries[@]}"; do
        forge "$forgery" "$target"
    done
    if kill -0 "$saver_pid" 2>/dev/null; then
        echo 1 >"$work/answer.txt"
        pause 0.3
        xdotool key a
        if ! wait_exit "$saver_pid" 8 >/dev/null; then
            xdotool mousemove_relative -- -30 -30
        fi
        wait_exit "$saver_pid" 15
        code=$?
        [ $code -eq 0 ] && pass "locked: the accepted password still ends it with 0" ||
            fail "locked: after acceptance exit code $code"
        echo 0 >"$work/answer.txt"
    fi
fi

# --- Squatting: whatever another program holds, a start locks.
savers() { lock_helper count-savers | tr -d '\r'; }
more_savers_than() { [ "$(savers)" -gt "$1" ]; }
# locks_beside <what> <savers before>: the saver started last makes a window of its own,
# shows its picture and asks on input.
locks_beside() {
    local what=$1 before
    before=$(asked)
    # A start that found the claim taken looks for a running saver for 5 s first.
    if ! wait_for 25 more_savers_than "$2" || ! wait_green 400 15; then
        if kill -0 "$saver_pid" 2>/dev/null; then
            fail "squatting: beside $what the start shows no window or picture"
        else
            wait "$saver_pid"
            fail "squatting: beside $what the start ended with $? and never locked"
        fi
        return 1
    fi
    pause 0.5
    xdotool key a
    if wait_asked $((before + 1)) 10 && kill -0 "$saver_pid" 2>/dev/null; then
        pass "squatting: beside $what a start locks"
    else
        fail "squatting: beside $what the start did not ask for the password on input"
    fi
}

if [ -z "$layout" ] && [ $every_forgery = 1 ]; then
    for form in mutex event hidden-window window; do
        rm -f "$work/squat.txt"
        "$KORVANE_WINE" "$lock_helper_exe" squat "$form" "$(windows_path "$work/squat.txt")" "$(scaled 40)" \
            </dev/null >/dev/null 2>&1 &
        squatter=$!
        started+=("$squatter")
        if wait_file "$work/squat.txt" 20; then
            count=$(savers)
            start_saver /s
            locks_beside "another program's $form" "$count"
            stop_saver "$saver_pid"
        else
            fail "squatting: the helper could not hold a $form"
        fi
        kill "$squatter" 2>/dev/null
        wait "$squatter" 2>/dev/null
    done

    # The same file under another name is this program; once its image cannot be read it no
    # longer counts, and a start locks beside it.
    ln "$saver" "$work/linked.scr"
    "$KORVANE_WINE" "$work/linked.scr" /s </dev/null >/dev/null 2>&1 &
    linked=$!
    started+=("$linked")
    if wait_green 400 20; then
        start_saver /s
        wait_exit "$saver_pid" 15
        code=$?
        [ $code -eq 0 ] && pass "squatting: a start defers to a running saver of this very file, under another name" ||
            fail "squatting: beside a running saver of this file a start gave $code (124: it locked)"
        # Two locks then take the foreground from each other, so neither need show its
        # picture: the new one must make its window and stay.
        rm -f "$work/linked.scr"
        start_saver /s
        if wait_for 25 more_savers_than 1 && still_running "$saver_pid" 2; then
            pass "squatting: beside a saver whose image cannot be read a start locks"
        else
            fail "squatting: beside a saver whose image cannot be read the start made no window of its own, or ended"
        fi
        stop_saver "$saver_pid"
    else
        fail "squatting: the saver started under another name shows no picture"
    fi
    stop_saver "$linked"
fi

[ -n "$layout" ] && lock_finish

# --- A verifier planted beside the saver and in the current folder is never asked.
remove_verifier
cp "$cpl" "$work/PASSWORD.CPL"
: >"$work/password.log"
echo 0 >"$work/answer.txt"
start_saver /s
if wait_window "Screen Saver" 20 >/dev/null; then
    pause 1
    xdotool key a
    wait_exit "$saver_pid" 15
    code=$?
    [ $code -eq 0 ] && [ "$(asked)" -eq 0 ] &&
        pass "planted verifier: not asked; without the system's verifier a key closes it" ||
        fail "planted verifier: exit code $code, asked $(asked) times"
else
    fail "planted verifier: no saver window"
fi

lock_finish
