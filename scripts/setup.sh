#!/usr/bin/env bash
# Installs what building and testing Korvane needs on Debian or Ubuntu. Safe to run again:
# it installs only what is missing and says what it does.
set -euo pipefail

say() { printf '==> %s\n' "$*"; }

if [ "$(id -u)" -eq 0 ]; then
    SUDO=()
elif command -v sudo >/dev/null 2>&1; then
    SUDO=(sudo)
else
    echo "setup: need root or sudo to install packages" >&2
    exit 1
fi

packages=(
    cmake make g++ clang libclang-rt-14-dev clang-format
    libgtest-dev libgmock-dev googletest libbenchmark-dev libpng-dev
    g++-mingw-w64-i686 mingw-w64-i686-dev g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev
    wine wine32:i386 wine64
    # Wine's Direct3D draws through OpenGL where the libraries of its word size are present
    # (Mesa's software rasteriser under Xvfb); without them it falls back to a renderer
    # without OpenGL.
    libgl1 libgl1-mesa-dri libgl1:i386 libgl1-mesa-dri:i386
    # ALSA for both word sizes: one end-to-end session gives Wine a working sound output
    # (the null device behind a file of its own)
    libasound2 libasound2:i386
    # x11-xserver-utils: xrdb, to give the test servers an Xft.dpi
    xvfb xauth xdotool imagemagick x11-apps x11-utils x11-xserver-utils
    # korvane-x11: Xlib and the MIT-SHM extension
    libx11-dev libxext-dev
    python3 python3-pil fonts-dejavu-core zip
)

missing=()
for pkg in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$pkg")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    say "all build and test packages are installed"
else
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        say "adding the i386 architecture (32-bit Wine)"
        "${SUDO[@]}" dpkg --add-architecture i386
    fi
    say "updating the package lists"
    # A mirror in the middle of a sync serves an index that does not match its release file;
    # it is tried again, and then the lists that did come are used.
    updated=0
    for attempt in 1 2 3; do
        if "${SUDO[@]}" apt-get update -qq; then
            updated=1
            break
        fi
        [ $attempt -lt 3 ] && sleep 10
    done
    [ $updated -eq 1 ] || say "some package lists could not be fetched: going on with those that came"
    install() {
        "${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$@"
    }
    say "installing: ${missing[*]}"
    if ! install "${missing[@]}"; then
        # With the update suite's list of one architecture missing, its packages of the other
        # architecture can no longer be matched (both must be of one version). The release's
        # own suite, whose lists came for both, still agrees with itself.
        # shellcheck disable=SC1091
        codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
        if [ $updated -eq 1 ] || [ -z "$codename" ]; then
            exit 1
        fi
        say "installing from the $codename suite first, whose lists came for every architecture"
        install -t "$codename" "${missing[@]}"
    fi
fi

if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    say "32-bit Wine runs here: Windows tests use the 32-bit build"
else
    say "this kernel cannot run 32-bit programs: Windows tests use the 64-bit build under wine64"
fi
