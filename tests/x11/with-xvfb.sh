#!/usr/bin/env bash
# Runs a command inside a private X server and stops the server afterwards, by its PID.
#
#   tests/x11/with-xvfb.sh [--depth 16|24] [--size WxH] [--no-shm] [--timeout S] -- command...
#
# Xvfb picks a free display itself (-displayfd), so runs never collide. --no-shm starts it
# without MIT-SHM, as a remote display would be. The command sees DISPLAY and, in
# KORVANE_XVFB_PID, the server's PID.
set -euo pipefail

depth=24
size=1024x768
limit=600
extra=()
while [ $# -gt 0 ]; do
    case "$1" in
        --depth) depth=$2; shift 2 ;;
        --size) size=$2; shift 2 ;;
        --no-shm) extra+=(-extension MIT-SHM); shift ;;
        --timeout) limit=$2; shift 2 ;;
        --) shift; break ;;
        *) break ;;
    esac
done
[ $# -gt 0 ] || { echo "with-xvfb: no command given" >&2; exit 2; }

state=$(mktemp -d "${TMPDIR:-/tmp}/korvane-xvfb.XXXXXX")
xvfb_pid=""
cleanup() {
    local code=$?
    if [ -n "$xvfb_pid" ] && kill -0 "$xvfb_pid" 2>/dev/null; then
        kill "$xvfb_pid" 2>/dev/null || true
        for _ in $(seq 25); do
            kill -0 "$xvfb_pid" 2>/dev/null || break
            sleep 0.2
        done
        kill -9 "$xvfb_pid" 2>/dev/null || true
    fi
    rm -rf "$state"
    exit "$code"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

mkfifo "$state/displayfd"
Xvfb -displayfd 3 -screen 0 "${size}x${depth}" -nolisten tcp "${extra[@]}" \
    3>"$state/displayfd" >"$state/xvfb.log" 2>&1 &
xvfb_pid=$!
display=""
if ! read -r -t 30 display <"$state/displayfd"; then
    echo "with-xvfb: Xvfb did not report a display within 30 s:" >&2
    cat "$state/xvfb.log" >&2
    exit 3
fi
export DISPLAY=":$display" KORVANE_XVFB_PID=$xvfb_pid
# A saver manager's window on the outer display means nothing on this one.
unset XSCREENSAVER_WINDOW

set +e
timeout --kill-after=10 "$limit" "$@"
code=$?
set -e
if [ $code -eq 124 ] || [ $code -eq 137 ]; then
    echo "with-xvfb: '$*' did not finish within $limit s" >&2
fi
exit $code
