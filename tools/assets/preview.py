"""Enlarged PNG previews of the generated pictures, for looking at them."""

import os

from PIL import Image

import icon


def write_previews(asset_dir, preview_dir):
    sheet = Image.open(os.path.join(asset_dir, "glyphs.bmp")).convert("RGB")
    sheet.crop((0, 216, 640, 288)).resize((2560, 288), Image.NEAREST).save(
        os.path.join(preview_dir, "glyphs-preview.png"))
    sheet.crop((0, 0, 640, 288)).resize((1280, 576), Image.NEAREST).save(
        os.path.join(preview_dir, "glyphs-bands.png"))
    banner = Image.open(os.path.join(asset_dir, "banner.bmp")).convert("RGB")
    banner.resize((1024, 120), Image.NEAREST).save(os.path.join(preview_dir, "banner-preview.png"))
    scale = 8
    width = sum(s * scale + 16 for s in icon.SIZES)
    canvas = Image.new("RGB", (width, max(icon.SIZES) * scale), (64, 64, 96))
    x = 0
    for s in icon.SIZES:
        picture = icon.icon_image(s).resize((s * scale, s * scale), Image.NEAREST)
        canvas.paste(picture, (x, 0), picture)
        x += s * scale + 16
    canvas.save(os.path.join(preview_dir, "icon-preview.png"))
