#!/usr/bin/env bash
# Runs inside tests/wine/with-wine.sh at depth 8: the bare flip chain attaches a palette of 256
# greens to its primary surface and fills the screen with bands of every index; the screenshot
# tells how many colours reach the X server. Wine 8 under Xvfb shows 2 (black and pure green)
# with either renderer, whatever the palette: only the static colours are realised. Logs and
# never fails.
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
check="$root/build/native-release/tools/screen_check/korvane-screen-check"
probe="$KORVANE_WINDOWS_BUILD/tests/wine_probes/bare_flip_chain.exe"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for renderer in gl no3d; do
    . "$root/tests/wine/wine_session_lib.sh"
    wine_set_renderer "$renderer"
    "$KORVANE_WINE" "$probe" --seconds 4 --palette --realize >"$work/out.txt" 2>&1 </dev/null &
    pid=$!
    for _ in $(seq 1 50); do
        grep -q ready "$work/out.txt" 2>/dev/null && break
        sleep 0.1
    done
    sleep 0.5
    import -window root -depth 8 "$work/shot.ppm" 2>/dev/null
    wait "$pid"
    echo "palette probe, renderer $KORVANE_WINE_RENDERER: $("$check" colors "$work/shot.ppm" 2>/dev/null || echo '?') distinct colours on screen for 256 palette entries"
done
wine_set_renderer gl
