#!/usr/bin/env bash
# Makes the README's pictures of the show with the simulator: four stills at 1024x768 and a
# short animation at 640x480, all into docs/. The show is deterministic, so the same
# simulator gives the same pictures.
#
# Usage: tools/make_docs_pictures.sh [path/to/korvane-sim]
# The simulator defaults to the native-release build:
#   cmake --preset native-release && cmake --build build/native-release --target korvane-sim
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
sim=${1:-${KORVANE_SIM:-$root/build/native-release/tools/sim/korvane-sim}}
# ImageMagick itself; an earlier `convert` on PATH may be something else.
convert=/usr/bin/convert
out=$root/docs

if [[ ! -x $sim ]]; then
    echo "make_docs_pictures: no simulator at $sim (build the native-release preset first)" >&2
    exit 1
fi
if [[ ! -x $convert ]]; then
    echo "make_docs_pictures: ImageMagick's $convert is missing" >&2
    exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"

# Our own message for the pictures; the frames below are picked for it (see --trace).
printf 'Good evening, operator.\r\nThe night shift has begun.\r\nEvery line is quiet...\r\n' \
    >"$work/message.txt"

# picture WIDTH HEIGHT FRAME FILE: the back buffer after FRAME's tick.
picture() {
    "$sim" --width "$1" --height "$2" --frames $(($3 + 1)) --message-file "$work/message.txt" \
        --png-frame "$3" --png "$4"
}

# first_frame_of WIDTH HEIGHT STATE: the first frame the sequencer spends in STATE. The grid's
# size changes how the random numbers fall, so each size has its own timings.
first_frame_of() {
    local trace="$work/trace-$1x$2.jsonl"
    [[ -f $trace ]] || "$sim" --width "$1" --height "$2" --frames 4000 \
        --message-file "$work/message.txt" --trace "$trace"
    grep -m1 -o "\"frame\": [0-9]*, \"state\": $3," "$trace" | grep -o '[0-9]\+' | head -1
}

phone=$(first_frame_of 1024 768 1)
message=$(first_frame_of 1024 768 2)
rain=$(first_frame_of 1024 768 3)

# Title: the product line fully typed at its brightest.
picture 1024 768 130 "$out/show-title.png"
# Telephone trace: part of the number found, the rest still searching.
picture 1024 768 $((phone + 216)) "$out/show-phone.png"
# Typed message: the second line being typed.
picture 1024 768 $((message + 358)) "$out/show-message.png"
# Code rain well after its start, when the streams fill the screen.
picture 1024 768 $((rain + 761)) "$out/show-rain.png"

# The animation: 80 consecutive frames (2.4 s at the saver's 30 ms) of the code rain's
# beginning, streams running down the freshly wiped screen. GIF delays count hundredths.
first=$(($(first_frame_of 640 480 3) + 10))
count=80
export -f picture
export sim work
seq "$first" $((first + count - 1)) |
    xargs -P 2 -I{} bash -c 'picture 640 480 {} "$work/frame-$(printf %05d {}).png"'
"$convert" -delay 3 -loop 0 "$work"/frame-*.png -layers Optimize "$out/show.gif"

ls -l "$out"/show-*.png "$out/show.gif"
