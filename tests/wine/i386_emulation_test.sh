#!/usr/bin/env bash
# The emulation script's promises about the machine around it:
#   i386_emulation_test.sh unreachable   an archive that cannot be reached fails the fetch and
#                                        the run, naming what is missing, and leaves no emulator
#   i386_emulation_test.sh isolated      the emulator is registered inside the namespace only:
#                                        outside, binfmt_misc and 32-bit Wine are as before
set -uo pipefail
script="$(cd "$(dirname "$0")" && pwd)/i386_emulation.sh"
failures=0
check() {  # check <what> <command...>
    local what=$1
    shift
    if "$@"; then
        echo "ok: $what"
    else
        echo "FAIL: $what"
        failures=$((failures + 1))
    fi
}
contains() { grep -q -- "$2" <<<"$1"; }

case "${1:-}" in
    unreachable)
        dir=$(mktemp -d)
        trap 'rm -rf "$dir"' EXIT
        # Port 9 of the loopback refuses at once: the download fails without a network.
        for verb in fetch "run -- true"; do
            # shellcheck disable=SC2086
            out=$(KORVANE_EMULATOR_DIR="$dir" KORVANE_EMULATOR_ARCHIVE=http://127.0.0.1:9/debian \
                timeout 120 "$script" $verb 2>&1)
            code=$?
            echo "$verb: exit $code; last line: $(tail -n 1 <<<"$out")"
            check "'$verb' fails when the archive cannot be reached" test "$code" -ne 0
            check "'$verb' says the emulator is missing" contains "$out" "the emulator is missing"
        done
        check "nothing is left where the emulator would be" test ! -e "$dir/qemu-i386"
        ;;
    isolated)
        # The machine's own answers before, inside and after, asked from one line: where the
        # kernel refuses the program the shell's message names the line it was started from.
        wine_answer() { /usr/lib/wine/wine --version 2>&1; echo "exit $?"; }
        before_wine=$(wine_answer)
        inside=$(timeout 300 "$script" run -- sh -c \
            'cat /proc/sys/fs/binfmt_misc/korvane-i386; /usr/lib/wine/wine --version; echo "emulated=$KORVANE_WINE_EMULATED"' 2>&1)
        check "inside, the i386 interpreter is registered and enabled" contains "$inside" "enabled"
        check "inside, 32-bit Wine starts" contains "$inside" "wine-"
        check "inside, the tests learn that they are emulated" contains "$inside" "emulated=1"
        check "outside, no registration of ours exists" test ! -e /proc/sys/fs/binfmt_misc/korvane-i386
        after_wine=$(wine_answer)
        check "outside, /usr/lib/wine/wine answers as before ($after_wine)" test "$before_wine" = "$after_wine"
        ;;
    *)
        echo "usage: i386_emulation_test.sh unreachable|isolated" >&2
        exit 2
        ;;
esac
[ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
echo "all checks passed"
