#!/usr/bin/env bash
# korvane-x11's life as a saver manager sees it: arguments, signals, its window resized,
# destroyed and its display closed, with no shared memory left behind. Runs inside
# with-xvfb.sh; the bounds are generous, the time itself is measured by bench/x11_cost.sh.
#
#   x11_lifecycle.sh KORVANE_X11 KORVANE_SIM TEST_WINDOW
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
korvane_x11=$1 korvane_sim=$2 test_window=$3
work=$(mktemp -d "${TMPDIR:-/tmp}/korvane-x11-life.XXXXXX")
x11_pid=""
trap '[ -z "$x11_pid" ] || kill "$x11_pid" 2>/dev/null || true; stop_test_window; rm -rf "$work"' EXIT
source "$here/x11_common.sh"

fail() {
    echo "FAIL: $*" >&2
    [ ! -s "$work/x11.err" ] || { echo "its standard error:" >&2; cat "$work/x11.err" >&2; }
    exit 1
}

# Waits until process $1 holds a shared-memory segment: its first picture is on its way.
wait_for_segment_of() {
    local pid=$1
    for _ in $(seq 600); do
        ipcs -m -p | awk -v pid="$pid" '$3 == pid { found = 1 } END { exit !found }' && return 0
        kill -0 "$pid" 2>/dev/null || fail "korvane-x11 ended before it drew"
        sleep 0.1
    done
    fail "korvane-x11 made no shared-memory segment within 60 s"
}

# Ends the running program with signal $1 and checks it leaves cleanly.
end_with_signal() {
    kill "-$1" "$x11_pid"
    wait_for_end "$x11_pid" 10
    [ "$ended_with" -eq 0 ] || fail "$1 ended it with status $ended_with, not 0"
    grep -q 'frames presented [0-9]' "$work/x11.err" || fail "no --stats line after $1"
    expect_segment_gone "$(reported_segment)"
    expect_no_segments_of "$x11_pid"
    x11_pid=""
}

echo "== bad arguments: one line, status 2"
for arguments in "--frames x" "--frames 0" "-window-id 0" "-window-id 0xZZ" "--bogus" \
    "-root -window-id 5" "-geometry 12" "--message-file"; do
    set +e
    # shellcheck disable=SC2086
    "$korvane_x11" $arguments 2>"$work/x11.err"
    status=$?
    set -e
    [ $status -eq 2 ] || fail "'$arguments' gave status $status, not 2"
    [ "$(wc -l <"$work/x11.err")" -eq 1 ] || fail "'$arguments' gave more or less than one line"
done

echo "== a window that does not exist: a clear error, status 1"
set +e
"$korvane_x11" -window-id 0x1ffffff0 2>"$work/x11.err"
status=$?
set -e
[ $status -eq 1 ] || fail "a missing window gave status $status, not 1"
grep -q 'window 0x1ffffff0 does not exist' "$work/x11.err" || fail "no clear error for a missing window"

start_test_window 1024x768

echo "== SIGTERM and SIGINT after the last frame"
for signal in TERM INT; do
    start_x11 -window-id "$window_id" --frames 10 --stats
    wait_until_on_screen 1
    end_with_signal "$signal"
done

echo "== SIGTERM while it steps, the window named by XSCREENSAVER_WINDOW"
: >"$work/x11.err"
XSCREENSAVER_WINDOW=$window_id "$korvane_x11" --stats 2>"$work/x11.err" &
x11_pid=$!
wait_for_segment_of "$x11_pid"
end_with_signal TERM

echo "== a resized window gets a fresh show of its new size"
start_x11 -window-id "$window_id" --frames 20 --stats
wait_until_on_screen 1
tell_test_window resize 640 480
wait_until_on_screen 2
import -window "$window_id" "$work/shot.png"
"$korvane_sim" --width 640 --height 480 --frames 20 --png "$work/expected.png" --png-frame 19
/usr/bin/python3 "$here/compare_pictures.py" "$work/shot.png" "$work/expected.png" ||
    fail "the picture after the resize is not a new run's"
end_with_signal TERM

echo "== a window destroyed under it: status 0"
start_x11 -window-id "$window_id" --stats
wait_for_segment_of "$x11_pid"
tell_test_window destroy
wait_for_end "$x11_pid" 10
[ "$ended_with" -eq 0 ] || fail "a destroyed window ended it with status $ended_with, not 0"
expect_no_segments_of "$x11_pid"
x11_pid=""

echo "== its own window, -geometry"
start_x11 -geometry 320x240 --frames 5 --stats
wait_until_on_screen 1
own=$(xwininfo -name Korvane | sed -n 's/.*Window id: \(0x[0-9a-f]*\).*/\1/p')
[ -n "$own" ] || fail "no window named Korvane"
import -window "$own" "$work/shot.png"
"$korvane_sim" --width 320 --height 240 --frames 5 --png "$work/expected.png" --png-frame 4
/usr/bin/python3 "$here/compare_pictures.py" "$work/shot.png" "$work/expected.png" ||
    fail "its own window does not show the show"
end_with_signal TERM

echo "== the display closes under it: it ends, status 0"
start_x11 -root --stats
wait_for_segment_of "$x11_pid"
stop_test_window
TEST_WINDOW_PID=""
kill "$KORVANE_XVFB_PID"
wait_for_end "$x11_pid" 10
[ "$ended_with" -eq 0 ] || fail "a closed display ended it with status $ended_with, not 0"
expect_no_segments_of "$x11_pid"
x11_pid=""
echo "every lifecycle check passed"
