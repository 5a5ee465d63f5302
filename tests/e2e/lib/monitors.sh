# The monitors of a session with a monitor layout, for the pieces that check every monitor.
# Sourced after e2e.sh, once e2e_begin has read the session. The session names its heads in
# KORVANE_TEST_HEADS as X root rectangles, WIDTHxHEIGHT+X+Y, the primary first; Windows puts
# the primary's corner at 0,0 of its virtual screen, so a head's Windows rectangle is its X
# rectangle moved by the primary's X origin.
#
#   heads_read               fills head_x/head_y/head_w/head_h (X root) and head_vx/head_vy
#                            (Windows' virtual screen), and head_count
#   check_reported_layout    Wine must report exactly those monitors, else the piece stops
#   covers_ready N SECONDS   waits until N monitor cover windows show
#   glyphs_on_every_head MIN SECONDS
#                            waits until every head shows at least MIN green pixels (no longer
#                            than the saver started last runs)
#   changes_on_every_head SECONDS
#                            waits until every head differs from a first screenshot
#   white_on_heads           prints the white pixels each head shows ("0 0")

heads_read() {
    local geometry geometries
    head_x=() head_y=() head_w=() head_h=() head_vx=() head_vy=()
    IFS=, read -ra geometries <<<"${KORVANE_TEST_HEADS:-}"
    for geometry in "${geometries[@]}"; do
        if ! [[ $geometry =~ ^([0-9]+)x([0-9]+)([+-][0-9]+)([+-][0-9]+)$ ]]; then
            return 1
        fi
        head_w+=("${BASH_REMATCH[1]}")
        head_h+=("${BASH_REMATCH[2]}")
        head_x+=($((BASH_REMATCH[3])))
        head_y+=($((BASH_REMATCH[4])))
    done
    head_count=${#head_w[@]}
    [ "$head_count" -gt 0 ] || return 1
    local i
    for ((i = 0; i < head_count; i++)); do
        head_vx+=($((head_x[i] - head_x[0])))
        head_vy+=($((head_y[i] - head_y[0])))
    done
}

# head_rect I: the head's Windows rectangle as LEFT TOP RIGHT BOTTOM.
head_rect() {
    echo "${head_vx[$1]} ${head_vy[$1]} $((head_vx[$1] + head_w[$1])) $((head_vy[$1] + head_h[$1]))"
}
# head_area I: the head's X root area as X Y W H, for the screenshot checks.
head_area() { echo "${head_x[$1]} ${head_y[$1]} ${head_w[$1]} ${head_h[$1]}"; }
head_name() { [ "$1" = 0 ] && echo "primary" || echo "monitor $1"; }

check_reported_layout() {
    if ! heads_read; then
        echo "FAIL: this piece needs a session with a monitor layout (KORVANE_TEST_HEADS='${KORVANE_TEST_HEADS:-}')"
        exit 1
    fi
    local expected="" i reported
    for ((i = 0; i < head_count; i++)); do
        expected+="monitor $(head_rect "$i") $([ "$i" = 0 ] && echo primary || echo secondary)"$'\n'
    done
    expected=$(sort <<<"$expected" | sed '/^$/d')
    reported=$(lock_helper monitors | tr -d '\r' | grep '^monitor' | sort)
    if [ "$reported" != "$expected" ]; then
        echo "FAIL: Wine does not report the session's monitors ($KORVANE_LAYOUT)"
        echo "expected:"
        echo "$expected"
        echo "reported:"
        echo "${reported:-(nothing)}"
        exit 1
    fi
    pass "Wine reports the $KORVANE_LAYOUT layout: $(tr '\n' ';' <<<"$reported")"
}

# saver_windows: the visible saver and cover windows, a sorted line each (lock_helper windows).
saver_windows() { lock_helper windows | tr -d '\r' | sort; }
cover_count() { saver_windows | grep -c '^cover'; }

covers_at_least() { [ "$(cover_count)" -ge "$1" ]; }
covers_ready() { wait_for "$2" covers_at_least "$1"; }  # covers_ready <count> <seconds>

# The windows a running saver must show: its own over the primary, a cover over every other
# monitor, all topmost.
expected_saver_windows() {
    local i
    {
        echo "saver $(head_rect 0) topmost"
        for ((i = 1; i < head_count; i++)); do
            echo "cover $(head_rect "$i") topmost"
        done
    } | sort
}

glyphs_on_every_head() {  # glyphs_on_every_head <green pixels> <seconds>
    local deadline=$((SECONDS + $(scaled "$2"))) i all
    while :; do
        shot "$work/heads.ppm"
        all=1
        head_green=()
        for ((i = 0; i < head_count; i++)); do
            # shellcheck disable=SC2046
            head_green+=("$("$screen_check" green "$work/heads.ppm" $(head_area "$i"))")
            [ "${head_green[i]:-0}" -ge "$1" ] || all=0
        done
        [ $all = 1 ] && return 0
        [ $SECONDS -lt $deadline ] || return 1
        # A saver that has ended draws nothing more.
        [ -z "${saver_pid:-}" ] || kill -0 "$saver_pid" 2>/dev/null || return 1
        pause 0.3
    done
}

white_on_heads() {
    local i counts=()
    shot "$work/white.ppm"
    for ((i = 0; i < head_count; i++)); do
        # shellcheck disable=SC2046
        counts+=("$("$screen_check" white "$work/white.ppm" $(head_area "$i"))")
    done
    echo "${counts[*]}"
}
# no_white: true when no head shows a white pixel; the counts go to $white_counts.
no_white() {
    white_counts=$(white_on_heads)
    [[ $white_counts =~ ^[0\ ]+$ ]]
}

# changes_on_every_head SECONDS: every head shows something other than in a first screenshot
# within that time. Polled rather than one look a second apart, since a busy machine can hold
# the saver back for a while. The changed pixels per head ("-": not changed) go to
# $changed_counts and the heads that did not change to $unchanged_heads.
changes_on_every_head() {
    local deadline=$((SECONDS + $(scaled "$1"))) i count counts=() pending
    shot "$work/first.ppm"
    for ((i = 0; i < head_count; i++)); do counts+=(-); done
    while :; do
        pause 0.3
        shot "$work/second.ppm"
        pending=0
        for ((i = 0; i < head_count; i++)); do
            [ "${counts[i]}" = - ] || continue
            # shellcheck disable=SC2046
            count=$("$screen_check" changed "$work/first.ppm" "$work/second.ppm" $(head_area "$i"))
            if [ "${count:-0}" -gt 0 ]; then counts[i]=$count; else pending=1; fi
        done
        [ $pending = 1 ] || break
        [ $SECONDS -lt $deadline ] || break
    done
    changed_counts="${counts[*]}"
    unchanged_heads=""
    for ((i = 0; i < head_count; i++)); do
        [ "${counts[i]}" != - ] || unchanged_heads+="${unchanged_heads:+, }$(head_name "$i")"
    done
    [ -z "$unchanged_heads" ]
}

# white_backdrops SECONDS: a white window of another program on every monitor but the primary,
# as the user's work; waits until each is shown.
white_backdrops() {
    local i
    for ((i = 1; i < head_count; i++)); do
        "$KORVANE_WINE" "$lock_helper_exe" backdrop "$(windows_path "$work/white$i.txt")" "$1" white \
            "${head_vx[i]}" "${head_vy[i]}" "${head_w[i]}" "${head_h[i]}" </dev/null >/dev/null 2>&1 &
        started+=("$!")
    done
    for ((i = 1; i < head_count; i++)); do
        wait_file "$work/white$i.txt" 20 || return 1
    done
}
