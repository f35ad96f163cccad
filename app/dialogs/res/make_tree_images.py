#!/usr/bin/env python3
"""Draws the delete dialog's tree images: a check box (ticked, empty, partly ticked) beside a
closed folder, an open folder or a file, 32 x 16 pixels on magenta, the colour the dialog masks
out. The greyed set is shown while a delete runs. Run it here to rebuild the .bmp files."""
import struct

MAGENTA = (255, 0, 255)


def save_bmp(path, pixels):
    height, width = len(pixels), len(pixels[0])
    row_bytes = (width * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(pixels):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += b"\0" * (row_bytes - len(line))
        data += line
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def draw(check, icon, grey):
    px = [[MAGENTA] * 32 for _ in range(16)]
    ink = (128, 128, 128) if grey else (40, 40, 40)
    box = (236, 236, 236) if grey else (255, 255, 255)
    tick = (150, 150, 150) if grey else (20, 110, 40)
    for y in range(2, 15):
        for x in range(1, 14):
            edge = y in (2, 14) or x in (1, 13)
            px[y][x] = ink if edge else box
    if check == "ticked":
        for x, y in [(3, 8), (4, 9), (5, 10), (6, 11), (7, 10), (8, 9), (9, 8), (10, 7), (11, 6)]:
            for dy in (-1, 0):
                px[y + dy][x] = tick
    elif check == "partly":
        for y in range(5, 12):
            for x in range(4, 11):
                px[y][x] = (170, 170, 170) if grey else (90, 150, 100)
    yellow = (200, 200, 200) if grey else (240, 200, 80)
    dark = (150, 150, 150) if grey else (180, 140, 30)
    paper = (245, 245, 245) if grey else (255, 255, 255)
    if icon in ("closed", "open"):
        for y in range(4, 14):
            for x in range(17, 31):
                if y == 4 and x > 22:
                    continue
                px[y][x] = dark if (y in (4, 13) or x in (17, 30)) else yellow
        if icon == "open":
            for y in range(8, 14):
                for x in range(19 + (13 - y) // 2, 31):
                    px[y][x] = dark if y in (8, 13) else (250, 225, 140) if not grey else (215, 215, 215)
    else:
        for y in range(2, 15):
            for x in range(19, 29):
                px[y][x] = ink if (y in (2, 14) or x in (19, 28)) else paper
        for y in (5, 7, 9, 11):
            for x in range(21, 27):
                px[y][x] = (170, 170, 170)
    return px


images = [("ticked", "closed"), ("empty", "closed"), ("partly", "closed"),
          ("ticked", "open"), ("empty", "open"), ("partly", "open"),
          ("ticked", "file"), ("empty", "file")]
for index, (check, icon) in enumerate(images):
    save_bmp("tree%d.bmp" % (230 + index), draw(check, icon, False))
    save_bmp("tree%d.bmp" % (240 + index), draw(check, icon, True))
