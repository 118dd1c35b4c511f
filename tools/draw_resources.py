#!/usr/bin/env python3
"""Draws the program's pictures: res/main.ico (the application, 32 x 32, 24-bit),
res/archive.ico (an archive document, 32 x 32, 16 colours) and res/splash.bmp (256 x 128,
24-bit, uncompressed). All three show an archive as a map of sectors, runs of coloured cells
for its entries with dark cells where deleted data left gaps. Run it from anywhere; the output
is the same on every run.

    python3 tools/draw_resources.py
"""
import os
import struct

RES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "res")

NAVY_TOP = (0x14, 0x26, 0x4a)
NAVY_BOTTOM = (0x27, 0x4d, 0x8c)
OUTLINE = (0x0a, 0x14, 0x28)
GAP = (0x0c, 0x18, 0x30)
GAP_EDGE = (0x3a, 0x55, 0x80)
# The entries' colours, in the order runs take them.
ENTRY_COLOURS = [(0xf0, 0xa8, 0x30), (0x2f, 0xb5, 0xa5), (0xe5, 0x60, 0x4d),
                 (0x5a, 0xa0, 0xe6), (0x9b, 0xc5, 0x3d)]
# A sector map: (run length, colour index or None for a gap), repeated as far as needed.
RUNS = [(3, 0), (1, 1), (2, None), (4, 2), (2, 3), (1, None), (3, 4), (2, 0), (1, 1),
        (3, None), (2, 2), (5, 3), (1, 4), (2, None), (3, 0), (2, 1)]


def mix(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def shade(colour, amount):
    """Lighter for a positive amount, darker for a negative one."""
    target = (255, 255, 255) if amount > 0 else (0, 0, 0)
    return mix(colour, target, abs(amount))


def sector_colours(count):
    cells = []
    while len(cells) < count:
        for length, colour in RUNS:
            cells += [colour] * length
    return cells[:count]


class Canvas:
    def __init__(self, width, height, fill=(0, 0, 0)):
        self.width, self.height = width, height
        self.pixels = [[fill] * width for _ in range(height)]
        self.opaque = [[True] * width for _ in range(height)]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour

    def rect(self, x, y, w, h, colour):
        for row in range(y, y + h):
            for col in range(x, x + w):
                self.put(col, row, colour)

    def frame(self, x, y, w, h, colour):
        for col in range(x, x + w):
            self.put(col, y, colour)
            self.put(col, y + h - 1, colour)
        for row in range(y, y + h):
            self.put(x, row, colour)
            self.put(x + w - 1, row, colour)

    def gradient(self, top, bottom):
        for y in range(self.height):
            colour = mix(top, bottom, y / max(1, self.height - 1))
            for x in range(self.width):
                self.pixels[y][x] = colour

    def cell(self, x, y, size, colour):
        """One sector: a bevelled square, or a hollow one for a gap."""
        if colour is None:
            self.rect(x, y, size, size, GAP)
            self.frame(x, y, size, size, GAP_EDGE)
            return
        self.rect(x, y, size, size, colour)
        for i in range(size):
            self.put(x + i, y, shade(colour, 0.45))
            self.put(x, y + i, shade(colour, 0.45))
            self.put(x + i, y + size - 1, shade(colour, -0.35))
            self.put(x + size - 1, y + i, shade(colour, -0.35))


# A 5 x 7 pixel font for the splash's words.
GLYPHS = {
    "A": ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    "C": ["01110", "10001", "10000", "10000", "10000", "10001", "01110"],
    "D": ["11110", "10001", "10001", "10001", "10001", "10001", "11110"],
    "E": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    "G": ["01110", "10001", "10000", "10111", "10001", "10001", "01111"],
    "H": ["10001", "10001", "10001", "11111", "10001", "10001", "10001"],
    "I": ["01110", "00100", "00100", "00100", "00100", "00100", "01110"],
    "L": ["10000", "10000", "10000", "10000", "10000", "10000", "11111"],
    "M": ["10001", "11011", "10101", "10101", "10001", "10001", "10001"],
    "N": ["10001", "11001", "10101", "10011", "10001", "10001", "10001"],
    "O": ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    "R": ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    "T": ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    "V": ["10001", "10001", "10001", "10001", "10001", "01010", "00100"],
    "0": ["01110", "10001", "10011", "10101", "11001", "10001", "01110"],
    "2": ["01110", "10001", "00001", "00010", "00100", "01000", "11111"],
    ".": ["00000", "00000", "00000", "00000", "00000", "01100", "01100"],
    " ": ["00000"] * 7,
}


def text_width(text, scale):
    return (len(text) * 6 - 1) * scale


def draw_text(canvas, text, x, y, scale, colour, shadow=None):
    for layer, (dx, dy, ink) in enumerate([(scale // 2 or 1, scale // 2 or 1, shadow), (0, 0, colour)]):
        if ink is None:
            continue
        for i, char in enumerate(text):
            for row, bits in enumerate(GLYPHS[char]):
                for col, bit in enumerate(bits):
                    if bit == "1":
                        canvas.rect(x + dx + (i * 6 + col) * scale, y + dy + row * scale, scale, scale,
                                    ink)


def app_icon():
    """A navy archive block holding a 4 x 4 map of sectors, rounded at the corners."""
    canvas = Canvas(32, 32)
    canvas.gradient(NAVY_BOTTOM, NAVY_TOP)
    canvas.frame(0, 0, 32, 32, OUTLINE)
    canvas.frame(1, 1, 30, 30, shade(NAVY_BOTTOM, 0.25))
    for corner_x, corner_y in [(0, 0), (31, 0), (0, 31), (31, 31)]:
        canvas.opaque[corner_y][corner_x] = False
    # The archive's header strip across the top, like the directory before the data.
    canvas.rect(5, 3, 23, 1, (0xd8, 0xe2, 0xf0))
    canvas.rect(5, 4, 23, 1, (0x9a, 0xaa, 0xc4))
    for i, colour in enumerate(sector_colours(16)):
        canvas.cell(5 + (i % 4) * 6, 7 + (i // 4) * 6, 5,
                    None if colour is None else ENTRY_COLOURS[colour])
    return canvas


# The 16 colours of the standard palette, by index.
VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
       (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
       (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def document_icon():
    """A page with a folded corner carrying a small sector map: an archive file."""
    canvas = Canvas(32, 32, VGA[15])
    canvas.opaque = [[False] * 32 for _ in range(32)]
    left, top, right, bottom, fold = 5, 1, 26, 30, 7
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            inside_fold = x > right - fold and y < top + fold and (x - (right - fold)) > (y - top)
            if not inside_fold:
                canvas.opaque[y][x] = True
                canvas.put(x, y, VGA[15])
    for x in range(left, right - fold + 1):
        canvas.put(x, top, VGA[0])
    for y in range(top, bottom + 1):
        canvas.put(left, y, VGA[0])
    for x in range(left, right + 1):
        canvas.put(x, bottom, VGA[0])
    for y in range(top + fold, bottom + 1):
        canvas.put(right, y, VGA[0])
    # The fold: its diagonal edge and the turned-down corner.
    for i in range(fold + 1):
        canvas.put(right - fold + i, top + i, VGA[0])
        canvas.opaque[top + i][right - fold + i] = True
    for y in range(top + 1, top + fold):
        for x in range(right - fold + 1, right - fold + (y - top)):
            canvas.put(x, y, VGA[7])
    canvas.rect(right - fold, top + fold, fold + 1, 1, VGA[0])
    for y in range(top, top + fold + 1):
        canvas.put(right - fold, y, VGA[0])
    # The header strip and a 4 x 4 sector map in the palette's strong colours.
    canvas.rect(8, 10, 16, 2, VGA[4])
    palette_cells = [VGA[11], VGA[6], VGA[9], VGA[12], VGA[10]]
    for i, colour in enumerate(sector_colours(16)):
        x, y = 8 + (i % 4) * 4, 13 + (i // 4) * 4
        if colour is None:
            canvas.frame(x, y, 3, 3, VGA[8])
        else:
            canvas.rect(x, y, 3, 3, palette_cells[colour])
    return canvas


def splash():
    canvas = Canvas(256, 128)
    canvas.gradient(NAVY_TOP, NAVY_BOTTOM)
    title = "VANDREL 2.0"
    scale = 3
    draw_text(canvas, title, (256 - text_width(title, scale)) // 2, 16, scale, (0xf4, 0xf6, 0xfa),
              shadow=OUTLINE)
    subtitle = "IMG ARCHIVE EDITOR"
    draw_text(canvas, subtitle, (256 - text_width(subtitle, 1)) // 2, 48, 1, (0xf0, 0xa8, 0x30))
    # Three rows of sectors across the picture.
    for i, colour in enumerate(sector_colours(31 * 3)):
        canvas.cell(4 + (i % 31) * 8, 72 + (i // 31) * 8, 7,
                    None if colour is None else ENTRY_COLOURS[colour])
    # The groove at the bottom in which the progress bar grows over the last two rows.
    canvas.rect(0, 122, 256, 6, OUTLINE)
    canvas.rect(0, 121, 256, 1, shade(NAVY_BOTTOM, 0.3))
    return canvas


def bmp_rows(canvas):
    """Rows bottom-up, BGR, each padded to four bytes."""
    rows = []
    for y in reversed(range(canvas.height)):
        row = b"".join(bytes((b, g, r)) for r, g, b in canvas.pixels[y])
        rows.append(row + b"\0" * (-len(row) % 4))
    return b"".join(rows)


def info_header(width, height, bits, image_size, colours=0):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, image_size, 0, 0, colours, 0)


def and_mask(canvas):
    rows = []
    for y in reversed(range(canvas.height)):
        bits = 0
        for x in range(canvas.width):
            bits = (bits << 1) | (0 if canvas.opaque[y][x] else 1)
        row = bits.to_bytes(canvas.width // 8, "big")
        rows.append(row + b"\0" * (-len(row) % 4))
    return b"".join(rows)


def icon_file(canvas, bits):
    if bits == 24:
        palette, colour_count, image = b"", 0, bmp_rows(canvas)
    else:
        palette = b"".join(bytes((b, g, r, 0)) for r, g, b in VGA)
        colour_count = 16
        rows = []
        for y in reversed(range(canvas.height)):
            indices = [VGA.index(canvas.pixels[y][x]) for x in range(canvas.width)]
            row = bytes((indices[x] << 4) | indices[x + 1] for x in range(0, canvas.width, 2))
            rows.append(row + b"\0" * (-len(row) % 4))
        image = b"".join(rows)
    mask = and_mask(canvas)
    header = info_header(canvas.width, canvas.height * 2, bits, len(image) + len(mask))
    body = header + palette + image + mask
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack(
        "<BBBBHHII", canvas.width, canvas.height, colour_count, 0, 1, bits, len(body), 6 + 16)
    return directory + body


def bitmap_file(canvas):
    image = bmp_rows(canvas)
    header = info_header(canvas.width, canvas.height, 24, len(image))
    offset = 14 + len(header)
    return struct.pack("<2sIHHI", b"BM", offset + len(image), 0, 0, offset) + header + image


def main():
    outputs = {
        "main.ico": icon_file(app_icon(), 24),
        "archive.ico": icon_file(document_icon(), 4),
        "splash.bmp": bitmap_file(splash()),
    }
    for name, data in outputs.items():
        with open(os.path.join(RES, name), "wb") as out:
            out.write(data)


if __name__ == "__main__":
    main()
