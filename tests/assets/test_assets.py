"""Tests of the asset generators: they run the generator into a temporary directory and read
the files back with their own simple decoders."""

import os
import struct
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
GENERATOR = os.path.join(HERE, "..", "..", "tools", "assets", "generate_assets.py")
FILES = ("glyphs.bmp", "banner.bmp", "korvane.ico", "sound133.wav", "sound134.wav", "sound136.wav", "sound138.wav")


def generate(out_dir):
    subprocess.run([sys.executable, GENERATOR, "--out", out_dir], check=True, timeout=300)
    result = {}
    for name in FILES:
        with open(os.path.join(out_dir, name), "rb") as f:
            result[name] = f.read()
    return result


def read_bmp(data):
    """(header fields, palette as (r, g, b), rows top-first) of an 8-bit BI_RGB or BI_RLE8 bitmap."""
    magic, file_size, _, _, offset = struct.unpack_from("<2sIHHI", data, 0)
    size, width, height, planes, bpp, compression, image_size, _, _, used, _ = struct.unpack_from(
        "<IiiHHIIiiII", data, 14)
    header = dict(magic=magic, file_size=file_size, size=size, width=width, height=height, planes=planes,
                  bpp=bpp, compression=compression, image_size=image_size, colours=used, offset=offset)
    palette = []
    for i in range(used or 256):
        b, g, r, _ = struct.unpack_from("<BBBB", data, 14 + size + 4 * i)
        palette.append((r, g, b))
    bits = data[offset:]
    if compression == 0:
        stride = (width + 3) & ~3
        rows = [bits[y * stride:y * stride + width] for y in range(height)]
    else:
        rows = decode_rle8(bits, width, height)
    return header, palette, list(reversed(rows))


def decode_rle8(bits, width, height):
    """Bottom-up rows of an RLE8 stream; fails loudly on anything out of bounds."""
    rows = [bytearray(width) for _ in range(height)]
    x = y = i = 0
    while True:
        count, value = bits[i], bits[i + 1]
        i += 2
        if count:
            if x + count > width:
                raise ValueError("run past the end of row %d" % y)
            rows[y][x:x + count] = bytes([value]) * count
            x += count
        elif value == 0:
            if x != width:
                raise ValueError("row %d ends after %d pixels" % (y, x))
            x, y = 0, y + 1
        elif value == 1:
            if (x, y) != (width, height - 1):
                raise ValueError("bitmap ends early at (%d, %d)" % (x, y))
            return rows
        elif value == 2:
            raise ValueError("unexpected delta code")
        else:
            if x + value > width:
                raise ValueError("absolute run past the end of row %d" % y)
            rows[y][x:x + value] = bits[i:i + value]
            x += value
            i += value + (value & 1)


def read_wav(data):
    """(format tag, channels, rate, bits, samples) of a RIFF WAVE file."""
    riff, size, wave = struct.unpack_from("<4sI4s", data, 0)
    assert riff == b"RIFF" and wave == b"WAVE" and size == len(data) - 8
    pos = 12
    fmt = samples = None
    while pos < len(data):
        tag, length = struct.unpack_from("<4sI", data, pos)
        body = data[pos + 8:pos + 8 + length]
        if tag == b"fmt ":
            fmt = struct.unpack_from("<HHIIHH", body, 0)
        elif tag == b"data":
            samples = body
        pos += 8 + length + (length & 1)
    tag, channels, rate, byte_rate, align, bits = fmt
    assert byte_rate == rate * channels * bits // 8 and align == channels * bits // 8
    return tag, channels, rate, bits, samples


_generated = {}


def setUpModule():
    with tempfile.TemporaryDirectory() as out:
        _generated.update(generate(out))


class Generated(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.files = _generated
        cls.sheet_header, cls.palette, cls.sheet = read_bmp(cls.files["glyphs.bmp"])

    def cell(self, band, glyph):
        x0, y0 = 16 * (glyph % 40), 72 * band + 24 * (glyph // 40)
        return [bytes(row[x0:x0 + 16]) for row in self.sheet[y0:y0 + 24]]


class GlyphSheet(Generated):
    def test_header_and_palette(self):
        h = self.sheet_header
        self.assertEqual((h["magic"], h["size"], h["width"], h["height"]), (b"BM", 40, 640, 480))
        self.assertEqual((h["planes"], h["bpp"], h["compression"], h["colours"]), (1, 8, 1, 256))
        self.assertEqual(h["file_size"], len(self.files["glyphs.bmp"]))
        self.assertEqual(h["offset"], 14 + 40 + 1024)
        self.assertEqual(h["image_size"], len(self.files["glyphs.bmp"]) - h["offset"])
        self.assertEqual(self.palette[0], (0, 0, 0))
        self.assertEqual(self.palette[255], (255, 255, 255))
        used = set().union(*(set(row) for row in self.sheet))
        self.assertNotIn(255, used)
        # Black is black only at index 0, so a colour match for black finds 0.
        self.assertNotIn((0, 0, 0), self.palette[1:])

    def test_area_below_bands_is_black(self):
        self.assertTrue(all(not any(row) for row in self.sheet[288:]))

    def test_bands_grow_brighter(self):
        peaks = []
        for band in range(4):
            rows = self.sheet[72 * band:72 * band + 72]
            peaks.append(max(self.palette[v][1] for row in rows for v in row))
        self.assertTrue(110 <= peaks[0] <= 130, peaks)
        self.assertEqual(peaks[3], 255)
        self.assertTrue(peaks[0] < peaks[1] < peaks[2] < peaks[3], peaks)
        # Each band keeps to its own greens: the same glyph is brighter pixel for pixel.
        a = self.cell(0, 26)
        b = self.cell(3, 26)
        for ra, rb in zip(a, b):
            for va, vb in zip(ra, rb):
                self.assertEqual(va == 0, vb == 0)
                self.assertGreaterEqual(self.palette[vb][1], self.palette[va][1])

    def test_blank_cells(self):
        for band in range(4):
            for g in (25, 98, 117, 118, 119):
                self.assertFalse(any(any(row) for row in self.cell(band, g)), (band, g))
            marked = self.cell(band, 116)
            self.assertTrue(all(marked[0][:6]), band)
            self.assertFalse(any(marked[0][6:]) or any(any(row) for row in marked[1:]), band)
            self.assertLess(max(self.palette[v][1] for v in marked[0][:6]), 12)

    def test_block_is_solid_in_every_band(self):
        for band in range(4):
            block = self.cell(band, 114)
            self.assertEqual(len(set(b"".join(block))), 1, band)
            self.assertNotEqual(block[0][0], 0)

    def test_every_drawn_glyph_has_ink(self):
        blank = {25, 98, 116, 117, 118, 119}
        for g in range(120):
            if g not in blank:
                self.assertTrue(any(any(row) for row in self.cell(3, g)), g)

    def test_code_symbols_distinct_from_each_other_and_from_text(self):
        def ink(g):
            return tuple(tuple(v != 0 for v in row) for row in self.cell(3, g))

        symbols = [ink(g) for g in range(25)]
        for i in range(25):
            for j in range(i + 1, 25):
                diff = sum(a != b for ra, rb in zip(symbols[i], symbols[j]) for a, b in zip(ra, rb))
                self.assertGreater(diff, 20, (i, j))
        text = {ink(g) for g in range(26, 116)}
        for g, s in enumerate(symbols):
            self.assertNotIn(s, text, g)

    def test_the_two_sign_symbols_resemble_less_than_and_tilde(self):
        # Glyph 23 leans on the left like "<" (the point at the left, the arms at the right);
        # glyph 24 is a flat wave in the middle rows like "~".
        less = self.cell(3, 23)
        self.assertTrue(any(row[1:4] for row in less[11:15]))
        self.assertFalse(any(any(row[1:4]) for row in less[:6]))
        tilde = self.cell(3, 24)
        inked_rows = [y for y, row in enumerate(tilde) if any(row)]
        self.assertLess(max(inked_rows) - min(inked_rows), 9)


class Pictures(Generated):
    def test_banner(self):
        h, palette, rows = read_bmp(self.files["banner.bmp"])
        self.assertEqual((h["width"], h["height"], h["bpp"], h["size"]), (512, 60, 8, 40))
        self.assertIn(h["compression"], (0, 1))
        self.assertEqual(h["file_size"], len(self.files["banner.bmp"]))
        self.assertEqual(palette[0], (0, 0, 0))
        # Mostly dark with a bright name on it.
        values = [palette[v][1] for row in rows for v in row]
        self.assertGreater(max(values), 200)
        self.assertGreater(sum(1 for v in values if v < 40), len(values) // 2)

    def test_icon(self):
        data = self.files["korvane.ico"]
        reserved, kind, count = struct.unpack_from("<HHH", data, 0)
        self.assertEqual((reserved, kind), (0, 1))
        sizes = set()
        for i in range(count):
            w, hgt, colours, _, planes, bpp, length, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
            w, hgt = w or 256, hgt or 256
            self.assertLessEqual(offset + length, len(data))
            sizes.add(w)
            self.assertEqual(w, hgt)
            if data[offset:offset + 8] == b"\x89PNG\r\n\x1a\n":
                self.assertEqual(w, 256)
                continue
            size, dw, dh, dplanes, dbpp = struct.unpack_from("<IiiHH", data, offset)
            self.assertEqual((size, dw, dh, dplanes, dbpp, bpp), (40, w, 2 * w, 1, 32, 32))
            mask_stride = ((w + 31) // 32) * 4
            self.assertEqual(length, 40 + 4 * w * w + mask_stride * w)
            # Transparent pixels (alpha 0) are exactly those set in the AND mask.
            pixels = data[offset + 40:offset + 40 + 4 * w * w]
            mask = data[offset + 40 + 4 * w * w:offset + length]
            for y in range(w):
                for x in range(w):
                    alpha = pixels[4 * (y * w + x) + 3]
                    bit = mask[y * mask_stride + x // 8] >> (7 - x % 8) & 1
                    self.assertEqual(bit == 1, alpha == 0, (w, x, y))
            green = max(pixels[4 * i + 1] for i in range(w * w))
            self.assertGreater(green, 200)
        self.assertTrue({16, 32, 48} <= sizes, sizes)


class Sounds(Generated):
    EXPECTED = {
        "sound133.wav": (11025, 3.89),
        "sound134.wav": (11025, 0.67),
        "sound136.wav": (48000, 0.19),
        "sound138.wav": (11025, 16.83),
    }

    def test_format_and_length(self):
        for name, (rate, seconds) in self.EXPECTED.items():
            tag, channels, got_rate, bits, samples = read_wav(self.files[name])
            self.assertEqual((tag, channels, got_rate, bits), (1, 1, rate, 8), name)
            self.assertAlmostEqual(len(samples) / rate, seconds, delta=seconds * 0.01, msg=name)

    def test_no_clipping_and_not_silent(self):
        for name in self.EXPECTED:
            samples = read_wav(self.files[name])[4]
            self.assertGreater(min(samples), 0, name)
            self.assertLess(max(samples), 255, name)
            self.assertGreater(max(samples) - min(samples), 100, name)

    def test_loops_join_smoothly(self):
        for name in ("sound133.wav", "sound134.wav"):
            s = read_wav(self.files[name])[4]
            steps = sorted(abs(a - b) for a, b in zip(s, s[1:]))
            typical = steps[int(len(steps) * 0.75)]
            self.assertLessEqual(abs(s[-1] - s[0]), max(typical, 2), name)
            # Also the slope carries on: the step into the seam is like the steps around it.
            before = s[-1] - s[-2]
            across = s[0] - s[-1]
            self.assertLessEqual(abs(across - before), max(typical, 2), name)

    def test_one_shot_sounds_end_in_silence(self):
        for name in ("sound136.wav", "sound138.wav"):
            s = read_wav(self.files[name])[4]
            self.assertTrue(all(abs(v - 128) <= 1 for v in s[-20:]), name)
        music = read_wav(self.files["sound138.wav"])[4]
        self.assertTrue(all(abs(v - 128) <= 1 for v in music[:20]))

    def test_music_is_more_than_a_tone(self):
        # A piece has loud and quiet stretches and many distinct values; a held tone does not.
        s = read_wav(self.files["sound138.wav"])[4]
        half = 11025 // 2

        def power(seg):
            return sum((v - 128) ** 2 for v in seg) / len(seg)

        levels = [power(s[k * half:(k + 1) * half]) for k in range(len(s) // half)]
        self.assertLess(levels[0], max(levels) / 4)  # it fades in
        self.assertLess(power(s[-half:]), max(levels) / 4)  # and out
        self.assertGreater(min(levels[4:-4]), max(levels) / 20)  # no gaps in the middle
        self.assertGreater(len(set(s)), 150)


class Determinism(Generated):
    def test_two_runs_give_the_same_bytes(self):
        with tempfile.TemporaryDirectory() as other:
            again = generate(other)
        for name in FILES:
            self.assertEqual(self.files[name], again[name], name)


if __name__ == "__main__":
    unittest.main()
