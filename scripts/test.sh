#!/usr/bin/env bash
# Builds everything and runs every test: the native core under sanitizers, the Windows build
# (the saver itself, and its tests under Wine), and the fuzzers for a bounded time.
set -euo pipefail
cd "$(dirname "$0")/.."
say() { printf '\n==> %s\n' "$*"; }

scripts/setup.sh

failures=0
passed_total=0
failed_total=0
step_log=$(mktemp)
trap 'rm -f "$step_log"' EXIT
# Runs one test step, keeps its output for the totals: CTest's summary line when it prints
# one, otherwise the step counts as a single test.
run_step() {
    local name=$1
    shift
    local ok=1
    "$@" 2>&1 | tee "$step_log" || ok=0
    local summary
    summary=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests failed out of [0-9]+' "$step_log" | tail -n 1 || true)
    if [ -n "$summary" ]; then
        local failed total
        failed=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/' <<<"$summary")
        total=$(sed -E 's/.* tests failed out of ([0-9]+).*/\1/' <<<"$summary")
        passed_total=$((passed_total + total - failed))
        failed_total=$((failed_total + failed))
        [ "$failed" -eq 0 ] || ok=0
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

run_step "layer rule" python3 scripts/check_layers.py

say "native build and tests (AddressSanitizer, UndefinedBehaviorSanitizer)"
cmake --preset native >/dev/null
cmake --build --preset native
run_step "native tests" ctest --preset native

say "Windows build of the saver (32-bit)"
cmake --preset windows >/dev/null
cmake --build --preset windows
objdump_out=$(i686-w64-mingw32-objdump -p build/windows/host/korvane.scr | grep 'DLL Name' || true)
if printf '%s\n' "$objdump_out" | grep -qiE 'libgcc|libstdc|libwinpthread'; then
    say "korvane.scr needs MinGW DLLs: $objdump_out"
    failures=$((failures + 1))
    failed_total=$((failed_total + 1))
fi

say "native screenshot checker for the Windows end-to-end tests"
cmake --preset native-release >/dev/null
cmake --build --preset native-release --target korvane-screen-check

# shellcheck source=tests/wine/wine_session_lib.sh
. tests/wine/wine_session_lib.sh
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    wine_preset=windows
else
    wine_preset=windows64
    say "Windows build for 64-bit Wine (this kernel runs no 32-bit programs)"
    cmake --preset windows64 >/dev/null
    cmake --build --preset windows64
fi
export KORVANE_WINDOWS_BUILD="$PWD/build/$wine_preset"
wine_choose_build "$PWD"
build_name=$(wine_build_name)
# Each Windows step names the build, the Wine renderer in effect and the X server's depth.
windows_step() {  # windows_step <what> <depth> <gl|no3d> <command...>
    local what=$1 depth=$2 renderer=$3
    shift 3
    run_step "$what ($build_name build, renderer $(wine_renderer_in_effect "$renderer"), depth $depth)" "$@"
}
windows_step "Wine tests" 24 gl tests/wine/with-wine.sh --depth 24 --renderer gl --timeout 2400 -- \
    ctest --preset "$wine_preset" -LE e2e
# The real DirectDraw tests again at the other colour depths an X server can give (24 above
# is 32 bits per pixel to Windows programs), with the other renderer.
for depth in 16 8; do
    windows_step "DirectDraw tests" "$depth" no3d tests/wine/with-wine.sh --depth "$depth" \
        --renderer no3d --timeout 600 -- ctest --preset "$wine_preset" -R korvane_display_ddraw_tests
done
# The saver end to end: every mode once per depth with the renderers alternating, and the
# picture with a key at the other renderer of each depth.
# Then every monitor covered, in two monitor layouts.
for session in 24:gl 16:no3d 8:gl 24:no3d 16:gl 8:no3d 24:gl:side-by-side 16:no3d:left-portrait; do
    IFS=: read -r depth renderer layout <<<"$session"
    windows_step "End-to-end${layout:+ ($layout monitors)}" "$depth" "$renderer" \
        ctest --preset "$wine_preset" -L "^e2e_d${depth}_${renderer}${layout:+_$layout}\$" \
        --output-on-failure
done
# What Wine itself shows of an 8-bit palette, logged for the record: it gates nothing.
say "Wine probe: colours of a 256-entry DirectDraw palette at depth 8 (logged only)"
tests/wine/with-wine.sh --depth 8 --timeout 120 -- tests/wine_probes/palette_probe.sh || true

if command -v clang++ >/dev/null 2>&1; then
    say "fuzzers (clang, libFuzzer)"
    cmake --preset fuzz >/dev/null
    cmake --build --preset fuzz
    # Each target starts from its seeds in the repository plus what earlier runs kept. The
    # four together run for at most four minutes: 45 s of fuzzing each, cut off at 60 s.
    for fuzzer in build/fuzz/tests/fuzz/*_fuzzer; do
        [ -x "$fuzzer" ] || continue
        name=$(basename "$fuzzer")
        corpus="build/fuzz/corpus/$name"
        mkdir -p "$corpus" build/fuzz/artifacts
        cp -n "tests/fuzz/corpus/${name#korvane_}"/* "$corpus"/ 2>/dev/null || true
        run_step "$name" timeout 60 "$fuzzer" -max_total_time=45 -max_len=4096 -timeout=10 \
            -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="build/fuzz/artifacts/$name-" \
            "$corpus"
    done
fi

echo
if [ "$failures" -ne 0 ]; then
    say "$failures test step(s) failed"
    echo "tests: $passed_total passed, $failed_total failed"
    exit 1
fi
say "every test step passed"
echo "tests: $passed_total passed, $failed_total failed"
