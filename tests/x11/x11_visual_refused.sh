#!/usr/bin/env bash
# On a screen whose visual it cannot draw (an 8-bit palette here), korvane-x11 ends at once
# with status 1 and says why. Runs inside with-xvfb.sh --depth 8.
#
#   x11_visual_refused.sh KORVANE_X11
set -uo pipefail
errors=$(mktemp)
trap 'rm -f "$errors"' EXIT
timeout 60 "$1" -root --frames 1 2>"$errors"
status=$?
if [ $status -ne 1 ]; then
    echo "FAIL: an 8-bit palette screen gave status $status, not 1" >&2
    cat "$errors" >&2
    exit 1
fi
if ! grep -q 'not TrueColor' "$errors"; then
    echo "FAIL: no clear message for the visual:" >&2
    cat "$errors" >&2
    exit 1
fi
cat "$errors"
