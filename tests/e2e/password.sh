#!/usr/bin/env bash
# The password gate: the desktop asks for one and Wine reports Windows 9x for the saver. A
# stand-in verifier answers from a file and logs every request.
#   password.sh SESSION_FILE SCR HELPER CPL SCREEN_CHECK LOCK_HELPER DDRAW_STAND_IN
# shellcheck source=tests/e2e/lib/e2e.sh
. "$(dirname "$0")/lib/e2e.sh"
e2e_begin "$@"

require_password REG_DWORD || fail "password: cannot put the verifier into the system directory"
export KORVANE_TEST_PASSWORD_WAIT_MS=3000

# The password changer exists only on Windows 9x, so its exit code shows what the saver sees.
run_saver /a 12
changed=$?
if [ $changed -ne 0 ]; then
    fail "password: GetVersionExA does not report Windows 9x despite the AppDefaults (exit $changed)"
else
    start_saver /s
    if ! wait_window "Screen Saver" 20 >/dev/null || ! wait_green 400 15; then
        fail "password: the saver did not show its picture"
    else
        pause 0.5
        xdotool key a
        if ! wait_asked 1 10; then
            fail "password: a key did not ask for the password within 10 s"
        else
            # While it is asked: keys, buttons, movements and a close request from outside.
            xdotool key b key Escape mousemove_relative 40 30 click 1 mousemove_relative -- -40 -30
            run_helper close-window "Screen Saver"
            xdotool key c
            pause 4
            [ "$(asked)" -eq 1 ] && pass "password: input during the prompt is not a second request" ||
                fail "password: asked $(asked) times for one close request"
            kill -0 "$saver_pid" 2>/dev/null && grep -q refused "$work/password.log" &&
                pass "password: a refused password keeps the saver running" ||
                fail "password: the saver ended although the password was refused"
            screen_changes 10 && pass "password: after the refusal the show goes on" ||
                fail "password: the picture stands still after the refusal"
            echo 1 >"$work/answer.txt"
            xdotool key a
            wait_exit "$saver_pid" 20
            code=$?
            [ $code -eq 0 ] && [ "$(asked)" -eq 2 ] &&
                pass "password: an accepted password closes it with exit code 0" ||
                fail "password: after acceptance exit code $code, asked $(asked) times"
        fi
    fi

    # The verifier itself loses activation and sees a close request while it asks.
    echo 0 >"$work/answer.txt"
    : >"$work/password.log"
    KORVANE_TEST_PASSWORD_PROVOKE=1 start_saver /s
    if wait_window "Screen Saver" 20 >/dev/null; then
        pause 1
        xdotool key a
        wait_asked 1 10 || fail "password: no prompt for the activation check"
        pause 4
        kill -0 "$saver_pid" 2>/dev/null && [ "$(asked)" -eq 1 ] &&
            pass "password: lost activation and a close request during the prompt keep it running" ||
            fail "password: lost activation during the prompt: asked $(asked) times, running: $(kill -0 "$saver_pid" 2>/dev/null && echo yes || echo no)"
        echo 1 >"$work/answer.txt"
        xdotool key a
        if ! wait_exit "$saver_pid" 8; then
            # The provoked loss of activation may have left the keyboard focus elsewhere; a
            # movement reaches the window under the pointer whatever has the focus.
            xdotool mousemove_relative 20 20
            wait_exit "$saver_pid" 15 ||
                fail "password: the activation run did not end after acceptance (asked $(asked) times; log: $(tr '\n' ' ' <"$work/password.log"))"
        fi
    else
        fail "password: no window for the activation check"
    fi

    # Without the system's verifier the saver closes on the first input.
    remove_verifier
    : >"$work/password.log"
    start_saver /s
    if wait_window "Screen Saver" 20 >/dev/null; then
        pause 1
        xdotool key a
        wait_exit "$saver_pid" 15
        code=$?
        [ $code -eq 0 ] && [ "$(asked)" -eq 0 ] && pass "password: without a verifier a key closes it at once" ||
            fail "password: without a verifier exit code $code, asked $(asked) times"
    else
        fail "password: no window without a verifier"
    fi
fi
reg delete 'HKCU\Control Panel\Desktop' /v ScreenSaveUsePassword /f
reg delete 'HKCU\Software\Wine\AppDefaults\korvane.scr' /f
unset KORVANE_TEST_PASSWORD_LOG KORVANE_TEST_PASSWORD_ANSWER_FILE KORVANE_TEST_PASSWORD_WAIT_MS

e2e_finish
