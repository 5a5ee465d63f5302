#!/usr/bin/env bash
# The sound cues: the telephone trace and the typed message ask for a sound every few frames
# (loops, key clicks, stops). The saver keeps running through them, and no cue makes a thread:
# the saver's threads are the same ones several seconds apart. In a session with a working
# output, the cues are really played: the output's file grows while they come.
#   cues.sh SESSION_FILE SCR HELPER CPL SCREEN_CHECK LOCK_HELPER DDRAW_STAND_IN
# shellcheck source=tests/e2e/lib/e2e.sh
. "$(dirname "$0")/lib/e2e.sh"
e2e_begin "$@"

played_bytes() { stat -c %s "${KORVANE_PLAYED_SOUND:-}" 2>/dev/null || echo 0; }

use_settings TITLE=0 PHONE=1 MESSAGE=1 CODE=0 SFX=1
start_saver /s
if ! wait_window "Screen Saver" 20 >/dev/null || ! wait_green 300 30; then
    fail "/s: no trace on the screen (${green:-0} green pixels)"
else
    # Six looks 1.5 s apart: a thread made for a cue shows as a new id or a new creation time.
    first=$(run_helper threads 2>&1 | tr -d '\r')
    played_before=$(played_bytes)
    changed=""
    for look in 2 3 4 5 6; do
        pause 1.5
        now=$(run_helper threads 2>&1 | tr -d '\r')
        [ "$now" = "$first" ] || changed="$changed look $look: '$now';"
    done
    [ -n "$first" ] && [ -z "$changed" ] &&
        pass "the saver's threads stay the same across the cues ($(wc -w <<<"$first") threads)" ||
        fail "the saver's threads changed across the cues: first '$first';$changed"
    kill -0 "$saver_pid" 2>/dev/null && pass "/s: still running after the cues" ||
        fail "/s: ended during the cues"
    if [ -n "${KORVANE_PLAYED_SOUND:-}" ]; then
        # Silence is 0x80 in unsigned 8-bit samples and 0x00 in signed ones: bytes of any
        # other value are sound.
        written=$(($(played_bytes) - played_before))
        sounding=$(tail -c +$((played_before + 1)) "$KORVANE_PLAYED_SOUND" | tr -d '\000\200' | wc -c)
        [ "$sounding" -gt 0 ] &&
            pass "the cues played: $written bytes reached the sound output, $sounding of them not silence" ||
            fail "no sound reached the output during the cues ($written bytes written, all silence)"
    fi
    closes_on_key /s
fi

e2e_finish
