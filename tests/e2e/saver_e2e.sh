#!/usr/bin/env bash
# End-to-end runs of the real saver: start-up modes and exit codes, the full-screen window,
# closing on input, the single instance, the preview and the password gate.
#   saver_e2e.sh <korvane.scr> <e2e_helper.exe> <PASSWORD.CPL>
# Inside a Wine harness (KORVANE_WINE set) it uses that one; otherwise it starts its own.
set -uo pipefail

scr=$1 helper=$2 cpl=$3
root=$(cd "$(dirname "$0")/../.." && pwd)
if [ -z "${KORVANE_WINE:-}" ]; then
    exec "$root/tests/wine/with-wine.sh" --timeout 500 -- bash "$0" "$@"
fi
if [ "$KORVANE_WINE_ARCH" = win64 ] && ! file -b "$scr" | grep -q 'PE32+'; then
    echo "SKIP: this Wine runs only 64-bit programs and $scr is 32-bit"
    exit 77
fi

work=$(mktemp -d)
started=()
failures=0
settings_key='HKCU\Software\Orvandel\Korvane Screensaver'
settings_changed=0
reg() { timeout 60 "$KORVANE_WINE" reg "$@" </dev/null >/dev/null 2>&1; }
cleanup() {
    for pid in "${started[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    # Later runs in this prefix start from the default settings.
    [ $settings_changed = 0 ] || reg delete "$settings_key" /f
    rm -rf "$work"
}
trap cleanup EXIT

# The saver runs from its own folder so the stand-in verifier can sit beside it.
cp "$scr" "$work/korvane.scr"
saver="$work/korvane.scr"
# LoadLibraryA also looks in the current folder; only the copy beside the saver may be found.
cd "$work" || exit 1

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
pass() { echo "ok: $*"; }

# Windows path of a Unix path: Wine's drive Z: is the root. Computed here rather than by
# winepath, which can answer nothing while a new prefix is still settling.
windows_path() {
    local absolute
    absolute=$(readlink -m "$1")
    echo "Z:${absolute//\//\\}"
}
run_saver() {  # run_saver <args...>: in the foreground, bounded, exit code in $?
    timeout 30 "$KORVANE_WINE" "$saver" "$@" </dev/null >/dev/null 2>&1
}
start_saver() {  # start_saver <args...>: in the background, PID in $saver_pid
    "$KORVANE_WINE" "$saver" "$@" </dev/null >/dev/null 2>&1 &
    saver_pid=$!
    started+=("$saver_pid")
}
# wait_window <exact title> <seconds>: the X window id, or nothing when it did not appear.
wait_window() {
    local deadline=$((SECONDS + $2)) id
    while [ $SECONDS -lt $deadline ]; do
        id=$(xdotool search --name "^$1\$" 2>/dev/null | head -n 1)
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        sleep 0.1
    done
    return 1
}
# wait_exit <pid> <seconds>: the process's exit code, or 124 when it is still running.
wait_exit() {
    local deadline=$((SECONDS + $2))
    while kill -0 "$1" 2>/dev/null; do
        if [ $SECONDS -ge $deadline ]; then
            return 124
        fi
        sleep 0.1
    done
    wait "$1"
}
still_running() { sleep "$2"; kill -0 "$1" 2>/dev/null; }
# green_pixels <x y w h>: how many clearly green pixels the screen shows in that area.
green_pixels() {
    import -window root -crop "${3}x${4}+${1}+${2}" -depth 8 "$work/shot.ppm" 2>/dev/null
    python3 - "$work/shot.ppm" <<'PY'
import sys
data = open(sys.argv[1], 'rb').read()
parts = data.split(maxsplit=4)
pixels = parts[4]
print(sum(1 for i in range(0, len(pixels) - 2, 3)
          if pixels[i + 1] > 60 and pixels[i + 1] > 2 * pixels[i] and pixels[i + 1] > 2 * pixels[i + 2]))
PY
}

# glyph_spread: the percentages of the grid's columns and of its rows (16 x 24 pixel cells)
# in which the screen shows green glyphs, as "columns rows".
glyph_spread() {
    import -window root -depth 8 "$work/spread.ppm" 2>/dev/null
    python3 - "$work/spread.ppm" <<'PY'
import sys
data = open(sys.argv[1], 'rb').read()
_, width, height, _, pixels = data.split(maxsplit=4)
width, height = int(width), int(height)
cols, rows = width // 16, height // 24
green = [[0] * cols for _ in range(rows)]
for y in range(rows * 24):
    line = pixels[3 * width * y:3 * width * (y + 1)]
    counts = green[y // 24]
    for x, (r, g, b) in enumerate(zip(line[0::3], line[1::3], line[2::3])):
        if g > 60 and g > 2 * r and g > 2 * b and x < cols * 16:
            counts[x // 16] += 1
# A cell counts when a glyph's strokes show in it, not a stray pixel.
lit = [[n >= 8 for n in row] for row in green]
lit_cols = sum(1 for c in range(cols) if any(lit[r][c] for r in range(rows)))
lit_rows = sum(1 for r in range(rows) if any(lit[r]))
print(100 * lit_cols // cols, 100 * lit_rows // rows)
PY
}

width=${KORVANE_SCREEN_WIDTH:-1024}
height=${KORVANE_SCREEN_HEIGHT:-768}

# wait_green <x y w h> <at least> <seconds>: polls screenshots until that many green pixels show;
# the last count goes to $green and the seconds waited to $waited.
wait_green() {
    local deadline=$((SECONDS + $6)) started=$EPOCHREALTIME
    while :; do
        green=$(green_pixels "$1" "$2" "$3" "$4")
        [ "${green:-0}" -ge "$5" ] && break
        [ $SECONDS -lt $deadline ] || break
        sleep 0.2
    done
    waited=$(awk -v a="$started" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.1f", b - a }')
    [ "${green:-0}" -ge "$5" ]
}

# Every case starts from the default settings, whatever an earlier, interrupted run left.
settings_changed=1
reg delete "$settings_key" /f
settings_changed=0

# --- Full screen: the window, the picture, a small and a large mouse movement.
start_saver /s
if ! wait_window "Screen Saver" 20 >/dev/null; then
    fail "/s: no 'Screen Saver' window within 20 s"
else
    "$KORVANE_WINE" "$helper" probe-fullscreen </dev/null && pass "/s: topmost full-screen window" ||
        fail "/s: window is not the topmost full-screen saver window"
    if [ "${KORVANE_E2E_EXPECT_PICTURE:-1}" = 1 ]; then
        # The title's first line is typed glyph by glyph; a few glyphs and the cursor suffice.
        wait_green 0 0 "$width" "$height" 400 15 &&
            pass "/s: green glyphs on the screen after ${waited} s ($green green pixels)" ||
            fail "/s: only ${green:-0} green pixels after ${waited} s"
        # With the default settings the show opens with the title alone: one centred line.
        read -r lit_cols lit_rows < <(glyph_spread)
        [ "${lit_rows:-100}" -lt 25 ] &&
            pass "/s: the default show opens with the title alone (glyphs in $lit_rows% of rows)" ||
            fail "/s: the default show opens with glyphs in ${lit_rows:-?}% of rows, not the title alone"
    else
        echo "note: the picture is not checked in this build"
    fi
    sleep 0.5
    xdotool mousemove_relative 3 1
    still_running "$saver_pid" 1 && pass "/s: a 4-pixel movement leaves it running" ||
        fail "/s: closed on a 4-pixel movement"
    xdotool mousemove_relative 4 1
    wait_exit "$saver_pid" 15
    code=$?
    [ $code -eq 0 ] && pass "/s: a 5-pixel movement closes it with exit code 0" ||
        fail "/s: after a 5-pixel movement exit code $code (124: still running)"
fi

# --- A key closes it; a second start brings the first forward and ends at once.
start_saver /s
first=$saver_pid
if ! wait_window "Screen Saver" 20 >/dev/null; then
    fail "/s (second run): no window"
else
    sleep 0.5
    run_saver /s
    code=$?
    [ $code -eq 0 ] && kill -0 "$first" 2>/dev/null && pass "second /s exits 0, first keeps running" ||
        fail "second /s: exit code $code, first running: $(kill -0 "$first" 2>/dev/null && echo yes || echo no)"
    xdotool key a
    wait_exit "$first" 15
    code=$?
    [ $code -eq 0 ] && pass "/s: a key closes it with exit code 0" || fail "/s: after a key exit code $code"
fi

# --- Switches that are refused: -1, which the shell sees as 255.
# Started through the helper, so the saver sees exactly these command lines.
winsaver=$(windows_path "$saver")
for args in "/p 0" "/p:1234" "/p 4000000001" "/x" "/a 12" "/	s"; do
    timeout 40 "$KORVANE_WINE" "$helper" run "\"$winsaver\" $args" </dev/null >/dev/null 2>&1
    code=$?
    [ $code -eq 255 ] && pass "'$args' exits -1" || fail "'$args': exit code $code, expected 255"
done

# --- Preview: a child of the test's window; draws, and ignores keys and the mouse.
"$KORVANE_WINE" "$helper" parent "$work/parent.txt" 60 </dev/null >/dev/null 2>&1 &
parent_pid=$!
started+=("$parent_pid")
deadline=$((SECONDS + 20))
while [ ! -s "$work/parent.txt" ] && [ $SECONDS -lt $deadline ]; do sleep 0.1; done
if [ ! -s "$work/parent.txt" ]; then
    fail "preview: the parent window did not report its number"
else
    start_saver /p "$(tr -d '\r\n' <"$work/parent.txt")"
    parent=$(tr -d '\r\n' <"$work/parent.txt")
    deadline=$((SECONDS + 20))
    until "$KORVANE_WINE" "$helper" probe-preview "$parent" </dev/null >/dev/null 2>&1; do
        [ $SECONDS -lt $deadline ] || break
        sleep 0.2
    done
    if ! "$KORVANE_WINE" "$helper" probe-preview "$parent" </dev/null >/dev/null 2>&1; then
        fail "preview: no 'Preview' child in the parent window"
    else
        sleep 1
        # Wine gives a child window of another process no surface of its own, so what the
        # preview draws never reaches the screen there; the figure itself is tested natively.
        if [ "${KORVANE_E2E_EXPECT_PREVIEW_PICTURE:-1}" = 1 ]; then
            green=$(green_pixels 10 10 152 112)
            [ "${green:-0}" -gt 100 ] && pass "preview: draws the figure ($green green pixels)" ||
                fail "preview: only ${green:-0} green pixels"
        fi
        xdotool mousemove 60 60 sleep 0.2 mousemove 120 90 click 1 key a
        still_running "$saver_pid" 1 && pass "preview: keys and mouse leave it running" ||
            fail "preview: closed on input"
        "$KORVANE_WINE" "$helper" close-window "Preview Parent" </dev/null
        wait_exit "$saver_pid" 20
        code=$?
        [ $code -eq 0 ] && pass "preview: ends with its parent, exit code 0" ||
            fail "preview: exit code $code when the parent went away"
    fi
fi
"$KORVANE_WINE" "$helper" close-window "Preview Parent" </dev/null >/dev/null 2>&1
wait_exit "$parent_pid" 20 >/dev/null

# --- Configuration: the dialog opens; closing it gives 1.
for args in "/c" "" "/c:99999"; do
    # shellcheck disable=SC2086
    start_saver $args
    if ! dialog=$(wait_window "The Korvane Screensaver Configuration" 20); then
        fail "'$args': no configuration dialog"
        continue
    fi
    [ -n "$dialog" ] && "$KORVANE_WINE" "$helper" close-window "The Korvane Screensaver Configuration" </dev/null
    wait_exit "$saver_pid" 15
    code=$?
    [ $code -eq 1 ] && pass "'$args': dialog opens, exit code 1" || fail "'$args': exit code $code"
done

# --- Settings saved by the dialog shape the next show: with only the code rain on, the
# rain fills the screen from the start instead of the title's one centred line.
settings_changed=1
start_saver /c
if ! "$KORVANE_WINE" "$helper" choose-code-only 20 </dev/null; then
    fail "settings: could not choose only the code rain in the dialog"
    "$KORVANE_WINE" "$helper" close-window "The Korvane Screensaver Configuration" </dev/null
    wait_exit "$saver_pid" 15 >/dev/null
else
    wait_exit "$saver_pid" 15
    code=$?
    [ $code -eq 1 ] && pass "settings: OK closes the dialog with exit code 1" ||
        fail "settings: after OK exit code $code"
    stored=$(timeout 60 "$KORVANE_WINE" reg query "$settings_key" </dev/null 2>/dev/null | tr -d '\r')
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
        # The default show's title alone lasts about 20 s, so this deadline still tells them apart.
        started_at=$EPOCHREALTIME deadline=$((SECONDS + 15))
        while :; do
            read -r lit_cols lit_rows < <(glyph_spread)
            [ "${lit_cols:-0}" -ge 75 ] && [ "${lit_rows:-0}" -ge 75 ] && break
            [ $SECONDS -lt $deadline ] || break
            sleep 0.2
        done
        waited=$(awk -v a="$started_at" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.1f", b - a }')
        [ "${lit_cols:-0}" -ge 75 ] && [ "${lit_rows:-0}" -ge 75 ] &&
            pass "settings: the rain runs from the start (glyphs in $lit_cols% of columns, $lit_rows% of rows after $waited s)" ||
            fail "settings: after $waited s glyphs only in ${lit_cols:-0}% of columns and ${lit_rows:-0}% of rows"
        xdotool key a
        wait_exit "$saver_pid" 15
        code=$?
        [ $code -eq 0 ] && pass "settings: a key closes the rain with exit code 0" ||
            fail "settings: after a key exit code $code"
    fi
fi
reg delete "$settings_key" /f
settings_changed=0

# --- Password: the desktop asks for one and Wine reports Windows 9x for the saver.
asked() {  # how often the verifier was asked; 0 before its log exists
    local count
    count=$(grep -c '^asked' "$work/password.log" 2>/dev/null)
    echo "${count:-0}"
}
wait_asked() {  # wait_asked <count> <seconds>
    local deadline=$((SECONDS + $2))
    until [ "$(asked)" -ge "$1" ]; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.1
    done
}
frames_move() {  # the screen changes within 10 s while the show runs (the title holds lines)
    local deadline=$((SECONDS + 10))
    import -window root -depth 8 "$work/a.ppm" 2>/dev/null
    while [ $SECONDS -lt $deadline ]; do
        sleep 0.3
        import -window root -depth 8 "$work/b.ppm" 2>/dev/null
        cmp -s "$work/a.ppm" "$work/b.ppm" || return 0
    done
    return 1
}
reg add 'HKCU\Software\Wine\AppDefaults\korvane.scr' /v Version /d win98 /f
reg add 'HKCU\Control Panel\Desktop' /v ScreenSaveUsePassword /t REG_DWORD /d 1 /f
cp "$cpl" "$work/PASSWORD.CPL"
export KORVANE_TEST_PASSWORD_LOG KORVANE_TEST_PASSWORD_ANSWER_FILE KORVANE_TEST_PASSWORD_WAIT_MS
KORVANE_TEST_PASSWORD_LOG=$(windows_path "$work/password.log")
KORVANE_TEST_PASSWORD_ANSWER_FILE=$(windows_path "$work/answer.txt")
KORVANE_TEST_PASSWORD_WAIT_MS=3000
echo 0 >"$work/answer.txt"

# The password changer exists only on Windows 9x, so its exit code shows what the saver sees.
if ! run_saver /a 12; then
    fail "password: GetVersionExA does not report Windows 9x despite the AppDefaults (exit $?)"
else
    start_saver /s
    if ! wait_window "Screen Saver" 20 >/dev/null || ! wait_green 0 0 "$width" "$height" 400 15; then
        fail "password: the saver did not show its picture"
    else
        sleep 0.5
        xdotool key a
        if ! wait_asked 1 10; then
            fail "password: a key did not ask for the password within 10 s"
        else
            # While it is asked: keys, buttons, movements and a close request from outside.
            xdotool key b key Escape mousemove_relative 40 30 click 1 mousemove_relative -- -40 -30
            "$KORVANE_WINE" "$helper" close-window "Screen Saver" </dev/null
            xdotool key c
            sleep 4
            [ "$(asked)" -eq 1 ] && pass "password: input during the prompt is not a second request" ||
                fail "password: asked $(asked) times for one close request"
            kill -0 "$saver_pid" 2>/dev/null && grep -q refused "$work/password.log" &&
                pass "password: a refused password keeps the saver running" ||
                fail "password: the saver ended although the password was refused"
            frames_move && pass "password: after the refusal the show goes on" ||
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
        sleep 1
        xdotool key a
        wait_asked 1 10 || fail "password: no prompt for the activation check"
        sleep 4
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

    # Without the verifier beside it the saver closes on the first input.
    rm -f "$work/PASSWORD.CPL"
    : >"$work/password.log"
    start_saver /s
    if wait_window "Screen Saver" 20 >/dev/null; then
        sleep 1
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

if [ $failures -gt 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all end-to-end checks passed"
