#!/usr/bin/env bash
# The lock: a crash ends the saver with -1 (not a stack overflow), two starts at once leave one
# saver, and with a refusing verifier in force no message from another process ends or
# uncovers the saver; the verifier is taken from the system directory only.
#   lock.sh SESSION_FILE SCR HELPER CPL SCREEN_CHECK LOCK_HELPER DDRAW_STAND_IN
# shellcheck source=tests/e2e/lib/e2e.sh
. "$(dirname "$0")/lib/e2e.sh"
e2e_begin "$@"

# --- A crash in a frame: the guard takes back the running flag once and exits with -1.
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

# --- Locked: Windows 9x for the saver, a password required (stored as text), the refusing
# stand-in verifier in the system directory.
require_password REG_SZ || fail "locked: cannot put the verifier into the system directory"

"$KORVANE_WINE" "$lock_helper_exe" backdrop "$(windows_path "$work/backdrop.txt")" 300 </dev/null >/dev/null 2>&1 &
started+=("$!")
if ! wait_file "$work/backdrop.txt" 20 || [ "$(backdrop_pixels)" -lt 100000 ]; then
    fail "locked: the backdrop window did not show"
fi
start_saver /s
if ! wait_window "Screen Saver" 20 >/dev/null || ! wait_green 400 15; then
    fail "locked: the saver did not show its picture"
else
    backdrop=$(backdrop_pixels)
    [ "$backdrop" -eq 0 ] && pass "locked: the saver covers the backdrop window" ||
        fail "locked: $backdrop backdrop pixels show before any forgery"
    pause 0.5
    xdotool key a
    wait_asked 1 10 && pass "locked: a key asks the system directory's verifier" ||
        fail "locked: a key did not ask the verifier"
    for forgery in quit destroy post-destroy ncdestroy setup hide minimize move; do
        before=$(asked)
        lock_helper forge "$forgery" >/dev/null
        # Nothing answers a forgery that worked; a second is ample for it to end the loop.
        pause 1
        if ! kill -0 "$saver_pid" 2>/dev/null; then
            fail "locked: '$forgery' from another process ended the saver"
            break
        fi
        backdrop=$(backdrop_pixels)
        [ "$backdrop" -eq 0 ] && pass "locked: after '$forgery' it still runs and covers the screen" ||
            fail "locked: after '$forgery' $backdrop backdrop pixels show"
        screen_changes 10 || fail "locked: after '$forgery' the show stands still"
        pause 0.3
        xdotool key a
        # A forgery that took the focus away may have asked already; a movement reaches the
        # window under the pointer whatever has the focus.
        wait_asked $((before + 1)) 5 || { xdotool mousemove_relative 30 30; wait_asked $((before + 1)) 5; } ||
            fail "locked: after '$forgery' input no longer asks for the password"
        pause 0.3
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
    fi
fi

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

e2e_finish
