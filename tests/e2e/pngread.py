"""A small PNG reader for the tests: 8-bit RGB or RGBA, not interlaced (what cairo writes)."""
import struct
import zlib


def read_png(path):
    """(width, height, rows) with rows[y][x] = (r, g, b)."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG file")
    pos, idat, width, height, kind = 8, b"", 0, 0, 0
    while pos < len(data):
        length, tag = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if tag == b"IHDR":
            width, height, depth, kind, _, _, interlace = struct.unpack(">IIBBBBB", body)
            if depth != 8 or kind not in (2, 6) or interlace:
                raise ValueError("unsupported PNG form")
        elif tag == b"IDAT":
            idat += body
        pos += 12 + length
    channels = 3 if kind == 2 else 4
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        start = y * (stride + 1)
        kind_of_filter = raw[start]
        line = bytearray(raw[start + 1:start + 1 + stride])
        for i in range(stride):
            a = line[i - channels] if i >= channels else 0
            b = previous[i]
            c = previous[i - channels] if i >= channels else 0
            if kind_of_filter == 1:
                line[i] = (line[i] + a) & 255
            elif kind_of_filter == 2:
                line[i] = (line[i] + b) & 255
            elif kind_of_filter == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif kind_of_filter == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append([tuple(line[x * channels:x * channels + 3]) for x in range(width)])
        previous = line
    return width, height, rows


def box_of(rows, wanted):
    """The bounding box (x0, y0, x1, y1) of the pixels for which wanted(rgb) holds, or None."""
    xs, ys = [], []
    for y, row in enumerate(rows):
        for x, rgb in enumerate(row):
            if wanted(rgb):
                xs.append(x)
                ys.append(y)
    if not xs:
        return None
    return min(xs), min(ys), max(xs), max(ys)


def reddish(rgb):
    r, g, b = rgb
    return r > 180 and g < 120 and b < 120


def bluish(rgb):
    r, g, b = rgb
    return b > 180 and r < 120 and g < 120


def inked(rgb):
    return sum(rgb) < 600
