#!/usr/bin/env bash
# Builds everything and runs every test: the native core under sanitizers, the Windows build
# (the saver itself, and its tests under Wine), and the fuzzers for a bounded time.
#
#   scripts/test.sh          sets up, builds and runs every step for this machine
#   scripts/test.sh --plan   prints the steps for both kinds of machine and runs nothing
#
# The product is the 32-bit korvane.scr, and every run starts it. Where the kernel runs 32-bit
# programs, its tests run under 32-bit Wine natively. Where it does not, the 64-bit build runs
# every Wine step but one end-to-end session, and the 32-bit build runs a minimum of them,
# that session among them, under 32-bit Wine through
# user-mode emulation (tests/wine/i386_emulation.sh). Which kind this machine is, is decided
# once, by wine_machine_kind.
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=tests/wine/wine_session_lib.sh
. tests/wine/wine_session_lib.sh

mode=run
case "${1:-}" in
    --plan) mode=plan ;;
    "") ;;
    *)
        echo "usage: scripts/test.sh [--plan]" >&2
        exit 2
        ;;
esac

# Every heading carries the minutes and seconds since the run began, so a run's log shows where
# its time went.
say() { printf '\n==> [%d:%02d] %s\n' $((SECONDS / 60)) $((SECONDS % 60)) "$*"; }

failures=0
passed_total=0
failed_total=0
step_log=$(mktemp)
trap 'rm -f "$step_log"' EXIT

# Runs one test step, keeps its output for the totals: CTest's summary line when it prints
# one, otherwise the step counts as a single test. In a strict step (the emulated ones) a test
# that CTest skipped or did not run counts as failed: a step that ran nothing proves nothing.
run_step() {
    local name=$1 strict=$2
    shift 2
    local ok=1
    "$@" 2>&1 | tee "$step_log" || ok=0
    local summary
    summary=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests failed out of [0-9]+' "$step_log" | tail -n 1 || true)
    if [ -n "$summary" ]; then
        local failed total skipped=0
        failed=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/' <<<"$summary")
        total=$(sed -E 's/.* tests failed out of ([0-9]+).*/\1/' <<<"$summary")
        if [ "$strict" = strict ]; then
            skipped=$(grep -cE '^[[:space:]]+[0-9]+ - .*\((Skipped|Disabled)\)' "$step_log" || true)
        fi
        passed_total=$((passed_total + total - failed - skipped))
        failed_total=$((failed_total + failed + skipped))
        [ "$failed" -eq 0 ] && [ "$skipped" -eq 0 ] || ok=0
    elif [ $ok -eq 1 ]; then
        passed_total=$((passed_total + 1))
    else
        failed_total=$((failed_total + 1))
    fi
    if [ $ok -eq 1 ]; then
        say "$name: ok"
    else
        say "$name: FAILED"
        failures=$((failures + 1))
    fi
}

# The plan is written once, in `plan` below, with these four verbs. In a run they act; with
# --plan they print what they would do.
#   build WHAT COMMAND...   a build command: a failure stops the run
#   step NAME COMMAND...    a test step, counted in the totals
#   strict_step NAME COMMAND...   the same, where skipped tests count as failed
#   logged WHAT COMMAND...  a probe whose outcome is logged and gates nothing
build() {
    local what=$1
    shift
    if [ $mode = plan ]; then
        printf '  build   %s: %s\n' "$what" "$*"
    else
        [ "$what" = - ] || say "$what"
        "$@"
    fi
}
step() {
    if [ $mode = plan ]; then
        printf '  step    %s\n            %s\n' "$1" "${*:2}"
    else
        run_step "$1" loose "${@:2}"
    fi
}
strict_step() {
    if [ $mode = plan ]; then
        printf '  step    %s (skipped tests count as failed)\n            %s\n' "$1" "${*:2}"
    else
        run_step "$1" strict "${@:2}"
    fi
}
logged() {
    if [ $mode = plan ]; then
        printf '  logged  %s\n            %s\n' "$1" "${*:2}"
    else
        say "$1"
        "${@:2}" || true
    fi
}

# korvane.scr imports Windows' own DLLs only.
check_self_contained() {
    local imports
    imports=$(i686-w64-mingw32-objdump -p "$1" | grep 'DLL Name' || true)
    if printf '%s\n' "$imports" | grep -qiE 'libgcc|libstdc|libwinpthread'; then
        say "$1 needs MinGW DLLs: $imports"
        failures=$((failures + 1))
        failed_total=$((failed_total + 1))
    fi
}

# The renderer Wine will really use, for the step names; in a plan, the one asked for.
renderer_name() {
    if [ $mode = plan ]; then
        echo "$2"
    else
        KORVANE_WINE_ARCH=$1 wine_renderer_in_effect "$2"
    fi
}

# Every Wine step of one build, run natively: PRESET windows or windows64. The end-to-end
# sessions named after it (depth:renderer) are left to another step of the plan.
wine_suite() {
    local preset=$1 arch=win32 name="32-bit build"
    shift
    local elsewhere=" $* "
    [ "$preset" = windows64 ] && arch=win64 name="64-bit build"
    local env=(env KORVANE_WINDOWS_BUILD="$PWD/build/$preset")
    # windows_step <what> <depth> <gl|no3d> <command...>: named by build, renderer and depth.
    windows_step() {
        local what=$1 depth=$2 renderer=$3
        shift 3
        step "$what ($name, renderer $(renderer_name $arch "$renderer"), depth $depth)" "$@"
    }
    windows_step "Wine tests" 24 gl "${env[@]}" tests/wine/with-wine.sh --depth 24 --renderer gl \
        --timeout 2400 -- ctest --preset "$preset" -LE e2e
    # The real DirectDraw tests again at the other colour depths an X server can give (24
    # above is 32 bits per pixel to Windows programs), with the other renderer.
    local depth session renderer layout
    for depth in 16 8; do
        windows_step "DirectDraw tests" "$depth" no3d "${env[@]}" tests/wine/with-wine.sh \
            --depth "$depth" --renderer no3d --timeout 600 -- \
            ctest --preset "$preset" -R korvane_display_ddraw_tests
    done
    # The saver end to end: every mode once per depth with the renderers alternating, and
    # the picture with a key at the other renderer of each depth. Then every monitor
    # covered, in two monitor layouts, and the sound played through a working output.
    local title
    for session in 24:gl 16:no3d 8:gl 24:no3d 16:gl 8:no3d 24:gl:side-by-side \
        16:no3d:left-portrait 24:no3d:audible 8:gl:audible; do
        [[ "$elsewhere" == *" $session "* ]] && continue
        IFS=: read -r depth renderer layout <<<"$session"
        case "$layout" in
            "") title="End-to-end" ;;
            audible) title="End-to-end (a working sound output)" ;;
            *) title="End-to-end ($layout monitors)" ;;
        esac
        windows_step "$title" "$depth" "$renderer" \
            "${env[@]}" ctest --preset "$preset" -L "^e2e_d${depth}_${renderer}${layout:+_$layout}\$" \
            --output-on-failure
    done
    # What Wine itself shows of an 8-bit palette, logged for the record: it gates nothing.
    logged "Wine probe: colours of a 256-entry DirectDraw palette at depth 8 ($name, logged only)" \
        "${env[@]}" tests/wine/with-wine.sh --depth 8 --timeout 120 -- tests/wine_probes/palette_probe.sh
    # Wine's own fault in its present path without OpenGL, shown by the bare flip chain of the
    # 32-bit build as the emulated plan shows it; logged for the record, it gates nothing.
    if [ "$arch" = win32 ]; then
        logged "Wine probe: a bare flip chain at depth 24 without OpenGL ($name, logged only)" \
            "${env[@]}" tests/wine/with-wine.sh --depth 24 --renderer no3d --timeout 120 -- \
            tests/wine_probes/flip_chain_probe.sh
    fi
}

# The 32-bit build under 32-bit Wine through user-mode emulation: the Wine unit tests, every
# end-to-end piece at depth 24 with the renderer without OpenGL (with OpenGL, emulated Wine
# draws one or two frames a second), and two monitors side by side.
emulated_minimum() {
    local emulated=(env KORVANE_WINDOWS_BUILD="$PWD/build/windows" tests/wine/i386_emulation.sh run --)
    local name="32-bit build, emulated"
    strict_step "Wine tests ($name, renderer no3d, depth 24)" "${emulated[@]}" \
        tests/wine/with-wine.sh --depth 24 --renderer no3d --timeout 1200 -- \
        ctest --preset windows -LE e2e --output-on-failure
    local layout
    for layout in "" side-by-side; do
        strict_step "End-to-end${layout:+ ($layout monitors)} ($name, renderer no3d, depth 24)" \
            "${emulated[@]}" ctest --preset windows -L "^e2e_d24_no3d${layout:+_$layout}\$" \
            --output-on-failure
    done
    strict_step "the emulation leaves the machine as it was" tests/wine/i386_emulation_test.sh isolated
    # Wine's own fault in its present path without OpenGL, shown by the bare flip chain
    # under the same emulation; logged for the record, it gates nothing.
    logged "Wine probe: a bare flip chain at depth 24 without OpenGL ($name, logged only)" \
        "${emulated[@]}" tests/wine/with-wine.sh --depth 24 --renderer no3d --timeout 120 -- \
        tests/wine_probes/flip_chain_probe.sh
}

fuzzers() {
    command -v clang++ >/dev/null 2>&1 || [ $mode = plan ] || return 0
    build "fuzzers (clang, libFuzzer)" cmake --preset fuzz
    build - cmake --build --preset fuzz
    # Each target starts from its seeds in the repository plus what earlier runs kept. The
    # four together run for at most four minutes: 45 s of fuzzing each, cut off at 60 s.
    local fuzzer name corpus
    for name in command_line rle8 settings show; do
        fuzzer=build/fuzz/tests/fuzz/korvane_${name}_fuzzer
        corpus="build/fuzz/corpus/korvane_${name}_fuzzer"
        if [ $mode = run ]; then
            mkdir -p "$corpus" build/fuzz/artifacts
            cp -n "tests/fuzz/corpus/${name}_fuzzer"/* "$corpus"/ 2>/dev/null || true
        fi
        step "korvane_${name}_fuzzer" timeout 60 "$fuzzer" -max_total_time=45 -max_len=4096 \
            -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
            -artifact_prefix="build/fuzz/artifacts/korvane_${name}_fuzzer-" "$corpus"
    done
}

# plan runs32|no32: every build and step of the test command, in order.
plan() {
    local kind=$1
    step "layer rule" python3 scripts/check_layers.py
    build "native build and tests (AddressSanitizer, UndefinedBehaviorSanitizer)" \
        cmake --preset native
    build - cmake --build --preset native
    step "native tests" ctest --preset native

    local factor=1
    [ "$kind" = runs32 ] || factor=$(KORVANE_WINE_EMULATED=1 wine_time_factor)
    build "Windows build of the saver (32-bit)" \
        cmake --preset windows -DKORVANE_TEST_TIME_FACTOR="$factor"
    build - cmake --build --preset windows
    build - check_self_contained build/windows/host/korvane.scr

    build "native screenshot checker for the Windows end-to-end tests" cmake --preset native-release
    build - cmake --build --preset native-release --target korvane-screen-check

    if [ "$kind" = runs32 ]; then
        wine_suite windows
    else
        build "Windows build for 64-bit Wine (this kernel runs no 32-bit programs)" \
            cmake --preset windows64
        build - cmake --build --preset windows64
        # Every piece at 24 without OpenGL runs with the 32-bit build, emulated, below.
        wine_suite windows64 24:no3d
        step "the emulator for 32-bit Wine (qemu-i386 from the release's backports)" \
            tests/wine/i386_emulation.sh fetch
        emulated_minimum
    fi
    fuzzers
}

if [ $mode = plan ]; then
    for kind in runs32 no32; do
        case $kind in
            runs32) echo "On a machine whose kernel runs 32-bit programs:" ;;
            no32) echo "On a machine whose kernel runs no 32-bit programs:" ;;
        esac
        plan $kind
        echo
    done
    echo "This machine: $(wine_machine_kind)"
    exit 0
fi

scripts/setup.sh
# cmake's configure output is long and says little; builds print their progress.
cmake() {
    if [ "${1:-}" = --preset ]; then
        command cmake "$@" >/dev/null
    else
        command cmake "$@"
    fi
}
plan "$(wine_machine_kind)"

echo
if [ "$failures" -ne 0 ]; then
    say "$failures test step(s) failed"
    echo "tests: $passed_total passed, $failed_total failed"
    exit 1
fi
say "every test step passed"
echo "tests: $passed_total passed, $failed_total failed"
