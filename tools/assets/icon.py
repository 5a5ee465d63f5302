"""The program icon: columns of falling green code on a black tile, each column led by a
bright head. Images of 16, 32 and 48 pixels, 32-bit BGRA with an AND mask."""

import struct

from PIL import Image, ImageDraw

import strokes

SIZES = (16, 32, 48)

# Layout per size: cell width and height, top offset, and per column (head row, cells lit).
LAYOUT = {
    32: (10, 15, 1, [(1, 2), (0, 1), (1, 2)]),
    48: (11, 15, 1, [(1, 2), (2, 3), (0, 1), (2, 3)]),
}
# The smallest size is drawn as dashes: per column (x, y of the head's dash, dashes lit).
DASHES_16 = [(2, 12, 4), (7, 6, 2), (12, 9, 3)]
SYMBOLS = (5, 0, 14, 9, 3, 11, 18, 6, 16, 2, 12, 19)


def _green(level):
    """Colour of a trail cell: level 1.0 is the head, lower levels trail off."""
    if level >= 1.0:
        return (190, 255, 190)
    g = int(50 + 190 * level)
    return (0, g, int(g * 0.25))


def _trail_level(t, lit):
    return 1.0 if t == 0 else 0.9 - 0.7 * t / lit


def icon_image(size):
    """RGBA picture of one icon size."""
    tile = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    radius = max(2, size // 8)
    ImageDraw.Draw(tile).rounded_rectangle([0, 0, size - 1, size - 1], radius=radius, fill=(0, 10, 3, 255))
    draw = ImageDraw.Draw(tile)
    if size == 16:
        for x, y, lit in DASHES_16:
            for t in range(lit):
                top = y - 3 * t
                if top < 1:
                    break
                draw.rectangle([x, top, x + 2, top + 1], fill=_green(_trail_level(t, lit)) + (255,))
        return tile
    cw, ch, top, columns = LAYOUT[size]
    left = (size - cw * len(columns)) // 2
    k = 0
    for c, (head_row, lit) in enumerate(columns):
        for t in range(lit):
            row = head_row - t
            shape = strokes.CODE_SYMBOLS[SYMBOLS[k % len(SYMBOLS)]]
            k += 1
            mark = strokes.render_strokes(shape, (cw, ch), (1, 1, cw - 2, ch - 2), width=max(1.3, cw / 6.0))
            colour = Image.new("RGBA", (cw, ch), _green(_trail_level(t, lit)) + (255,))
            tile.paste(colour, (left + c * cw, top + row * ch), mark)
    return tile


def _dib(image):
    size = image.size[0]
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    px = image.load()
    xor = bytearray()
    mask = bytearray()
    stride = ((size + 31) // 32) * 4
    for y in range(size - 1, -1, -1):
        bits = bytearray(stride)
        for x in range(size):
            r, g, b, a = px[x, y]
            xor += bytes((b, g, r, a))
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(xor) + bytes(mask)


def ico_bytes():
    images = [_dib(icon_image(s)) for s in SIZES]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for s, data in zip(SIZES, images):
        entries += struct.pack("<BBBBHHII", s, s, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + entries + b"".join(images)
