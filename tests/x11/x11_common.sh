# Helpers for the korvane-x11 test scripts; sourced, never run. Needs DISPLAY (with-xvfb.sh).

# Starts the test window of size $1 as a coprocess; its id lands in window_id.
start_test_window() {
    coproc TEST_WINDOW { "$test_window" "$1"; }
    test_window_in=${TEST_WINDOW[1]}
    test_window_out=${TEST_WINDOW[0]}
    if ! read -r -t 30 window_id <&"$test_window_out"; then
        echo "FAIL: the test window did not report its id within 30 s" >&2
        exit 1
    fi
}

# Ends the test window: the end of its input is its signal.
stop_test_window() {
    if [ -n "${TEST_WINDOW_PID:-}" ]; then
        local pid=$TEST_WINDOW_PID
        exec {test_window_in}>&-
        wait "$pid" 2>/dev/null || true
    fi
}

# Sends one command to the test window and waits for its answer.
tell_test_window() {
    local answer=""
    echo "$*" >&"$test_window_in"
    if ! read -r -t 30 answer <&"$test_window_out" || [ "$answer" != ok ]; then
        echo "FAIL: the test window did not do '$*'" >&2
        exit 1
    fi
}

# Starts korvane-x11 with the arguments, standard error into $work/x11.err; its PID in x11_pid.
start_x11() {
    : >"$work/x11.err"
    "$korvane_x11" "$@" 2>"$work/x11.err" &
    x11_pid=$!
}

# Waits until the program's standard error holds $1 lines saying a picture is on screen.
wait_until_on_screen() {
    local lines=${1:-1} limit=${2:-180} waited=0
    while [ "$(grep -c 'is on screen' "$work/x11.err")" -lt "$lines" ]; do
        if ! kill -0 "$x11_pid" 2>/dev/null; then
            echo "FAIL: korvane-x11 ended before its picture was on screen:" >&2
            cat "$work/x11.err" >&2
            exit 1
        fi
        if [ $waited -ge $((limit * 10)) ]; then
            echo "FAIL: korvane-x11 said nothing was on screen within $limit s:" >&2
            cat "$work/x11.err" >&2
            exit 1
        fi
        sleep 0.1
        waited=$((waited + 1))
    done
}

# Waits up to $2 seconds (default 10) for process $1 to end; its exit status in ended_with.
# Fails the test when it does not end.
wait_for_end() {
    local pid=$1 limit=${2:-10} waited=0
    while kill -0 "$pid" 2>/dev/null; do
        # A zombie has ended; wait collects it below.
        [ "$(ps -o stat= -p "$pid" 2>/dev/null | cut -c1)" = Z ] && break
        if [ $waited -ge $((limit * 20)) ]; then
            echo "FAIL: process $pid did not end within $limit s" >&2
            kill -9 "$pid" 2>/dev/null || true
            exit 1
        fi
        sleep 0.05
        waited=$((waited + 1))
    done
    set +e
    wait "$pid"
    ended_with=$?
    set -e
}

# The shared-memory segment --stats reported, or "none".
reported_segment() {
    sed -n 's/.*shared-memory segment \([0-9a-z]*\)$/\1/p' "$work/x11.err" | tail -n 1
}

# Fails unless segment $1 is gone (within 10 s: the server lets go once it sees us leave).
expect_segment_gone() {
    local id=$1
    for _ in $(seq 100); do
        ipcs -m | awk -v id="$id" '$2 == id { found = 1 } END { exit !found }' || return 0
        sleep 0.1
    done
    echo "FAIL: shared-memory segment $id is still there:" >&2
    ipcs -m >&2
    exit 1
}

# Fails if any shared-memory segment made by process $1 is left.
expect_no_segments_of() {
    local pid=$1
    for _ in $(seq 100); do
        ipcs -m -p | awk -v pid="$pid" '$3 == pid { found = 1 } END { exit !found }' || return 0
        sleep 0.1
    done
    echo "FAIL: process $pid left shared-memory segments:" >&2
    ipcs -m -p >&2
    exit 1
}
