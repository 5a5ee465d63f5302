#!/usr/bin/python3
"""Compares a screenshot with the simulator's picture, pixel by pixel.

    compare_pictures.py SCREENSHOT EXPECTED [--565]

With --565 both are compared as a 16-bit 5-6-5 screen holds them: the top 5, 6 and 5 bits of
each channel. Exit status 0 when every pixel matches, 1 otherwise, with where they differ.
"""
import sys

from PIL import Image


def main(argv):
    args = [a for a in argv[1:] if not a.startswith("--")]
    reduce_565 = "--565" in argv
    if len(args) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    shot = Image.open(args[0]).convert("RGB")
    expected = Image.open(args[1]).convert("RGB")
    if shot.size != expected.size:
        print(f"size differs: screenshot {shot.size}, expected {expected.size}")
        return 1
    width = shot.size[0]
    got = list(shot.getdata())
    want = list(expected.getdata())
    if reduce_565:
        def squeeze(p):
            return (p[0] >> 3, p[1] >> 2, p[2] >> 3)
        got = [squeeze(p) for p in got]
        want = [squeeze(p) for p in want]
    differing = [i for i, (a, b) in enumerate(zip(got, want)) if a != b]
    if differing:
        first = differing[0]
        print(f"{len(differing)} of {len(want)} pixels differ; first at "
              f"({first % width}, {first // width}): screenshot {got[first]}, "
              f"expected {want[first]}")
        return 1
    lit = sum(1 for p in want if p != (0, 0, 0))
    print(f"all {len(want)} pixels match ({lit} lit)")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
