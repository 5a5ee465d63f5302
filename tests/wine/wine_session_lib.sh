# Shared by with-wine.sh (one command inside a private X server and Wine prefix) and
# tests/e2e/wine_session.sh (a session that several CTest tests share through a fixture).
# Everything started here is stopped by PID, or for Wine by its own prefix.
#
#   wine_machine_kind         runs32 (the kernel runs 32-bit programs) or no32: the one place
#                             that decides whether the 32-bit build runs natively or emulated
#   wine_time_factor          how much slower than native this session's Wine runs (1, or more
#                             under emulation): it scales the tests' waits and timeouts
#   wine_choose_build ROOT    exports KORVANE_WINE_ARCH, KORVANE_WINE, KORVANE_WINDOWS_BUILD
#   wine_start_xvfb STATE DEPTH SIZE   starts Xvfb; exports DISPLAY, sets xvfb_pid
#   wine_prepare_prefix STATE DEPTH [LAYOUT]  makes (once) and exports WINEPREFIX; a layout's
#                                      prefix takes its monitors from Xinerama
#   wine_layout LAYOUT                 sets layout_screen (WxH) and layout_heads (the heads in
#                                      X root coordinates, primary first) of a monitor layout
#   wine_use_heads ROOT STATE HEADS    builds the Xinerama stand-in into STATE and exports
#                                      LD_LIBRARY_PATH and KORVANE_TEST_HEADS for it
#   wine_set_renderer gl|no3d          chooses Wine's Direct3D renderer in the prefix
#   wine_use_audible_output STATE NAME gives the prefix an ALSA output of the session's own
#                                      (every byte played goes to a file), exports
#                                      ALSA_CONFIG_PATH and KORVANE_PLAYED_SOUND
#   wine_renderer_in_effect gl|no3d    what Wine will really use: gl needs OpenGL libraries
#   wine_warm_up                       a warm server and Wine's services, detached
#   wine_stop [XVFB_PID]               ends the prefix's Wine processes and the X server

wine_machine_kind() {
    # KORVANE_WINE_32BIT=emulated treats this machine as one that runs no 32-bit programs,
    # so the emulated steps can be run and checked where 32-bit programs also run natively.
    if [ "${KORVANE_WINE_32BIT:-}" != emulated ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
        echo runs32
    else
        echo no32
    fi
}

# Measured under QEMU's user-mode emulator: Wine starts and draws three to five times slower.
wine_time_factor() {
    if [ "${KORVANE_WINE_EMULATED:-0}" = 1 ]; then
        echo "${KORVANE_WINE_TIME_FACTOR:-4}"
    else
        echo "${KORVANE_WINE_TIME_FACTOR:-1}"
    fi
}

wine_choose_build() {
    local root=$1
    # Where the kernel runs no 32-bit programs, 32-bit Wine starts only inside the emulation
    # namespace (tests/wine/i386_emulation.sh); outside it the 64-bit build runs under 64-bit
    # Wine.
    if [ "${KORVANE_WINE_EMULATED:-0}" = 1 ] || [ "$(wine_machine_kind)" = runs32 ]; then
        export KORVANE_WINE_ARCH=win32 KORVANE_WINE=wine
        export KORVANE_WINDOWS_BUILD="${KORVANE_WINDOWS_BUILD:-$root/build/windows}"
    else
        export KORVANE_WINE_ARCH=win64 KORVANE_WINE=/usr/lib/wine/wine64
        export KORVANE_WINDOWS_BUILD="${KORVANE_WINDOWS_BUILD:-$root/build/windows64}"
    fi
    export WINEARCH=$KORVANE_WINE_ARCH KORVANE_WINE_EMULATED=${KORVANE_WINE_EMULATED:-0}
    export KORVANE_WINE_TIME_FACTOR
    KORVANE_WINE_TIME_FACTOR=$(wine_time_factor)
    export WINEDEBUG=${WINEDEBUG:--all}
    export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
}

# The build the tests run and how, for the lines that name it.
wine_build_name() {
    if [ "$KORVANE_WINE_ARCH" = win64 ]; then
        echo "64-bit build"
    elif [ "$KORVANE_WINE_EMULATED" = 1 ]; then
        echo "32-bit build, emulated"
    else
        echo "32-bit build"
    fi
}

# wine_scaled SECONDS: SECONDS times the session's time factor; from one second up, rounded up
# to whole seconds (for $SECONDS deadlines), below it kept as it is (for short pauses).
wine_scaled() {
    awk -v s="$1" -v f="${KORVANE_WINE_TIME_FACTOR:-1}" 'BEGIN { t = s * f; r = int(t); if (t >= 1 && r < t) r++; print (t < 1 ? t : r) }'
}

wine_start_xvfb() {
    local state=$1 depth=$2 size=$3 display="" fifo
    fifo="$state/displayfd.$$.$depth"
    rm -f "$fifo"
    mkfifo "$fifo"
    # Xvfb picks a free display itself and reports it once it accepts connections.
    setsid Xvfb -displayfd 3 -screen 0 "${size}x${depth}" -nolisten tcp 3>"$fifo" \
        >"$state/xvfb-$depth.log" 2>&1 </dev/null &
    xvfb_pid=$!
    if ! read -r -t 30 display <"$fifo"; then
        rm -f "$fifo"
        echo "wine session: Xvfb did not report a display within 30 s (see $state/xvfb-$depth.log)" >&2
        return 3
    fi
    rm -f "$fifo"
    export DISPLAY=":$display" KORVANE_XVFB_DEPTH=$depth
}

wine_prepare_prefix() {
    local state=$1 depth=$2 layout=${3:-} variant=${4:-} attempt
    export WINEPREFIX="$state/prefix-$KORVANE_WINE_ARCH-$depth${layout:+-$layout}${variant:+-$variant}"
    [ -f "$WINEPREFIX/.korvane-ready" ] && return 0
    # Under user-mode emulation a Wine process that forks while another of its threads holds a
    # lock can stay stopped for good before it runs the new program (seen once: a services.exe
    # of the new prefix's start-up). Every later Wine process of that prefix then waits for the
    # start-up to end, so a prefix whose start-up does not settle is stopped and made again.
    for attempt in 1 2; do
        if wine_make_prefix "$state" "$depth" "$layout"; then
            touch "$WINEPREFIX/.korvane-ready"
            return 0
        fi
        echo "wine session: the Wine prefix did not settle (attempt $attempt); its processes are stopped" >&2
        wine_stop
    done
    return 3
}

wine_make_prefix() {
    local state=$1 depth=$2 layout=$3
    echo "wine session: making the Wine prefix $WINEPREFIX (a minute at most)"
    rm -rf "$WINEPREFIX"
    if ! timeout "$(wine_scaled 240)" "$KORVANE_WINE" wineboot -i >"$state/wineboot-$KORVANE_WINE_ARCH-$depth.log" 2>&1; then
        echo "wine session: wineboot failed or hung (see $state/wineboot-$KORVANE_WINE_ARCH-$depth.log)" >&2
        return 1
    fi
    timeout "$(wine_scaled 60)" wineserver -w || return 1
    # Unmanaged windows: without a window manager every full-screen window would stall
    # about two seconds on destruction. No audio driver: there is no sound device here.
    timeout "$(wine_scaled 60)" "$KORVANE_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null || return 1
    timeout "$(wine_scaled 60)" "$KORVANE_WINE" reg add 'HKCU\Software\Wine\Drivers' /v Audio /d "" /f >/dev/null || return 1
    # Several monitors on one X screen: Wine reads them from Xinerama (the stand-in) only
    # when it does not use XRandR.
    if [ -n "$layout" ]; then
        if ! timeout "$(wine_scaled 60)" "$KORVANE_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v UseXRandR /d N /f >/dev/null; then
            echo "wine session: cannot turn XRandR off in $WINEPREFIX" >&2
            return 1
        fi
    fi
    timeout "$(wine_scaled 60)" wineserver -w || return 1
}

wine_layout() {
    case "$1" in
        side-by-side)
            layout_screen=2048x768
            layout_heads=1024x768+0+0,1024x768+1024+0
            ;;
        # A portrait monitor of another size left of the primary: negative coordinates in
        # Windows, whose primary starts at 0,0.
        left-portrait)
            layout_screen=1792x1024
            layout_heads=1024x768+768+0,768x1024+0+0
            ;;
        *)
            echo "wine session: unknown monitor layout '$1' (side-by-side, left-portrait)" >&2
            return 2
            ;;
    esac
}

wine_use_heads() {
    local root=$1 state=$2 heads=$3 word path=""
    # Both word sizes where the compiler can make them: a 64-bit prefix also starts 32-bit
    # Wine processes where the kernel runs them, and every process must see the same heads.
    # The loader skips a library of the other word size and takes the next one on the path.
    for word in 32 64; do
        [ "$KORVANE_WINE_ARCH" = win32 ] && [ $word = 64 ] && continue
        mkdir -p "$state/xinerama-$word"
        # No C library to link against (there are no i386 development files): the functions
        # it uses come from the process that loads it.
        if gcc -m$word -O2 -Wall -Wextra -Werror -shared -fPIC -nostdlib -fno-stack-protector \
            -o "$state/xinerama-$word/libXinerama.so.1" "$root/tests/e2e/xinerama_stand_in.c" 2>/dev/null; then
            path="$path${path:+:}$state/xinerama-$word"
        elif [ "$KORVANE_WINE_ARCH" = win$word ]; then
            echo "wine session: cannot build the $word-bit Xinerama stand-in" >&2
            return 3
        fi
    done
    export LD_LIBRARY_PATH="$path${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}"
    export KORVANE_TEST_HEADS=$heads
}

wine_use_audible_output() {
    local state=$1 name=$2
    local config="$state/alsa-$name.conf"
    export KORVANE_PLAYED_SOUND="$state/played-$name.raw"
    # The system's configuration, then a default device of our own: the file plugin writes
    # every frame it is given to a file and hands it on to the null device, which plays it at
    # once. No sound card and no sound server are needed, yet the output is a working one.
    cat >"$config" <<ALSA || return 3
</usr/share/alsa/alsa.conf>
pcm.!default {
    type file
    slave.pcm "null"
    file "$KORVANE_PLAYED_SOUND"
    format "raw"
}
ALSA
    export ALSA_CONFIG_PATH=$config
    : >"$KORVANE_PLAYED_SOUND" || return 3
    if ! timeout "$(wine_scaled 60)" "$KORVANE_WINE" reg add 'HKCU\Software\Wine\Drivers' /v Audio /d alsa /f \
        </dev/null >/dev/null 2>&1; then
        echo "wine session: cannot choose Wine's ALSA driver in $WINEPREFIX" >&2
        return 3
    fi
}

wine_renderer_in_effect() {
    local lib=/usr/lib/x86_64-linux-gnu/libGL.so.1
    [ "$KORVANE_WINE_ARCH" = win32 ] && lib=/usr/lib/i386-linux-gnu/libGL.so.1
    if [ "$1" = gl ] && [ ! -e "$lib" ]; then
        echo "no3d (no OpenGL libraries for $KORVANE_WINE_ARCH)"
    else
        echo "$1"
    fi
}

wine_set_renderer() {
    if [ "$1" = no3d ]; then
        timeout "$(wine_scaled 60)" "$KORVANE_WINE" reg add 'HKCU\Software\Wine\Direct3D' /v renderer /d no3d /f \
            </dev/null >/dev/null 2>&1
    else
        timeout "$(wine_scaled 60)" "$KORVANE_WINE" reg delete 'HKCU\Software\Wine\Direct3D' /v renderer /f \
            </dev/null >/dev/null 2>&1 || true
    fi
    export KORVANE_WINE_RENDERER
    KORVANE_WINE_RENDERER=$(wine_renderer_in_effect "$1")
}

wine_warm_up() {
    # A warm server makes every later Wine start cheap. Wine's own service processes start
    # now, detached from our output: started later under a test runner they would inherit
    # its pipes and keep it waiting after the test has ended.
    # A server still running from an earlier command keeps its own lifetime: wait it out.
    if ! wineserver -p 600 2>/dev/null; then
        timeout "$(wine_scaled 30)" wineserver -w || true
        wineserver -p 600 || true
    fi
    timeout "$(wine_scaled 120)" "$KORVANE_WINE" cmd /c exit </dev/null >/dev/null 2>&1 || true
}

wine_stop() {
    local pid=${1:-}
    if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
        timeout "$(wine_scaled 20)" wineserver -k >/dev/null 2>&1 || true
        timeout "$(wine_scaled 20)" wineserver -w >/dev/null 2>&1 || true
    fi
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
        kill "$pid" 2>/dev/null || true
        for _ in 1 2 3 4 5 6 7 8 9 10; do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.2
        done
        kill -9 "$pid" 2>/dev/null || true
    fi
}
