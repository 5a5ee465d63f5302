#!/usr/bin/env bash
# korvane-x11 shows exactly the simulator's pictures: after N frames into a 1024x768 window,
# a screenshot of the window equals the simulator's picture of frame N-1 in every pixel.
# Runs inside with-xvfb.sh.
#
#   x11_pixels.sh [--565] [--no-shm] [--scale N] [--xft-dpi DPI] KORVANE_X11 KORVANE_SIM
#                 TEST_WINDOW CASE...
#
# CASE is title, phone, message or code. --565 compares as a 16-bit screen holds colours;
# --no-shm expects the server to offer no shared memory, so the pictures come by XPutImage.
# --scale N draws both at that factor; without it the program is left at --scale auto, which
# must give 1. --xft-dpi loads "Xft.dpi: DPI" into the server's resources with xrdb and leaves
# the program at auto, so that the DPI must give the factor the simulator draws at (--scale).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

compare_flags=()
expect_shm=1
scale=1
x11_scale=()  # auto: without Xft.dpi on the server the factor is 1
xft_dpi=""
while [ $# -gt 0 ]; do
    case "$1" in
        --565) compare_flags+=(--565); shift ;;
        --no-shm) expect_shm=0; shift ;;
        --scale) scale=$2; x11_scale=(--scale "$2"); shift 2 ;;
        --xft-dpi) xft_dpi=$2; shift 2 ;;
        *) break ;;
    esac
done
korvane_x11=$1 korvane_sim=$2 test_window=$3
shift 3
work=$(mktemp -d "${TMPDIR:-/tmp}/korvane-x11-pixels.XXXXXX")
x11_pid=""
trap '[ -z "$x11_pid" ] || kill "$x11_pid" 2>/dev/null || true; stop_test_window; rm -rf "$work"' EXIT
source "$here/x11_common.sh"

# Each part of the show, reached quickly by switching off the parts before it.
frames_of() {
    case "$1" in
        title) echo 200 ;;
        phone) echo 250 ;;
        message) echo 300 ;;
        code) echo 150 ;;
        *) echo "unknown case $1" >&2; exit 2 ;;
    esac
}
switches_of() {
    case "$1" in
        title) echo "" ;;
        phone) echo "--no-title" ;;
        message) echo "--no-title --no-phone" ;;
        code) echo "--no-title --no-phone --no-message" ;;
    esac
}

start_test_window 1024x768
# After the window: Xvfb resets, and forgets its resources, when its last client leaves.
if [ -n "$xft_dpi" ]; then
    command -v xrdb >/dev/null || { echo "FAIL: no xrdb (scripts/setup.sh installs it)" >&2; exit 1; }
    echo "Xft.dpi: $xft_dpi" | xrdb -merge
    x11_scale=()
fi
failures=0
for part in "$@"; do
    frames=$(frames_of "$part")
    read -r -a switches <<<"$(switches_of "$part")"
    echo "== $part: $frames frames ${switches[*]}"
    "$korvane_sim" --width 1024 --height 768 --scale "$scale" --frames "$frames" \
        "${switches[@]}" --png "$work/expected.png" --png-frame $((frames - 1))

    start_x11 -window-id "$window_id" --frames "$frames" --stats "${x11_scale[@]}" "${switches[@]}"
    wait_until_on_screen 1
    import -window "$window_id" "$work/shot.png"
    kill -TERM "$x11_pid"
    wait_for_end "$x11_pid" 10
    pid=$x11_pid
    x11_pid=""
    if [ "$ended_with" -ne 0 ]; then
        echo "FAIL: korvane-x11 ended with status $ended_with after SIGTERM:" >&2
        cat "$work/x11.err" >&2
        failures=$((failures + 1))
    fi
    segment=$(reported_segment)
    if [ "$expect_shm" -eq 1 ] && ! [[ "$segment" =~ ^[0-9]+$ ]]; then
        echo "FAIL: no shared-memory segment reported: $(cat "$work/x11.err")" >&2
        failures=$((failures + 1))
    elif [ "$expect_shm" -eq 0 ] && [ "$segment" != none ]; then
        echo "FAIL: expected plain XPutImage, but --stats says: $(cat "$work/x11.err")" >&2
        failures=$((failures + 1))
    fi
    [ "$expect_shm" -eq 0 ] || expect_segment_gone "$segment"
    expect_no_segments_of "$pid"
    if ! /usr/bin/python3 "$here/compare_pictures.py" "$work/shot.png" "$work/expected.png" \
        "${compare_flags[@]}"; then
        cp "$work/shot.png" "${TMPDIR:-/tmp}/korvane-x11-$part-shot.png"
        cp "$work/expected.png" "${TMPDIR:-/tmp}/korvane-x11-$part-expected.png"
        echo "FAIL: $part differs (pictures kept in ${TMPDIR:-/tmp}/korvane-x11-$part-*.png)" >&2
        failures=$((failures + 1))
    fi
done
[ "$failures" -eq 0 ] || { echo "$failures check(s) failed" >&2; exit 1; }
echo "every picture matches"
