"""The configuration dialog's banner: the product name in bright green glyph style over faint
columns of falling code, 512 x 60, 8 bits per pixel with a ramp of greens."""

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

import glyphs
import sounds

WIDTH, HEIGHT = 512, 60


def palette():
    """Index i is green of intensity i, whitening towards the top like a glowing head."""
    table = []
    for i in range(256):
        f = i / 255.0
        w = round(150 * max(0.0, f - 0.6) / 0.4) if f > 0.6 else 0
        table.append((w, i, w))
    return table


def _rain(cells):
    """Faint columns of code symbols, each column trailing off upwards from its head."""
    layer = Image.new("L", (WIDTH, HEIGHT), 0)
    rng = sounds.Random(0xB4)
    for col in range(WIDTH // 12):
        length = 3 + rng.below(5)
        head = rng.below(7)  # head row; rows are 13 px apart, some heads above the top
        for k in range(length):
            row = head - k
            if row < 0:
                break
            sym = cells[rng.below(25)].resize((8, 12), Image.BOX)
            level = 120 if k == 0 else max(16, 72 - 12 * k)
            tinted = sym.point(lambda v, lv=level: v * lv // 255)
            layer.paste(tinted, (col * 12 + 2, row * 13 - 4), sym)
    return layer


def banner_pixels():
    cells = glyphs.glyph_cells()
    picture = _rain(cells)

    # Darken the rain where the name stands so the letters read cleanly.
    shade = Image.new("L", (WIDTH, HEIGHT), 0)
    ImageDraw.Draw(shade).rectangle([20, 4, 392, 56], fill=255)
    ImageDraw.Draw(shade).rectangle([392, 40, 500, 54], fill=255)
    shade = shade.filter(ImageFilter.GaussianBlur(10))
    picture = Image.composite(Image.new("L", picture.size, 0), picture, shade)

    font = ImageFont.truetype(glyphs.FONT_DIR + "DejaVuSansMono-Bold.ttf", 46)
    name = Image.new("L", (WIDTH, HEIGHT), 0)
    draw = ImageDraw.Draw(name)
    x = 28
    for ch in "KORVANE":
        draw.text((x, -1), ch, font=font, fill=255)
        x += 50
    glow = name.filter(ImageFilter.GaussianBlur(4)).point(lambda v: min(255, v * 2) * 150 // 255)
    small = ImageFont.truetype(glyphs.FONT_DIR + "DejaVuSansMono.ttf", 13)
    sub = Image.new("L", (WIDTH, HEIGHT), 0)
    ImageDraw.Draw(sub).text((392, 40), "Screensaver", font=small, fill=255)

    body = name.point(lambda v: v * 230 // 255)
    out = _max(_max(_max(picture, glow), body), sub.point(lambda v: v * 150 // 255))
    data = out.tobytes()
    return [data[y * WIDTH:(y + 1) * WIDTH] for y in range(HEIGHT)]


def _max(a, b):
    return ImageChops.lighter(a, b)
