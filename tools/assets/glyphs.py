"""The glyph sheet: four bands of the same 120 glyph cells, dimmest band at the top.

Palette: index 0 black; band k owns the 63 indices 1 + 63k .. 63 + 63k, a ramp of greens from
nearly black to the band's peak; 253 and 254 are spare greys; 255 stays white and is never
used by a pixel (a palette made from this table may have its last entry forced to white).
"""

from PIL import Image, ImageDraw, ImageFont

import strokes

WIDTH, HEIGHT = 640, 480
CELL_W, CELL_H = 16, 24
CELLS_PER_ROW = 40
BAND_HEIGHT = 72
BANDS = 4
LEVELS = 63  # anti-aliasing levels per band, not counting black

FONT_DIR = "/usr/share/fonts/truetype/dejavu/"
TEXT_FONT = FONT_DIR + "DejaVuSansMono-Bold.ttf"
TEXT_SIZE = 20

# Brightest green of each band, and how much white the band's top levels carry.
BAND_PEAK = (120, 165, 210, 255)
BAND_WHITE = (0, 0, 28, 96)

# The text characters, in table order from index 1 (index 0 is the space, glyph 25).
CHARSET = (
    [chr(c) for c in range(ord("A"), ord("Z") + 1)]
    + [chr(c) for c in range(ord("a"), ord("z") + 1)]
    + list("0123456789")
    + list("-+*/.,;:<>")
    + [" ", "$", "_", "\u00a7"]
    + list("'!%[]{}()@#~")
    + ["|", "&"]
)
assert len(CHARSET) == 90

BLANK = 25
SECOND_SPACE = 98
BLOCK = 114
MARKED_BLANK = 116
# Cells that do not show their own character.
SUBSTITUTES = {
    101: '"',  # table character 0xA7
    102: "\u00a7",  # table character "'"
    112: "circled-TM",  # "#"
    113: "circled-C",  # "~"
    BLOCK: "block",  # "|"
}


def palette():
    table = [(0, 0, 0)]
    for band in range(BANDS):
        for j in range(1, LEVELS + 1):
            f = j / LEVELS
            g = round(BAND_PEAK[band] * f ** 0.85)
            w = round(BAND_WHITE[band] * f ** 3)
            table.append((w, g, w))
    table += [(128, 128, 128), (192, 192, 192), (255, 255, 255)]
    assert len(table) == 256
    return table


def band_index(band, coverage):
    """Palette index of a pixel of the given coverage (0..255) in a band."""
    j = (coverage * LEVELS + 127) // 255
    return 0 if j == 0 else 1 + band * LEVELS + (j - 1)


def _text_font():
    return ImageFont.truetype(TEXT_FONT, TEXT_SIZE)


def _font_cell(ch, font, mirror=False):
    cell = Image.new("L", (CELL_W, CELL_H), 0)
    draw = ImageDraw.Draw(cell)
    left, _, right, _ = font.getbbox(ch)
    x = (CELL_W - (right - left)) // 2 - left
    draw.text((x, -1), ch, font=font, fill=255)
    if mirror:
        cell = cell.transpose(Image.FLIP_LEFT_RIGHT)
    return cell


def _circled(letters):
    """A ring filling the cell's width with small letters inside, drawn supersampled."""
    s = strokes.SUPER
    canvas = Image.new("L", (CELL_W * s, CELL_H * s), 0)
    draw = ImageDraw.Draw(canvas)
    cx, cy, r = 8 * s, 12 * s, 7.3 * s
    draw.ellipse([cx - r, cy - r, cx + r, cy + r], outline=255, width=int(1.6 * s))
    font = ImageFont.truetype(FONT_DIR + "DejaVuSansCondensed-Bold.ttf", (8 if len(letters) == 1 else 6) * s)
    left, top, right, bottom = font.getbbox(letters)
    draw.text((cx - (left + right) / 2, cy - (top + bottom) / 2), letters, font=font, fill=255)
    return canvas.resize((CELL_W, CELL_H), Image.BOX)


def glyph_cells():
    """Coverage images ('L', 16 x 24) of the 120 glyphs, or None for a blank cell."""
    font = _text_font()
    cells = [None] * 120
    for g, sym in enumerate(strokes.CODE_SYMBOLS):
        if isinstance(sym, str):
            cells[g] = _font_cell(sym, font, mirror=True)
        else:
            cells[g] = strokes.render_strokes(sym)
    for i, ch in enumerate(CHARSET, start=1):
        g = BLANK + i
        what = SUBSTITUTES.get(g, ch)
        if g == SECOND_SPACE or what == " ":
            continue
        if what == "block":
            cells[g] = Image.new("L", (CELL_W, CELL_H), 255)
        elif what == "circled-TM":
            cells[g] = _circled("TM")
        elif what == "circled-C":
            cells[g] = _circled("C")
        else:
            cells[g] = _font_cell(what, font)
    return cells


def sheet_pixels():
    """The sheet as a list of 480 rows of palette indices, top row first."""
    pixels = [bytearray(WIDTH) for _ in range(HEIGHT)]
    cells = glyph_cells()
    for band in range(BANDS):
        lut = bytes(band_index(band, c) for c in range(256))
        for g, cell in enumerate(cells):
            if cell is None:
                continue
            x0 = CELL_W * (g % CELLS_PER_ROW)
            y0 = BAND_HEIGHT * band + CELL_H * (g // CELLS_PER_ROW)
            data = cell.tobytes()
            for y in range(CELL_H):
                pixels[y0 + y][x0:x0 + CELL_W] = data[y * CELL_W:(y + 1) * CELL_W].translate(lut)
        # The end of a descender from the cell above: six nearly black pixels.
        x0 = CELL_W * (MARKED_BLANK % CELLS_PER_ROW)
        y0 = BAND_HEIGHT * band + CELL_H * (MARKED_BLANK // CELLS_PER_ROW)
        pixels[y0][x0:x0 + 6] = bytes([1 + band * LEVELS]) * 6
    return pixels
