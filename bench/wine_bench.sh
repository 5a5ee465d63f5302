#!/usr/bin/env bash
# What the saver costs under Wine, beside Wine's own flip. For each of 8, 16 and 32 bits per
# pixel (X server depths 8, 16 and 24) one X server runs, on it the saver's /s for a while,
# then the bare flip chain (exclusive mode, primary plus one back buffer, a flip every 30 ms)
# for as long. Prints for each run the Wine renderer, the CPU seconds, the frames presented
# and the CPU per frame, and the ratio of the saver's CPU per frame to the bare chain's.
#
#   bench/wine_bench.sh [--seconds N] [--renderer gl|no3d]      (make bench-wine)
#
# The saver's frames are counted from outside: screenshots at the start and at the end of
# the measured interval are matched to the show's frames by korvane-screen-check.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=20
renderer=gl
while [ $# -gt 0 ]; do
    case "$1" in
        --seconds) seconds=$2; shift 2 ;;
        --renderer) renderer=$2; shift 2 ;;
        *) echo "usage: wine_bench.sh [--seconds N] [--renderer gl|no3d]" >&2; exit 2 ;;
    esac
done

if [ -z "${KORVANE_WINE:-}" ]; then
    scripts/setup.sh >/dev/null
    cmake --preset native-release >/dev/null
    cmake --build --preset native-release --target korvane-screen-check >/dev/null
    if /usr/lib/wine/wine --version >/dev/null 2>&1; then preset=windows; else preset=windows64; fi
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" --target korvane bare_flip_chain e2e_helper >/dev/null
    for depth in 8 16 24; do
        KORVANE_WINDOWS_BUILD="$PWD/build/$preset" tests/wine/with-wine.sh --depth "$depth" \
            --renderer "$renderer" --timeout $((seconds * 3 + 120)) -- \
            bash "$0" --seconds "$seconds" --renderer "$renderer"
    done
    exit 0
fi

check="$PWD/build/native-release/tools/screen_check/korvane-screen-check"
work=$(mktemp -d)
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$work"' EXIT
bpp=$KORVANE_XVFB_DEPTH
[ "$bpp" = 24 ] && bpp=32

# CPU seconds a process has used so far, its threads included.
cpu_seconds() {
    awk -v hz="$(getconf CLK_TCK)" '{ printf "%.2f", ($14 + $15) / hz }' "/proc/$1/stat"
}
wait_for() {  # wait_for <seconds> <command...>: until the command succeeds
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.1
    done
}
green_enough() {
    import -window root -depth 8 "$work/g.ppm" 2>/dev/null &&
        [ "$("$check" green "$work/g.ppm")" -ge 400 ]
}
frame_of() {  # frame_of <shot>: the show's frame the screenshot shows, if any
    "$check" match --depth "$KORVANE_XVFB_DEPTH" --width 1024 --height 768 \
        --frames $((seconds * 60 + 2000)) --no-title --no-phone --no-message --no-sound \
        --min-lit 1 --still-gap 1 "$1" |
        sed -nE 's/.*: frame ([0-9]+),.*/\1/p' || true
}

# The saver with the falling code alone, whose every frame differs, so that a screenshot names
# its frame; the interval starts once its picture is up.
helper="$KORVANE_WINDOWS_BUILD/tests/e2e/e2e_helper.exe"
settings_key='HKCU\Software\Orvandel\Korvane Screensaver'
"$KORVANE_WINE" "$helper" settings TITLE=0 PHONE=0 MESSAGE=0 SFX=0 </dev/null >/dev/null 2>&1
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$work"
      "$KORVANE_WINE" reg delete "$settings_key" /f </dev/null >/dev/null 2>&1' EXIT
"$KORVANE_WINE" "$KORVANE_WINDOWS_BUILD/host/korvane.scr" /s </dev/null >/dev/null 2>&1 &
saver=$!
pids+=("$saver")
wait_for 60 green_enough || { echo "depth $KORVANE_XVFB_DEPTH: the saver showed nothing"; exit 1; }
cpu_start=$(cpu_seconds "$saver")
import -window root -depth 8 "$work/start.ppm"
sleep "$seconds"
cpu_end=$(cpu_seconds "$saver")
import -window root -depth 8 "$work/end.ppm"
xdotool key a
wait "$saver" || true
first=$(frame_of "$work/start.ppm")
last=$(frame_of "$work/end.ppm")

# The bare flip chain for as long.
"$KORVANE_WINE" "$KORVANE_WINDOWS_BUILD/tests/wine_probes/bare_flip_chain.exe" \
    --seconds $((seconds + 5)) </dev/null >"$work/bare.txt" 2>&1 &
bare=$!
pids+=("$bare")
wait_for 60 grep -q ready "$work/bare.txt"
bare_start=$(cpu_seconds "$bare")
sleep "$seconds"
bare_end=$(cpu_seconds "$bare")
wait "$bare" || true
bare_frames=$(sed -nE 's/^frames ([0-9]+).*/\1/p' "$work/bare.txt" | tr -d '\r')

awk -v bpp="$bpp" -v r="$KORVANE_WINE_RENDERER" -v s="$seconds" \
    -v c0="$cpu_start" -v c1="$cpu_end" -v f0="${first:-}" -v f1="${last:-}" \
    -v b0="$bare_start" -v b1="$bare_end" -v bf="${bare_frames:-0}" -v total="$((seconds + 5))" '
BEGIN {
    saver_cpu = c1 - c0; bare_cpu = b1 - b0
    # The bare chain counts its flips over its whole run; scale to the measured interval.
    bare = bf * s / total
    bare_per = bare > 0 ? bare_cpu / bare : 0
    cpu_ratio = bare_cpu > 0 ? saver_cpu / bare_cpu : 0
    if (f0 == "" || f1 == "" || f1 <= f0) {
        # At 8 bits Wine shows only two colours of the palette, so no screenshot names a frame.
        printf "%2d bpp, renderer %s: saver %.2f CPU s in %d s, frames not countable from the screen | ", bpp, r, saver_cpu, s
        printf "bare chain %.2f CPU s, %d frames, %.1f ms CPU/frame | CPU ratio over the same time %.2f\n", bare_cpu, bare, 1000 * bare_per, cpu_ratio
        exit
    }
    frames = f1 - f0
    per = saver_cpu / frames
    ratio = bare_per > 0 ? per / bare_per : 0
    printf "%2d bpp, renderer %s: saver %.2f CPU s, %d frames (%.1f/s), %.1f ms CPU/frame | ", bpp, r, saver_cpu, frames, frames / s, 1000 * per
    printf "bare chain %.2f CPU s, %d frames, %.1f ms CPU/frame | ratio %.2f\n", bare_cpu, bare, 1000 * bare_per, ratio
}'
