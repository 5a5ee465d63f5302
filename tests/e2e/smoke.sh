#!/usr/bin/env bash
# The least every depth and renderer must give: /s shows glyphs and a key ends it with 0. It
# runs the falling code alone, whose bright stream heads show from the first frames at every
# depth (at 8 bits Wine shows only the brightest glyphs).
#   smoke.sh SESSION_FILE SCR HELPER CPL SCREEN_CHECK LOCK_HELPER DDRAW_STAND_IN
# shellcheck source=tests/e2e/lib/e2e.sh
. "$(dirname "$0")/lib/e2e.sh"
e2e_begin "$@"

use_settings TITLE=0 PHONE=0 MESSAGE=0 CODE=1 SFX=1

start_saver /s
if ! wait_window "Screen Saver" 20 >/dev/null; then
    fail "/s: no 'Screen Saver' window within 20 s"
else
    wait_green 400 30 && pass "/s: green glyphs on the screen after ${waited} s ($green green pixels)" ||
        fail "/s: only ${green:-0} green pixels after ${waited} s"
    pause 0.5
    closes_on_key /s
fi

e2e_finish
