# The end-to-end tests' shared helper: the session, the saver and its helpers, screenshots
# and what they show. Each piece sources it and starts with
#
#   e2e_begin SESSION_FILE SCR HELPER CPL SCREEN_CHECK LOCK_HELPER DDRAW_STAND_IN
#
# and ends with e2e_finish. SESSION_FILE comes from wine_session.sh (a CTest fixture); the
# picture checks go through korvane-screen-check, which reads screenshots as PPM files.
set -uo pipefail

e2e_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)
# shellcheck source=tests/wine/wine_session_lib.sh
. "$e2e_root/tests/wine/wine_session_lib.sh"
settings_key='HKCU\Software\Orvandel\Korvane Screensaver'
failures=0
started=()
width=1024
height=768

e2e_begin() {
    local source_scr=$2
    session_file=$1
    helper=$3 cpl=$4 screen_check=$5 lock_helper_exe=$6 ddraw_stand_in=$7
    if [ ! -f "$session_file" ]; then
        echo "FAIL: no Wine session ($session_file): its fixture did not start"
        exit 1
    fi
    # shellcheck disable=SC1090
    . "$session_file"
    if [ ! -x "$screen_check" ]; then
        echo "FAIL: no screen checker at $screen_check (make test builds it: native-release preset)"
        exit 1
    fi
    if [ "$KORVANE_WINE_ARCH" = win64 ] && ! file -b "$source_scr" | grep -q 'PE32+'; then
        echo "SKIP: this Wine runs only 64-bit programs and $source_scr is 32-bit"
        exit 77
    fi
    work=$(mktemp -d)
    trap e2e_cleanup EXIT
    # The saver runs from its own folder so that a stand-in verifier can sit beside it, and
    # from there, so that only that copy can be found in the current folder.
    cp "$source_scr" "$work/korvane.scr"
    saver="$work/korvane.scr"
    cd "$work" || exit 1
    local build=64-bit
    [ "$KORVANE_WINE_ARCH" = win32 ] && build=32-bit
    echo "$(basename "$0" .sh): $build korvane.scr, renderer $KORVANE_WINE_RENDERER, depth $KORVANE_XVFB_DEPTH"
    # Every piece starts from the default settings, no password and the design's 96 DPI,
    # whatever an interrupted run left.
    reg delete "$settings_key" /f
    reg delete 'HKCU\Control Panel\Desktop' /v ScreenSaveUsePassword /f
    reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f
    reg delete 'HKCU\Software\Wine\AppDefaults\korvane.scr' /f
}

verifier_installed=0
e2e_cleanup() {
    for pid in "${started[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    [ "$verifier_installed" = 0 ] || lock_helper remove-verifier >/dev/null 2>&1
    reg delete "$settings_key" /f
    reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f
    rm -rf "$work"
}

e2e_finish() {
    if [ "$failures" -gt 0 ]; then
        echo "$failures check(s) failed"
        exit 1
    fi
    echo "all checks passed"
    exit 0
}

# Every failure keeps a screenshot of the moment beside the session file, for the record.
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
    local evidence
    evidence="$(dirname "$session_file")/evidence/$(basename "$session_file" .env)-$(basename "$0" .sh)-$(date +%H%M%S)-$failures.png"
    mkdir -p "$(dirname "$evidence")" && import -window root "$evidence" 2>/dev/null &&
        echo "      screen at that moment: $evidence"
    if [ -s "$work/saver.err" ]; then
        echo "      Wine's last words on the saver started last:"
        tail -n 5 "$work/saver.err" | sed 's/^/        /'
    fi
}
pass() { echo "ok: $*"; }

# scaled SECONDS: a wait or time limit at this session's pace. Under emulation Wine runs
# several times slower (KORVANE_WINE_TIME_FACTOR, from the session), and every wait, pause and
# timeout of the pieces grows with it; natively the factor is 1.
scaled() { wine_scaled "$1"; }
pause() { sleep "$(scaled "$1")"; }

reg() { timeout "$(scaled 60)" "$KORVANE_WINE" reg "$@" </dev/null >/dev/null 2>&1; }

# Windows path of a Unix path: Wine's drive Z: is the root. Computed here rather than by
# winepath, which can answer nothing while a new prefix is still settling.
windows_path() {
    local absolute
    absolute=$(readlink -m "$1")
    echo "Z:${absolute//\//\\}"
}

run_saver() {  # run_saver <args...>: in the foreground, bounded, exit code in $?
    timeout "$(scaled 30)" "$KORVANE_WINE" "$saver" "$@" </dev/null >/dev/null 2>&1
}
start_saver() {  # start_saver <args...>: in the background, PID in $saver_pid
    # What Wine says about the saver (crash reports; WINEDEBUG is -all) is kept for fail().
    "$KORVANE_WINE" "$saver" "$@" </dev/null >/dev/null 2>"$work/saver.err" &
    saver_pid=$!
    started+=("$saver_pid")
}
run_helper() { "$KORVANE_WINE" "$helper" "$@" </dev/null; }
lock_helper() { timeout "$(scaled 30)" "$KORVANE_WINE" "$lock_helper_exe" "$@" </dev/null; }
# install_verifier: the stand-in verifier into the system directory the saver loads it from
# (the helper has the saver's word size, so it names the right folder).
install_verifier() {
    verifier_installed=1
    lock_helper install-verifier "$(windows_path "$cpl")"
}
remove_verifier() { lock_helper remove-verifier >/dev/null 2>&1; }
# require_password <REG_DWORD|REG_SZ>: Windows 9x for the saver, "ScreenSaveUsePassword" = 1
# stored with that type, the stand-in verifier in the system folder (its status is the
# answer), logging to password.log and answering from answer.txt, which says no.
require_password() {
    reg add 'HKCU\Software\Wine\AppDefaults\korvane.scr' /v Version /d win98 /f
    reg add 'HKCU\Control Panel\Desktop' /v ScreenSaveUsePassword /t "$1" /d 1 /f
    export KORVANE_TEST_PASSWORD_LOG KORVANE_TEST_PASSWORD_ANSWER_FILE
    KORVANE_TEST_PASSWORD_LOG=$(windows_path "$work/password.log")
    KORVANE_TEST_PASSWORD_ANSWER_FILE=$(windows_path "$work/answer.txt")
    echo 0 >"$work/answer.txt"
    install_verifier
}
asked() {  # how often the verifier was asked; 0 before its log exists
    local count
    count=$(grep -c '^asked' "$work/password.log" 2>/dev/null)
    echo "${count:-0}"
}
# wait_for <seconds> <command...>: polls the command until it succeeds; false at the deadline.
wait_for() {
    local deadline=$((SECONDS + $(scaled "$1")))
    shift
    until "$@"; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.1
    done
}
asked_at_least() { [ "$(asked)" -ge "$1" ]; }
wait_asked() { wait_for "$2" asked_at_least "$1"; }  # wait_asked <count> <seconds>
wait_file() { wait_for "$2" test -s "$1"; }          # wait_file <path> <seconds>

# wait_window <exact title> <seconds>: the X window id, or nothing when it did not appear.
wait_window() {
    local deadline=$((SECONDS + $(scaled "$2"))) id
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
    local deadline=$((SECONDS + $(scaled "$2")))
    while kill -0 "$1" 2>/dev/null; do
        if [ $SECONDS -ge $deadline ]; then
            return 124
        fi
        sleep 0.1
    done
    wait "$1"
}
# closes_on_key <what>: a key ends the saver started last with exit code 0.
closes_on_key() {
    xdotool key a
    wait_exit "$saver_pid" 15
    local code=$?
    [ $code -eq 0 ] && pass "$1: a key closes it with exit code 0" ||
        fail "$1: after a key exit code $code (124: still running)"
}
still_running() { pause "$2"; kill -0 "$1" 2>/dev/null; }

# shot <file.ppm>: a screenshot of the whole screen.
shot() { import -window root -depth 8 "$1" 2>/dev/null; }
# green_pixels [x y w h]: how many clearly green pixels the screen shows (in that area).
green_pixels() {
    shot "$work/green.ppm" && "$screen_check" green "$work/green.ppm" "$@"
}
# backdrop_pixels: how many pixels of the lock helper's magenta backdrop window show.
backdrop_pixels() {
    shot "$work/backdrop.ppm" && "$screen_check" magenta "$work/backdrop.ppm"
}
# glyph_spread: the percentages of the grid's columns and rows in which glyphs show.
glyph_spread() {
    shot "$work/spread.ppm" && "$screen_check" spread "$work/spread.ppm"
}
# wait_green <at least> <seconds>: polls screenshots until that many green pixels show; the
# last count goes to $green and the seconds waited to $waited.
wait_green() {
    local deadline=$((SECONDS + $(scaled "$2"))) begun=$EPOCHREALTIME
    while :; do
        green=$(green_pixels)
        [ "${green:-0}" -ge "$1" ] && break
        [ $SECONDS -lt $deadline ] || break
        sleep 0.2
    done
    waited=$(awk -v a="$begun" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.1f", b - a }')
    [ "${green:-0}" -ge "$1" ]
}
# screen_changes <seconds>: the screen changes within that time.
screen_changes() {
    local deadline=$((SECONDS + $(scaled "$1")))
    shot "$work/a.ppm"
    while [ $SECONDS -lt $deadline ]; do
        sleep 0.3
        shot "$work/b.ppm"
        cmp -s "$work/a.ppm" "$work/b.ppm" || return 0
    done
    return 1
}

# use_settings NAME=0|1...: stores the default settings with those sequence switches
# (TITLE, PHONE, MESSAGE, CODE, SFX), as the dialog would.
use_settings() {
    run_helper settings "$@" >/dev/null 2>&1
}
# use_settings_then <registry switches> -- <simulator switches>: the settings stored, and the
# simulator's switches for the same picture left in simulator_switches.
use_settings_then() {
    local switches=()
    while [ $# -gt 0 ] && [ "$1" != -- ]; do
        switches+=("$1")
        shift
    done
    [ $# -gt 0 ] && shift
    simulator_switches=("$@")
    use_settings "${switches[@]}"
}

# screen_matches_show <what> <frames to search> [simulator switches...]: screenshots of the
# running show (on the primary monitor) must equal the simulator's picture of some non-trivial
# frame. Up to ten tries a
# second apart, since a screenshot can catch a flip half done or a still moment; the
# matcher's answer goes to $match_line.
screen_matches_show() {
    local what=$1 frames=$2
    shift 2
    local try
    for try in 1 2 3 4 5 6 7 8 9 10; do
        shot "$work/match.ppm"
        # With several monitors the show runs on the primary, the first head.
        if [ -n "${KORVANE_TEST_HEADS:-}" ]; then
            convert "$work/match.ppm" -crop "${KORVANE_TEST_HEADS%%,*}" +repage "$work/match.ppm"
        fi
        match_line=$("$screen_check" match --depth "$KORVANE_XVFB_DEPTH" --width "$width" \
            --height "$height" --frames "$frames" "$@" "$work/match.ppm" 2>&1)
        if [ $? -eq 0 ]; then
            match_line=${match_line#*: }
            return 0
        fi
        sleep 1
    done
    match_line=${match_line#*: }
    return 1
}
