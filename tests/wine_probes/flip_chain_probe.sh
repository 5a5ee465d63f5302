#!/usr/bin/env bash
# Runs inside tests/wine/with-wine.sh: the bare flip chain (no saver code) with no switch,
# with a short thread started after every flip (what PlaySoundA with SND_ASYNC does for every
# sound), and with the glyph sheet loaded after the first flip. Wine's present path without
# OpenGL frees a page it still reads, and the last two can take that page: an access violation
# (or, under QEMU's user mode, an illegal instruction) after a few frames. Logs each run's
# outcome and never fails.
set -u
probe="$KORVANE_WINDOWS_BUILD/tests/wine_probes/bare_flip_chain.exe"
seconds=${KORVANE_PROBE_SECONDS:-4}
out=$(mktemp)
trap 'rm -f "$out"' EXIT
emulated=""
[ "${KORVANE_WINE_EMULATED:-0}" = 1 ] && emulated=", emulated"
echo "bare flip chain: $KORVANE_WINE_ARCH$emulated, renderer $KORVANE_WINE_RENDERER, depth $KORVANE_XVFB_DEPTH, $seconds s a run"
for switches in "" "--thread" "--late-sheet"; do
    # A bound well past the run's own length: a hung Wine is an outcome too.
    timeout "$((seconds * ${KORVANE_WINE_TIME_FACTOR:-1} + 30))" "$KORVANE_WINE" "$probe" \
        --seconds "$seconds" $switches </dev/null >"$out" 2>/dev/null
    code=$?
    echo "  ${switches:-(no switch)}: exit $code, $(grep -E 'frames|violation|instruction|could not' "$out" | tr -d '\r' | tr '\n' ';')"
done
exit 0
