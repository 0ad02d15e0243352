"""Reading 8-bit RGB and RGBA PNG files (as talvenor and a browser's canvas
write them) into RGB rows, and comparing two pictures as the golden frames
do: the mean difference per channel and the share of pixels with a channel
off by more than 48."""
import struct
import zlib


def _paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def read_png(data):
    """(width, height, rgb bytes top row first) of an 8-bit, non-interlaced
    RGB or RGBA PNG."""
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG file")
    pos, idat, header = 8, b"", None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    width, height, depth, colour, _, _, interlace = header
    if depth != 8 or colour not in (2, 6) or interlace != 0:
        raise ValueError("only 8-bit RGB or RGBA, not interlaced")
    channels = 3 if colour == 2 else 4
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - channels] if i >= channels else 0
            b = previous[i]
            c = previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + a) & 255
            elif kind == 2:
                line[i] = (line[i] + b) & 255
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                line[i] = (line[i] + _paeth(a, b, c)) & 255
        rows.append(bytes(line) if channels == 3 else
                    bytes(v for i, v in enumerate(line) if i % 4 != 3))
        previous = line
    return width, height, b"".join(rows)


def compare(a, b):
    """(mean difference per channel, share of pixels with a channel off by
    more than 48) of two pictures of one size."""
    (wa, ha, pa), (wb, hb, pb) = a, b
    if (wa, ha) != (wb, hb):
        raise ValueError("sizes differ: %dx%d and %dx%d" % (wa, ha, wb, hb))
    sums, far = [0, 0, 0], 0
    for i in range(0, len(pa), 3):
        off = False
        for c in range(3):
            d = abs(pa[i + c] - pb[i + c])
            sums[c] += d
            off = off or d > 48
        far += off
    pixels = wa * ha
    return max(s / pixels for s in sums), far / pixels


def within_golden_tolerance(mean, far_share):
    return mean <= 2.0 and far_share <= 0.005
