"""Anti-aliased stroke drawing and the stroke shapes of the 25 code symbols.

A shape is a list of polylines in a 12 x 18 design box (x to the right, y down). Shapes are
drawn four times larger with round joints and caps and then reduced with a box filter, which
gives smooth edges in the grey levels 0..255.
"""

from PIL import Image, ImageDraw

SUPER = 4

# The code symbols: strokes in the manner of half-width katakana, and signs.
# None marks a symbol that is drawn from the font instead (a mirrored digit or letter).
KATA_A = [[(1, 2), (11, 2), (9.5, 5), (7, 7.5)], [(6, 6), (6, 12), (3, 17)]]
KATA_U = [[(6, 0), (6, 3)], [(2, 7), (2, 3.5), (10.5, 3.5), (10.5, 8), (8, 13), (4, 17)]]
KATA_KA = [[(1, 5.5), (10.5, 5.5), (10.5, 11), (9, 15.5), (6.5, 16.5)], [(5, 0.5), (5, 9), (1.5, 17)]]
KATA_KI = [[(1.5, 5.5), (10.5, 4)], [(1, 11), (11.5, 9.5)], [(5, 0.5), (7.5, 17.5)]]
KATA_SA = [[(0.5, 6), (11.5, 6)], [(3.5, 1), (3.5, 10.5)], [(8.5, 1), (8.5, 10), (7, 14), (3.5, 17)]]
KATA_SHI = [[(1.5, 3), (4, 5)], [(1, 8.5), (3.5, 10.5)], [(2, 17), (7, 14), (11, 6.5)]]
KATA_TE = [[(2.5, 2), (9.5, 2)], [(0.5, 7), (11.5, 7)], [(6, 7), (6, 12), (3, 17)]]
KATA_NA = [[(0.5, 6.5), (11.5, 6.5)], [(6.5, 1), (6.5, 11), (3, 17)]]
KATA_HA = [[(4.5, 5), (3, 11), (0.5, 16)], [(7.5, 5), (10, 10.5), (11.5, 16)]]
KATA_HO = [[(0.5, 5), (11.5, 5)], [(6, 0.5), (6, 17.5), (4.5, 16.5)], [(2.5, 9.5), (0.5, 14)], [(9.5, 9.5), (11.5, 14)]]
KATA_MI = [[(2, 2), (9.5, 4.5)], [(3, 8), (9.5, 10)], [(1.5, 13), (10.5, 17)]]
KATA_ME = [[(10, 1.5), (8, 9), (1, 17)], [(3, 7), (11, 15)]]
KATA_RI = [[(3, 2), (3, 10)], [(9, 1), (9, 10), (7.5, 14.5), (4, 17.5)]]
KATA_WA = [[(1, 3), (1, 8)], [(1, 3), (11, 3), (11, 8), (8.5, 13.5), (4, 17.5)]]
SIGN_DAGGER = [[(6, 0), (6, 18)], [(1.5, 5), (10.5, 5)], [(1.5, 11), (10.5, 11)]]
SIGN_PHI = [[(6, 0), (6, 18)], "ring"]
SIGN_LESS = [[(11, 3), (1, 10), (11, 17)]]
SIGN_TILDE = [[(0.5, 11), (1.5, 8.5), (3, 7.5), (4.5, 8), (7.5, 11), (9, 11.5), (10.5, 10.5), (11.5, 8)]]

# Glyph index -> strokes, or a character to mirror from the font.
CODE_SYMBOLS = [
    KATA_A, "3", KATA_U, KATA_KA, "Z", KATA_KI, KATA_SA, "5", KATA_SHI, KATA_TE,
    "E", KATA_NA, KATA_HA, "4", KATA_HO, KATA_MI, KATA_ME, "R", KATA_RI, KATA_WA,
    "9", SIGN_DAGGER, SIGN_PHI, SIGN_LESS, SIGN_TILDE,
]


def draw_polyline(draw, points, width, fill=255):
    """One polyline with round joints and caps on a supersampled canvas."""
    r = width / 2.0
    for a, b in zip(points, points[1:]):
        draw.line([a, b], fill=fill, width=int(round(width)))
    for (x, y) in points:
        draw.ellipse([x - r, y - r, x + r, y + r], fill=fill)


def render_strokes(shape, size=(16, 24), box=(2, 3, 12, 18), width=2.3):
    """Render a stroke shape into an 'L' image of the given size. The design box (12 x 18
    units) is placed at box = (left, top, width, height) in pixels."""
    w, h = size
    canvas = Image.new("L", (w * SUPER, h * SUPER), 0)
    draw = ImageDraw.Draw(canvas)
    left, top, bw, bh = box
    sx = bw / 12.0 * SUPER
    sy = bh / 18.0 * SUPER
    stroke = width * SUPER

    def place(p):
        return (left * SUPER + p[0] * sx, top * SUPER + p[1] * sy)

    for part in shape:
        if part == "ring":
            cx, cy = place((6, 9))
            rx, ry = 5 * sx, 5.2 * sy
            draw.ellipse([cx - rx, cy - ry, cx + rx, cy + ry], outline=255, width=int(round(stroke)))
        else:
            draw_polyline(draw, [place(p) for p in part], stroke)
    return canvas.resize((w, h), Image.BOX)
