#!/usr/bin/python3
"""Generate Korvane's art and sound: the glyph sheet, the dialog banner, the icon and the four
wave sounds. Deterministic: the same bytes on every run.

    /usr/bin/python3 tools/assets/generate_assets.py --out DIR [--preview DIR]
"""

import argparse
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import banner  # noqa: E402
import bmp  # noqa: E402
import glyphs  # noqa: E402
import icon  # noqa: E402
import sounds  # noqa: E402

OUTPUTS = (
    "glyphs.bmp",
    "banner.bmp",
    "korvane.ico",
    "sound133.wav",
    "sound134.wav",
    "sound136.wav",
    "sound138.wav",
)


def _write(path, data):
    # Write through a temporary name so an interrupted run never leaves a half file behind.
    tmp = path + ".tmp"
    with open(tmp, "wb") as f:
        f.write(data)
    os.replace(tmp, path)


def build_all():
    """All outputs as {file name: bytes}."""
    out = {}
    out["glyphs.bmp"] = bmp.encode_rle8(glyphs.WIDTH, glyphs.sheet_pixels(), glyphs.palette())
    out["banner.bmp"] = bmp.encode_rgb8(banner.WIDTH, banner.banner_pixels(), banner.palette())
    out["korvane.ico"] = icon.ico_bytes()
    out.update(sounds.build())
    assert sorted(out) == sorted(OUTPUTS)
    return out


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", required=True, help="directory for the generated files")
    parser.add_argument("--preview", help="also write enlarged PNG previews into this directory")
    args = parser.parse_args(argv)
    os.makedirs(args.out, exist_ok=True)
    files = build_all()
    for name, data in files.items():
        _write(os.path.join(args.out, name), data)
    if args.preview:
        import preview
        os.makedirs(args.preview, exist_ok=True)
        preview.write_previews(args.out, args.preview)
    return 0


if __name__ == "__main__":
    sys.exit(main())
