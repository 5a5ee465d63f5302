#!/usr/bin/env bash
# Settings saved by the dialog shape the next show: with only the code rain on, the rain
# fills the screen from the start instead of the title's one centred line.
#   settings_roundtrip.sh SESSION_FILE SCR HELPER CPL SCREEN_CHECK LOCK_HELPER DDRAW_STAND_IN
# shellcheck source=tests/e2e/lib/e2e.sh
. "$(dirname "$0")/lib/e2e.sh"
e2e_begin "$@"

start_saver /c
if ! run_helper choose-code-only 20; then
    fail "settings: could not choose only the code rain in the dialog"
    run_helper close-window "The Korvane Screensaver Configuration"
    wait_exit "$saver_pid" 15 >/dev/null
else
    wait_exit "$saver_pid" 15
    code=$?
    [ $code -eq 1 ] && pass "settings: OK closes the dialog with exit code 1" ||
        fail "settings: after OK exit code $code"
    stored=$(timeout "$(scaled 60)" "$KORVANE_WINE" reg query "$settings_key" </dev/null 2>/dev/null | tr -d '\r')
    flags=$(for name in TITLE PHONE MESSAGE CODE; do
        awk -v name="$name" '$1 == name && $2 == "REG_DWORD" { printf "%s=%s ", name, $3 }' <<<"$stored"
    done)
    [ "$flags" = "TITLE=0x0 PHONE=0x0 MESSAGE=0x0 CODE=0x1 " ] &&
        pass "settings: the registry holds ${flags% }" ||
        fail "settings: the registry holds '${flags}' after OK; reg query said: $stored"

    start_saver /s
    if ! wait_window "Screen Saver" 20 >/dev/null; then
        fail "settings: /s with only the code rain: no window"
    else
        # The default show's title alone lasts about 20 s and lights under a quarter of the rows,
        # so this deadline and these shares still tell them apart. (At 8 bits Wine shows only
        # the streams' brightest glyphs, so the screen is not asked to fill up.)
        begun=$EPOCHREALTIME deadline=$((SECONDS + $(scaled 15)))
        while :; do
            read -r lit_cols lit_rows < <(glyph_spread)
            [ "${lit_cols:-0}" -ge 25 ] && [ "${lit_rows:-0}" -ge 40 ] && break
            [ $SECONDS -lt $deadline ] || break
            sleep 0.2
        done
        waited=$(awk -v a="$begun" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.1f", b - a }')
        [ "${lit_cols:-0}" -ge 25 ] && [ "${lit_rows:-0}" -ge 40 ] &&
            pass "settings: the rain runs from the start (glyphs in $lit_cols% of columns, $lit_rows% of rows after $waited s)" ||
            fail "settings: after $waited s glyphs only in ${lit_cols:-0}% of columns and ${lit_rows:-0}% of rows"
        xdotool key a
        wait_exit "$saver_pid" 15
        code=$?
        [ $code -eq 0 ] && pass "settings: a key closes the rain with exit code 0" ||
            fail "settings: after a key exit code $code"
    fi
fi

e2e_finish
