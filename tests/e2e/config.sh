#!/usr/bin/env bash
# Configuration: the dialog opens for /c, /c:N and no arguments; closing it gives 1.
#   config.sh SESSION_FILE SCR HELPER CPL SCREEN_CHECK LOCK_HELPER DDRAW_STAND_IN
# shellcheck source=tests/e2e/lib/e2e.sh
. "$(dirname "$0")/lib/e2e.sh"
e2e_begin "$@"

for args in "/c" "" "/c:99999"; do
    # shellcheck disable=SC2086
    start_saver $args
    if ! wait_window "The Korvane Screensaver Configuration" 20 >/dev/null; then
        fail "'$args': no configuration dialog"
        continue
    fi
    run_helper close-window "The Korvane Screensaver Configuration"
    wait_exit "$saver_pid" 15
    code=$?
    [ $code -eq 1 ] && pass "'$args': dialog opens, exit code 1" || fail "'$args': exit code $code"
done

e2e_finish
