#!/usr/bin/python3
"""Compares a screenshot with the simulator's picture, pixel by pixel.

    compare_pictures.py SCREENSHOT EXPECTED [--565]

With --565 both are compared as a 16-bit 5-6-5 screen holds them: the top 5, 6 and 5 bits of
each channel. Exit status 0 when every pixel matches, 1 otherwise, with where they differ.
"""
import sys

from PIL import Image, ImageChops


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
    if reduce_565:
        shot = squeeze_565(shot)
        expected = squeeze_565(expected)
    box = ImageChops.difference(shot, expected).getbbox()
    if box is not None:
        # Slow but only on failure: count and locate the differences.
        width = shot.size[0]
        got, want = list(shot.getdata()), list(expected.getdata())
        differing = [i for i, (a, b) in enumerate(zip(got, want)) if a != b]
        first = differing[0]
        print(f"{len(differing)} of {len(want)} pixels differ, within {box}; first at "
              f"({first % width}, {first // width}): screenshot {got[first]}, "
              f"expected {want[first]}")
        return 1
    lit = expected.size[0] * expected.size[1] - expected.convert("L").histogram()[0]
    print(f"all {shot.size[0] * shot.size[1]} pixels match ({lit} lit)")
    return 0


def squeeze_565(picture):
    """Keeps the top 5, 6 and 5 bits of red, green and blue."""
    red, green, blue = picture.split()
    return Image.merge("RGB", (red.point(lambda v: v & 0xF8), green.point(lambda v: v & 0xFC),
                               blue.point(lambda v: v & 0xF8)))


if __name__ == "__main__":
    sys.exit(main(sys.argv))
