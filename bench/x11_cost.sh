#!/usr/bin/env bash
# What korvane-x11 costs. Runs the release build with -root on a 1920x1080 private X server
# for 20 s (or $1 s) and reports its own CPU seconds and, separately, the server's; then how
# long it takes to end after SIGTERM (several times); then the --stats of a 3 s run. Where
# Wine and a Windows build are at hand, the Windows saver is measured the same way at the
# same size, for comparison.
#
#   bench/x11_cost.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
size=1920x1080

# The measurement itself, inside the private server.
if [ "${2:-}" = --inside-x11 ]; then
    program=$3
    hz=$(getconf CLK_TCK)
    cpu_of() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
    seconds_of() { awk -v t="$1" -v hz="$hz" 'BEGIN { printf "%.2f", t / hz }'; }
    # Waits until process $1 holds a shared-memory segment: it is drawing.
    wait_for_drawing() {
        for _ in $(seq 300); do
            ipcs -m -p | awk -v pid="$1" '$3 == pid { f = 1 } END { exit !f }' && return 0
            sleep 0.1
        done
        echo "x11_cost: korvane-x11 did not start drawing" >&2
        exit 1
    }

    "$program" -root --stats 2>"$TMPDIR_BENCH/stats" &
    pid=$!
    wait_for_drawing "$pid"
    program_before=$(cpu_of "$pid")
    server_before=$(cpu_of "$KORVANE_XVFB_PID")
    sleep "$seconds"
    program_used=$(($(cpu_of "$pid") - program_before))
    server_used=$(($(cpu_of "$KORVANE_XVFB_PID") - server_before))
    kill -TERM "$pid"
    wait "$pid" || true
    echo "korvane-x11 -root, ${size}, ${seconds} s:"
    echo "  korvane-x11 CPU: $(seconds_of "$program_used") s" \
        "($(awk -v t="$program_used" -v hz="$hz" -v s="$seconds" \
            'BEGIN { printf "%.1f", 100 * t / hz / s }')% of a core)"
    echo "  Xvfb CPU:        $(seconds_of "$server_used") s" \
        "($(awk -v t="$server_used" -v hz="$hz" -v s="$seconds" \
            'BEGIN { printf "%.1f", 100 * t / hz / s }')% of a core)"
    echo "  $(cat "$TMPDIR_BENCH/stats")"

    echo "time from SIGTERM to exit (5 runs, drawing at the time):"
    # Timed from Python: a shell's own forks would cost as much as what is measured.
    /usr/bin/python3 - "$program" <<'PYTHON'
import re, signal, subprocess, sys, time
for _ in range(5):
    run = subprocess.Popen([sys.argv[1], "-root", "--stats"], stderr=subprocess.PIPE, text=True)
    time.sleep(1.5)
    start = time.monotonic()
    run.send_signal(signal.SIGTERM)
    run.wait()
    took = (time.monotonic() - start) * 1000
    stats = run.stderr.read()
    segment = re.search(r"shared-memory segment (\d+)", stats).group(1)
    time.sleep(0.2)  # the server lets go of the segment once it has seen us leave
    listed = subprocess.run(["ipcs", "-m"], capture_output=True, text=True).stdout
    left = any(line.split()[1:2] == [segment] for line in listed.splitlines())
    print(f"  {took:.1f} ms, status {run.returncode}, segment {segment} "
          f"{'still there' if left else 'gone'}")
PYTHON

    echo "a 3 s run:"
    "$program" -root --stats 2>"$TMPDIR_BENCH/stats" &
    pid=$!
    sleep 3
    kill -TERM "$pid"
    wait "$pid" || true
    echo "  $(cat "$TMPDIR_BENCH/stats")"
    exit 0
fi

if [ "${2:-}" = --inside-wine ]; then
    saver=$3
    hz=$(getconf CLK_TCK)
    cpu_of() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
    # with-wine.sh started the server; it is our grandparent's child.
    launcher=$(ps -o ppid= -p "$PPID" | tr -d ' ')
    server=$(pgrep -P "$launcher" -x Xvfb | head -n 1)
    "$KORVANE_WINE" "$saver" /s </dev/null >/dev/null 2>&1 &
    pid=$!
    # The saver is drawing once its full-screen window exists.
    for _ in $(seq 150); do
        xdotool search --name "Screen Saver" >/dev/null 2>&1 && break
        sleep 0.2
    done
    sleep 1
    program_before=$(cpu_of "$pid")
    server_before=$(cpu_of "$server")
    sleep "$seconds"
    program_used=$(($(cpu_of "$pid") - program_before))
    server_used=$(($(cpu_of "$server") - server_before))
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    echo "Windows saver under Wine ($KORVANE_WINE_ARCH), ${size}, ${seconds} s:"
    awk -v t="$program_used" -v hz="$hz" -v s="$seconds" \
        'BEGIN { printf "  saver CPU: %.2f s (%.1f%% of a core)\n", t / hz, 100 * t / hz / s }'
    awk -v t="$server_used" -v hz="$hz" -v s="$seconds" \
        'BEGIN { printf "  Xvfb CPU:  %.2f s (%.1f%% of a core)\n", t / hz, 100 * t / hz / s }'
    exit 0
fi

cmake --preset native-release >/dev/null
nice -n 10 cmake --build --preset native-release --target korvane-x11 >/dev/null
TMPDIR_BENCH=$(mktemp -d)
export TMPDIR_BENCH
trap 'rm -rf "$TMPDIR_BENCH"' EXIT
tests/x11/with-xvfb.sh --size "$size" --depth 24 --timeout $((seconds + 120)) -- \
    "$0" "$seconds" --inside-x11 "$PWD/build/native-release/x11/korvane-x11"

if command -v wine >/dev/null 2>&1 || [ -x /usr/lib/wine/wine64 ]; then
    if /usr/lib/wine/wine --version >/dev/null 2>&1; then build=build/windows; else build=build/windows64; fi
    if [ -f "$build/host/korvane.scr" ]; then
        KORVANE_WINDOWS_BUILD="$PWD/$build" tests/wine/with-wine.sh --size "$size" \
            --timeout $((seconds + 240)) -- "$0" "$seconds" --inside-wine "$PWD/$build/host/korvane.scr"
    else
        echo "(no $build/host/korvane.scr: build the Windows saver for the comparison)"
    fi
else
    echo "(Wine is not installed: no comparison with the Windows saver)"
fi
