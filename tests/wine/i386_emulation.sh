#!/usr/bin/env bash
# 32-bit Wine on a kernel that runs no 32-bit programs: QEMU's user-mode i386 emulator as the
# interpreter of i386 programs, registered in a private user and mount namespace only.
#
#   i386_emulation.sh fetch              gets the emulator into build/emulator (once)
#   i386_emulation.sh run -- COMMAND...  runs COMMAND where i386 programs start through it
#
# Nothing outside the namespace changes: the system's binfmt_misc, its apt state and every
# other process see the machine as before. The emulator comes from the backports suite of the
# Debian archive the machine's own apt sources name: the release's own qemu-user-static (7.2)
# treats MAP_FIXED_NOREPLACE as a hint, and Wine never finishes starting under it.
#
# KORVANE_EMULATOR_ARCHIVE overrides the archive's address (a test makes the download fail
# with it). Every failure says what was missing and exits non-zero: never a silent skip.
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
dir="${KORVANE_EMULATOR_DIR:-$root/build/emulator}"
emulator="$dir/qemu-i386"
# The name ending in -binfmt-P tells the emulator that the kernel passes the program's own
# argv[0] after its path (binfmt_misc's P flag).
interpreter="$dir/i386-binfmt-P"

fail() {
    echo "i386 emulation: $*" >&2
    exit 1
}

# The archive address the machine's apt sources name for Debian itself.
debian_archive() {
    local uri
    uri=$(grep -hsE '^(URIs:|deb )' /etc/apt/sources.list /etc/apt/sources.list.d/*.sources \
        /etc/apt/sources.list.d/*.list 2>/dev/null |
        grep -oE 'https?://[^ ]+/debian/?( |$)' | grep -v security | head -n 1 | tr -d ' ')
    echo "${uri:-http://deb.debian.org/debian}"
}

fetch() {
    if [ -x "$emulator" ] && "$emulator" --version >/dev/null 2>&1; then
        return 0
    fi
    local archive suite apt_dir
    archive=${KORVANE_EMULATOR_ARCHIVE:-$(debian_archive)}
    suite="$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")-backports"
    apt_dir="$dir/apt"
    rm -rf "$apt_dir"
    mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$apt_dir/download"
    echo "deb $archive $suite main" >"$apt_dir/sources.list"
    : >"$apt_dir/status"
    # A private sources file, lists, cache and status: the system's apt state stays as it is.
    local apt=(-o "Dir::Etc::SourceList=$apt_dir/sources.list" -o Dir::Etc::SourceParts=/dev/null
        -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache"
        -o "Dir::State::status=$apt_dir/status" -o APT::Architectures::=amd64
        -o Debug::NoLocking=1 -o APT::Sandbox::User=root -o Acquire::Retries=2)
    echo "i386 emulation: getting qemu-user from $archive $suite"
    if ! timeout 300 apt-get "${apt[@]}" -qq update >"$apt_dir/update.log" 2>&1 ||
        grep -qE '^(E:|W: Failed)' "$apt_dir/update.log"; then
        cat "$apt_dir/update.log" >&2
        fail "the emulator is missing: cannot read the package list of $archive $suite"
    fi
    if ! (cd "$apt_dir/download" && timeout 600 apt-get "${apt[@]}" -qq download qemu-user) \
        >"$apt_dir/download.log" 2>&1; then
        cat "$apt_dir/download.log" >&2
        fail "the emulator is missing: cannot download qemu-user from $archive $suite"
    fi
    local deb
    deb=$(find "$apt_dir/download" -name 'qemu-user_*.deb' | head -n 1)
    [ -n "$deb" ] || fail "the emulator is missing: no qemu-user package was downloaded"
    if ! dpkg-deb --fsys-tarfile "$deb" | tar -x -O ./usr/bin/qemu-i386 >"$emulator.part"; then
        fail "the emulator is missing: $deb holds no usr/bin/qemu-i386"
    fi
    chmod +x "$emulator.part"
    mv "$emulator.part" "$emulator"
    rm -rf "$apt_dir"
    "$emulator" --version | head -n 1
}

# Inside the namespace: its own binfmt_misc, the i386 ELF magic bound to the emulator.
enter() {
    mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc 2>/dev/null ||
        fail "no binfmt_misc mount in a user namespace (it needs Linux 6.7 or later; this is $(uname -r))"
    ln -sf qemu-i386 "$interpreter"
    local magic='\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
    local mask='\xff\xff\xff\xff\xff\xfe\xfe\xfc\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
    echo ":korvane-i386:M::$magic:$mask:$interpreter:PF" >/proc/sys/fs/binfmt_misc/register ||
        fail "cannot register the emulator with the namespace's binfmt_misc"
    /usr/lib/wine/wine --version >/dev/null 2>&1 ||
        fail "32-bit Wine (/usr/lib/wine/wine) does not start under the emulator"
    export KORVANE_WINE_EMULATED=1
    exec "$@"
}

case "${1:-}" in
    fetch)
        fetch
        ;;
    run)
        shift
        [ "${1:-}" = -- ] && shift
        [ $# -gt 0 ] || fail "no command given"
        fetch
        unshare --user --map-root-user --mount --propagation private true 2>/dev/null ||
            fail "no private user namespace (unprivileged user namespaces must be allowed)"
        exec unshare --user --map-root-user --mount --propagation private \
            "$0" --in-namespace "$@"
        ;;
    --in-namespace)
        shift
        enter "$@"
        ;;
    *)
        echo "usage: i386_emulation.sh fetch | run -- COMMAND..." >&2
        exit 2
        ;;
esac
