#!/usr/bin/env bash
# A preview is a preview whatever its size: inside parents of 152 x 112, 228 x 168 and
# 304 x 224 the child keeps its parent's size, no top-level window opens, no DirectDrawCreate
# is made (a logging ddraw.dll stand-in tells), and it exits 0 with its parent.
#   preview_sizes.sh SESSION_FILE SCR HELPER CPL SCREEN_CHECK LOCK_HELPER DDRAW_STAND_IN
# shellcheck source=tests/e2e/lib/e2e.sh
. "$(dirname "$0")/lib/e2e.sh"
e2e_begin "$@"

# The logging ddraw.dll beside the saver answers every DirectDrawCreate a preview might make.
cp "$ddraw_stand_in" "$work/ddraw.dll"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-};ddraw=n"
export KORVANE_TEST_DDRAW_LOG
KORVANE_TEST_DDRAW_LOG="$(windows_path "$work/ddraw.log")"

# Control: a full-screen run does reach the stand-in, so its silence below means something.
"$KORVANE_WINE" "$saver" /s </dev/null >/dev/null 2>&1 &
control_pid=$!
started+=("$control_pid")
deadline=$((SECONDS + $(scaled 20)))
until [ -s "$work/ddraw.log" ] || [ $SECONDS -ge $deadline ]; do sleep 0.1; done
[ -s "$work/ddraw.log" ] && pass "control: a full-screen run calls the stand-in's DirectDrawCreate" ||
    fail "control: the ddraw.dll stand-in was not loaded by a full-screen run"
# It now waits in its "Create not Successful" notice; nothing more to see from it.
kill "$control_pid" 2>/dev/null
wait "$control_pid" 2>/dev/null

for size in 152x112 228x168 304x224; do
    child_width=${size%x*} child_height=${size#*x}
    rm -f "$work/parent.txt" "$work/ddraw.log"
    "$KORVANE_WINE" "$lock_helper_exe" parent "Z:${work//\//\\}\\parent.txt" 60 "$child_width" "$child_height" \
        </dev/null >/dev/null 2>&1 &
    parent_pid=$!
    started+=("$parent_pid")
    deadline=$((SECONDS + $(scaled 20)))
    while [ ! -s "$work/parent.txt" ] && [ $SECONDS -lt $deadline ]; do sleep 0.1; done
    if [ ! -s "$work/parent.txt" ]; then
        fail "$size: the parent window did not report its number"
        continue
    fi
    parent=$(tr -d '\r\n' <"$work/parent.txt")
    "$KORVANE_WINE" "$saver" /p "$parent" </dev/null >/dev/null 2>&1 &
    saver_pid=$!
    started+=("$saver_pid")
    deadline=$((SECONDS + $(scaled 20)))
    until why=$(timeout "$(scaled 30)" "$KORVANE_WINE" "$lock_helper_exe" probe-preview "$parent" "$child_width" "$child_height" </dev/null); do
        [ $SECONDS -lt $deadline ] || break
        sleep 0.2
    done
    if [ -n "$(tr -d '\r\n' <<<"$why")" ]; then
        fail "$size: $why"
    else
        # The full-screen path would set up its display from a posted request and its timer;
        # two seconds of the preview's ticks give it every chance to show.
        pause 2
        if why=$(timeout "$(scaled 30)" "$KORVANE_WINE" "$lock_helper_exe" probe-preview "$parent" "$child_width" "$child_height" </dev/null); then
            pass "$size: the child keeps its parent's size and no top-level window opens"
        else
            fail "$size: $why"
        fi
        [ ! -s "$work/ddraw.log" ] && pass "$size: no DirectDrawCreate" ||
            fail "$size: DirectDrawCreate was called $(grep -c . "$work/ddraw.log") times"
    fi
    timeout "$(scaled 30)" "$KORVANE_WINE" "$lock_helper_exe" close-parent </dev/null >/dev/null
    wait_exit "$saver_pid" 20
    code=$?
    [ $code -eq 0 ] && pass "$size: exits 0 with its parent" ||
        fail "$size: exit code $code when the parent went away (124: still running)"
    wait_exit "$parent_pid" 20 >/dev/null
done

e2e_finish
