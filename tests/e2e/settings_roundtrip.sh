#!/usr/bin/env bash
# Settings saved by the dialog shape the next show: with only the code rain on, the rain
# fills the screen from the start instead of the title's one centred line. Then the glyph size
# goes round: chosen and stored, shown again, and shown as Automatic after "Restore defaults"
# and for a stored size the list has no entry for.
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
        if kill -0 "$saver_pid" 2>/dev/null; then
            fail "settings: /s with only the code rain: no window, the saver still running"
        else
            wait "$saver_pid"
            fail "settings: /s with only the code rain: no window, the saver ended with exit code $?"
        fi
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

# stored_dword NAME: the stored DWORD as reg query prints it (0x3), or nothing.
stored_dword() {
    timeout "$(scaled 60)" "$KORVANE_WINE" reg query "$settings_key" /v "$1" </dev/null 2>/dev/null |
        tr -d '\r' | awk -v name="$1" '$1 == name && $2 == "REG_DWORD" { print $3 }'
}
# glyph_size_shows WHAT ENTRY: the open dialog's glyph size list shows that entry.
glyph_size_shows() {
    local shown
    shown=$(run_helper glyph-size 20 | tr -d '\r')
    [ "$shown" = "$2" ] && pass "glyph size: $1 shows $2" ||
        fail "glyph size: $1 shows '$shown', not $2"
}
# close_dialog WHAT: the dialog closes without OK, with exit code 1.
close_dialog() {
    run_helper close-window "The Korvane Screensaver Configuration"
    wait_exit "$saver_pid" 15
    local code=$?
    [ $code -eq 1 ] || fail "glyph size: $1: closing the dialog gave exit code $code"
}

start_saver /c
glyph_size_shows "the dialog on the first opening" Automatic
if run_helper choose-glyph-size 20 3x; then
    wait_exit "$saver_pid" 15
    code=$?
    scale=$(stored_dword SCALE)
    [ $code -eq 1 ] && [ "$scale" = 0x3 ] &&
        pass "glyph size: 3x and OK store SCALE=$scale" ||
        fail "glyph size: after 3x and OK exit code $code, SCALE='$scale'"
else
    fail "glyph size: could not choose 3x in the dialog"
    close_dialog "choosing 3x"
fi

start_saver /c
glyph_size_shows "the reopened dialog" 3x
run_helper restore-defaults 20 || fail "glyph size: could not press Restore defaults"
glyph_size_shows '"Restore defaults"' Automatic
close_dialog "after Restore defaults"
scale=$(stored_dword SCALE)
[ "$scale" = 0x3 ] || fail "glyph size: closing after Restore defaults left SCALE='$scale'"

# Only the size is out of range: the rest of the key is the dialog's own complete save.
reg add "$settings_key" /v SCALE /t REG_DWORD /d 9 /f
start_saver /c
glyph_size_shows "a stored SCALE of 9" Automatic
close_dialog "with SCALE=9"

e2e_finish
