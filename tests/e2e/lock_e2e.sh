#!/usr/bin/env bash
# End-to-end checks of the lock: a crash ends the saver with -1 (not a stack overflow), two
# starts at once leave one saver, and with a refusing verifier in force no message from
# another process ends or uncovers the saver; the verifier is taken from the system directory
# only.
#   lock_e2e.sh <korvane.scr> <lock_helper.exe> <PASSWORD.CPL> <ddraw.dll stand-in>
# Inside a Wine harness (KORVANE_WINE set) it uses that one; otherwise it starts its own.
set -uo pipefail

scr=$1 helper=$2 cpl=$3 ddraw=$4
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
reg() { timeout 60 "$KORVANE_WINE" reg "$@" </dev/null >/dev/null 2>&1; }
lock_helper() { timeout 30 "$KORVANE_WINE" "$helper" "$@" </dev/null; }
cleanup() {
    for pid in "${started[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    lock_helper remove-verifier >/dev/null 2>&1
    reg delete 'HKCU\Control Panel\Desktop' /v ScreenSaveUsePassword /f
    reg delete 'HKCU\Software\Wine\AppDefaults\korvane.scr' /f
    rm -rf "$work"
}
trap cleanup EXIT

cp "$scr" "$work/korvane.scr"
saver="$work/korvane.scr"
cd "$work" || exit 1

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
pass() { echo "ok: $*"; }
windows_path() {
    local absolute
    absolute=$(readlink -m "$1")
    echo "Z:${absolute//\//\\}"
}
start_saver() {  # start_saver <args...>: in the background, PID in $saver_pid
    "$KORVANE_WINE" "$saver" "$@" </dev/null >/dev/null 2>&1 &
    saver_pid=$!
    started+=("$saver_pid")
}
wait_window() {  # wait_window <exact title> <seconds>
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
wait_exit() {  # wait_exit <pid> <seconds>: exit code, or 124 while it still runs
    local deadline=$((SECONDS + $2))
    while kill -0 "$1" 2>/dev/null; do
        [ $SECONDS -lt $deadline ] || return 124
        sleep 0.1
    done
    wait "$1"
}
wait_file() {  # wait_file <path> <seconds>
    local deadline=$((SECONDS + $2))
    until [ -s "$1" ]; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.1
    done
}
# pixels_of <green|white>: how many such pixels the whole screen shows.
pixels_of() {
    import -window root -depth 8 "$work/shot.ppm" 2>/dev/null
    python3 - "$work/shot.ppm" "$1" <<'PY'
import sys
data = open(sys.argv[1], 'rb').read()
pixels = data.split(maxsplit=4)[4]
r, g, b = pixels[0::3], pixels[1::3], pixels[2::3]
if sys.argv[2] == 'white':
    print(sum(1 for x, y, z in zip(r, g, b) if x > 230 and y > 230 and z > 230))
else:
    print(sum(1 for x, y, z in zip(r, g, b) if y > 60 and y > 2 * x and y > 2 * z))
PY
}
wait_green() {  # wait_green <at least> <seconds>
    local deadline=$((SECONDS + $2))
    until [ "$(pixels_of green)" -ge "$1" ]; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.2
    done
}
frames_move() {  # the screen changes within 10 s while the show runs
    local deadline=$((SECONDS + 10))
    import -window root -depth 8 "$work/a.ppm" 2>/dev/null
    while [ $SECONDS -lt $deadline ]; do
        sleep 0.3
        import -window root -depth 8 "$work/b.ppm" 2>/dev/null
        cmp -s "$work/a.ppm" "$work/b.ppm" || return 0
    done
    return 1
}
asked() {
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

# --- A crash in a frame: the guard takes back the running flag once and exits with -1.
cp "$ddraw" "$work/ddraw.dll"
KORVANE_TEST_DDRAW=crash WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-};ddraw=n" \
    timeout 60 "$KORVANE_WINE" "$saver" /s </dev/null >/dev/null 2>&1
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
    deadline=$((SECONDS + 15))
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
        sleep 0.5
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
reg add 'HKCU\Software\Wine\AppDefaults\korvane.scr' /v Version /d win98 /f
reg add 'HKCU\Control Panel\Desktop' /v ScreenSaveUsePassword /t REG_SZ /d 1 /f
if ! lock_helper install-verifier "$(windows_path "$cpl")"; then
    fail "locked: cannot put the verifier into the system directory"
fi
export KORVANE_TEST_PASSWORD_LOG KORVANE_TEST_PASSWORD_ANSWER_FILE
KORVANE_TEST_PASSWORD_LOG=$(windows_path "$work/password.log")
KORVANE_TEST_PASSWORD_ANSWER_FILE=$(windows_path "$work/answer.txt")
echo 0 >"$work/answer.txt"

"$KORVANE_WINE" "$helper" white "$(windows_path "$work/white.txt")" 300 </dev/null >/dev/null 2>&1 &
started+=("$!")
if ! wait_file "$work/white.txt" 20 || [ "$(pixels_of white)" -lt 100000 ]; then
    fail "locked: the white window did not show"
fi
start_saver /s
if ! wait_window "Screen Saver" 20 >/dev/null || ! wait_green 400 15; then
    fail "locked: the saver did not show its picture"
else
    white=$(pixels_of white)
    [ "$white" -eq 0 ] && pass "locked: the saver covers the white window" ||
        fail "locked: $white white pixels show before any forgery"
    sleep 0.5
    xdotool key a
    wait_asked 1 10 && pass "locked: a key asks the system directory's verifier" ||
        fail "locked: a key did not ask the verifier"
    for forgery in quit destroy post-destroy ncdestroy setup hide minimize move; do
        before=$(asked)
        lock_helper forge "$forgery" >/dev/null
        # Nothing answers a forgery that worked; a second is ample for it to end the loop.
        sleep 1
        if ! kill -0 "$saver_pid" 2>/dev/null; then
            fail "locked: '$forgery' from another process ended the saver"
            break
        fi
        white=$(pixels_of white)
        [ "$white" -eq 0 ] && pass "locked: after '$forgery' it still runs and covers the screen" ||
            fail "locked: after '$forgery' $white white pixels show"
        frames_move || fail "locked: after '$forgery' the show stands still"
        sleep 0.3
        xdotool key a
        # A forgery that took the focus away may have asked already; a movement reaches the
        # window under the pointer whatever has the focus.
        wait_asked $((before + 1)) 5 || { xdotool mousemove_relative 30 30; wait_asked $((before + 1)) 5; } ||
            fail "locked: after '$forgery' input no longer asks for the password"
        sleep 0.3
    done
    if kill -0 "$saver_pid" 2>/dev/null; then
        echo 1 >"$work/answer.txt"
        sleep 0.3
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
lock_helper remove-verifier
cp "$cpl" "$work/PASSWORD.CPL"
: >"$work/password.log"
echo 0 >"$work/answer.txt"
start_saver /s
if wait_window "Screen Saver" 20 >/dev/null; then
    sleep 1
    xdotool key a
    wait_exit "$saver_pid" 15
    code=$?
    [ $code -eq 0 ] && [ "$(asked)" -eq 0 ] &&
        pass "planted verifier: not asked; without the system's verifier a key closes it" ||
        fail "planted verifier: exit code $code, asked $(asked) times"
else
    fail "planted verifier: no saver window"
fi

if [ $failures -gt 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all lock checks passed"
