"""Writers for 8-bit Windows bitmaps: uncompressed (BI_RGB) and run-length encoded (BI_RLE8).

Pictures are given as a list of rows, top row first, each row a bytes-like object of palette
indices; the palette is a list of 256 (red, green, blue) tuples. Files are written bottom-up,
as the format stores them.
"""

import struct

BI_RGB = 0
BI_RLE8 = 1


def _headers(width, height, palette, compression, image):
    if len(palette) != 256:
        raise ValueError("an 8-bit bitmap here always carries 256 colours")
    colour_table = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette)
    info = struct.pack(
        "<IiiHHIIiiII",
        40,  # biSize
        width,
        height,  # positive: bottom-up
        1,  # biPlanes
        8,  # biBitCount
        compression,
        len(image),  # biSizeImage
        2835,  # 72 dpi
        2835,
        256,  # biClrUsed
        0,  # biClrImportant: all
    )
    offset = 14 + len(info) + len(colour_table)
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(image), 0, 0, offset)
    return file_header + info + colour_table + image


def _check(rows, width):
    for row in rows:
        if len(row) != width:
            raise ValueError("every row must be %d pixels wide" % width)


def encode_rgb8(width, rows, palette):
    """An uncompressed 8-bit bitmap file."""
    _check(rows, width)
    stride = (width + 3) & ~3
    pad = bytes(stride - width)
    image = b"".join(bytes(row) + pad for row in reversed(rows))
    return _headers(width, len(rows), palette, BI_RGB, image)


def _encode_row(row, out):
    """RLE8 codes for one row: repeated bytes become (count, value) pairs, stretches of
    differing bytes become absolute runs (0, n, bytes..., padded to an even length)."""
    n = len(row)
    i = 0
    literal = bytearray()

    def flush_literal():
        start = 0
        while start < len(literal):
            chunk = literal[start:start + 255]
            start += len(chunk)
            if len(chunk) < 3:
                # Absolute mode needs at least three bytes; shorter pieces go as runs of one.
                for value in chunk:
                    out.extend((1, value))
            else:
                out.extend((0, len(chunk)))
                out.extend(chunk)
                if len(chunk) & 1:
                    out.append(0)
        literal.clear()

    while i < n:
        value = row[i]
        run = 1
        while i + run < n and run < 255 and row[i + run] == value:
            run += 1
        if run >= 3 or (run == 2 and not literal):
            flush_literal()
            out.extend((run, value))
        else:
            literal.extend(row[i:i + run])
        i += run
    flush_literal()


def encode_rle8(width, rows, palette):
    """An RLE8-compressed 8-bit bitmap file. Every pixel is coded explicitly (no deltas, no
    early line ends), so no decoder has to guess what skipped pixels hold."""
    _check(rows, width)
    out = bytearray()
    bottom_up = list(reversed(rows))
    for index, row in enumerate(bottom_up):
        _encode_row(bytes(row), out)
        if index + 1 < len(bottom_up):
            out.extend((0, 0))  # end of line
    out.extend((0, 1))  # end of bitmap
    return _headers(width, len(rows), palette, BI_RLE8, bytes(out))
