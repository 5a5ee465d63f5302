#!/usr/bin/env bash
# Makes build/korvane-<version>.zip with the 32-bit saver, the README and the licence.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows
version=$(sed -n 's/^project(korvane VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
stage=build/package/korvane-$version
rm -rf build/package
mkdir -p "$stage"
cp build/windows/host/korvane.scr README.md LICENSE "$stage/"
[ -d docs ] && cp -r docs "$stage/"
archive="$PWD/build/korvane-$version.zip"
rm -f "$archive"
(cd build/package && zip -qr "$archive" "korvane-$version")
echo "==> $archive"
