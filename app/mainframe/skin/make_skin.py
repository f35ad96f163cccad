#!/usr/bin/env python3
"""Draws one set of the main window's skin as PNG files and writes the resource script that embeds it.

Every image is described by shapes (signed distance functions) in the pixels of a 96-DPI screen and
rasterised at the set's DPI with analytic anti-aliasing, so each set is drawn sharp at its own size;
it needs nothing beyond the standard library.
Usage: make_skin.py OUTPUT_FOLDER DPI    (DPI 96 or 120; the 120-DPI set's ids are the others + 1000)
"""
import math
import os
import struct
import sys
import zlib

ACCENT = (32, 158, 150)
ACCENT_DARK = (20, 118, 112)
INK = (70, 78, 88)
INK_LIGHT = (140, 148, 158)

RESOURCE_ID_OFFSET = {96: 0, 120: 1000}
# Screen pixels per layout pixel of the set being drawn.
scale = 1.0


def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def scaled(v):
    """A layout size in screen pixels, rounded as the program's MulDiv does."""
    return int(v * scale + 0.5)


class Canvas:
    def __init__(self, w, h):
        """w and h in layout pixels; the image is as large as they are at the set's DPI."""
        self.w, self.h = scaled(w), scaled(h)
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(self.w * self.h)]  # premultiplied floats 0..1

    def fill(self, sdf, colour, alpha=1.0, box=None):
        """Source-over of a shape given by its signed distance in layout pixels (negative inside)."""
        x0, y0, x1, y1 = (v * scale for v in box) if box else (0, 0, self.w, self.h)
        x0, y0 = max(0, int(x0) - 1), max(0, int(y0) - 1)
        x1, y1 = min(self.w, int(x1) + 2), min(self.h, int(y1) + 2)
        for y in range(y0, y1):
            for x in range(x0, x1):
                cx, cy = (x + 0.5) / scale, (y + 0.5) / scale
                cov = clamp(0.5 - sdf(cx, cy) * scale)
                if cov <= 0.0:
                    continue
                c = colour(cx, cy) if callable(colour) else colour
                a = cov * alpha
                p = self.px[y * self.w + x]
                for i in range(3):
                    p[i] = c[i] / 255.0 * a + p[i] * (1 - a)
                p[3] = a + p[3] * (1 - a)

    def png(self, path):
        raw = bytearray()
        for y in range(self.h):
            raw.append(0)
            for x in range(self.w):
                r, g, b, a = self.px[y * self.w + x]
                if a > 0:
                    r, g, b = r / a, g / a, b / a
                raw += bytes(int(round(clamp(v) * 255)) for v in (r, g, b, a))

        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

        header = struct.pack(">IIBBBBB", self.w, self.h, 8, 6, 0, 0, 0)
        with open(path, "wb") as f:
            f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
                    + chunk(b"IEND", b""))


# Shapes
def rrect(x0, y0, x1, y1, r):
    def d(x, y):
        qx = abs(x - (x0 + x1) / 2) - ((x1 - x0) / 2 - r)
        qy = abs(y - (y0 + y1) / 2) - ((y1 - y0) / 2 - r)
        return math.hypot(max(qx, 0), max(qy, 0)) + min(max(qx, qy), 0) - r
    return d


def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def segment(ax, ay, bx, by, width):
    def d(x, y):
        px, py, vx, vy = x - ax, y - ay, bx - ax, by - ay
        t = clamp((px * vx + py * vy) / (vx * vx + vy * vy or 1))
        return math.hypot(px - vx * t, py - vy * t) - width / 2
    return d


def ring(cx, cy, r, width):
    return lambda x, y: abs(math.hypot(x - cx, y - cy) - r) - width / 2


def union(*shapes):
    return lambda x, y: min(s(x, y) for s in shapes)


def subtract(a, b):
    return lambda x, y: max(a(x, y), -b(x, y))


def outline(shape, width):
    return lambda x, y: abs(shape(x, y)) - width / 2


def vgradient(top, bottom, y0, y1):
    def c(x, y):
        t = clamp((y - y0) / max(1, y1 - y0))
        return tuple(top[i] + (bottom[i] - top[i]) * t for i in range(3))
    return c


def shade(colour, f):
    return tuple(clamp(v * f, 0, 255) for v in colour)


# Glyphs on a 16 x 16 button
def glyph_close(c):
    return union(segment(c - 3.5, c - 3.5, c + 3.5, c + 3.5, 1.7), segment(c - 3.5, c + 3.5, c + 3.5, c - 3.5, 1.7))


def glyph_minimise(c):
    return segment(c - 4, c + 3, c + 4, c + 3, 1.8)


def glyph_help(c):
    arc = lambda x, y: max(ring(c, c - 2, 3, 1.7)(x, y), -(x - c + 0.3 if y > c - 2 else 1))
    return union(arc, segment(c, c + 0.8, c, c + 2, 1.7), circle(c, c + 4.6, 1.1))


def glyph_chevrons(c, right):
    s = 1 if right else -1
    return union(*[segment(c + s * (dx - 2.5), c - 4, c + s * (dx + 1), c, 1.6) for dx in (-2, 2)] +
                 [segment(c + s * (dx + 1), c, c + s * (dx - 2.5), c + 4, 1.6) for dx in (-2, 2)])


def glyph_gear(cx, cy, r):
    def d(x, y):
        a = math.atan2(y - cy, x - cx)
        teeth = r + 1.4 * clamp(math.cos(a * 8) * 2.2 + 0.4, -1, 1)
        return math.hypot(x - cx, y - cy) - teeth * 0.85
    return subtract(d, circle(cx, cy, r * 0.38))


def glyph_trash(cx, cy):
    body = subtract(rrect(cx - 4.5, cy - 3, cx + 4.5, cy + 7, 1.5), union(*[rrect(cx + dx - 0.6, cy - 1, cx + dx + 0.6, cy + 5, 0.5) for dx in (-2, 0, 2)]))
    lid = union(rrect(cx - 6, cy - 5.5, cx + 6, cy - 3.8, 0.8), rrect(cx - 2, cy - 7, cx + 2, cy - 5, 0.8))
    return union(body, lid)


def button_set(size, glyph, base=None, round_face=True):
    """Normal, pressed, disabled and hover faces of a small glyph button."""
    w, h = size
    faces = []
    for state in ("normal", "pressed", "disabled", "hover"):
        cv = Canvas(w, h)
        face = rrect(0.5, 0.5, w - 0.5, h - 0.5, min(w, h) / 2 - 0.5 if round_face else 4)
        if base is not None:
            fill = {"normal": base, "pressed": shade(base, 0.8), "disabled": (205, 209, 214), "hover": shade(base, 1.12)}[state]
            cv.fill(face, vgradient(shade(fill, 1.08), shade(fill, 0.92), 0, h))
            ink = (255, 255, 255) if state != "disabled" else (245, 246, 248)
        else:
            if state == "hover":
                cv.fill(face, (255, 255, 255), 0.9)
                cv.fill(outline(face, 1), ACCENT, 0.8)
            elif state == "pressed":
                cv.fill(face, ACCENT, 0.25)
            ink = {"normal": INK, "pressed": ACCENT_DARK, "disabled": (185, 190, 196), "hover": ACCENT_DARK}[state]
        cv.fill(glyph, ink)
        faces.append(cv)
    return faces


def background(w, h, expanded, player, active):
    cv = Canvas(w, h)
    top, bottom = ((246, 248, 250), (226, 231, 236)) if active else ((238, 239, 241), (222, 224, 227))
    body = rrect(0.5, 0.5, w - 0.5, h - 0.5, 12)
    cv.fill(body, vgradient(top, bottom, 0, h))
    cv.fill(outline(rrect(1, 1, w - 1, h - 1, 11.5), 1), (255, 255, 255), 0.7)
    cv.fill(outline(body, 1), (132, 142, 152) if active else (160, 164, 170))
    strip = ACCENT if active else (150, 160, 165)
    cv.fill(rrect(8, 25, 188, 27, 1), strip, 0.85)
    well = rrect(8, 29, 188, 182, 8)
    cv.fill(well, vgradient((255, 255, 255), (240, 244, 247), 29, 182), box=(8, 29, 188, 182))
    cv.fill(outline(well, 1), (196, 204, 212), box=(7, 28, 189, 183))
    progress = rrect(8, 185, 188, 231, 7)
    cv.fill(progress, (236, 240, 243), box=(8, 185, 188, 231))
    cv.fill(outline(progress, 1), (204, 211, 218), box=(7, 184, 189, 232))
    if not player:
        # An empty dock with a cable: no player is connected.
        cv.fill(outline(rrect(66, 66, 130, 146, 9), 1.6), (190, 198, 206), box=(60, 60, 136, 152))
        cv.fill(rrect(90, 146, 106, 152, 1.5), (190, 198, 206), box=(86, 140, 110, 156))
        cv.fill(segment(98, 152, 98, 170, 2), (190, 198, 206), box=(94, 148, 102, 174))
    if expanded:
        panel = rrect(193, 55, 524, 232, 8)
        cv.fill(panel, (252, 253, 254), box=(193, 55, 524, 232))
        cv.fill(outline(panel, 1), (196, 204, 212), box=(192, 54, 525, 233))
        cv.fill(rrect(193, 31, 443, 54, 6), (232, 236, 240), box=(193, 31, 443, 54))
        cv.fill(rrect(200, 68, 510, 80, 4), (222, 227, 232), box=(199, 67, 511, 81))
    return cv


def player_picture(body_top, body_bottom, screen):
    cv = Canvas(96, 96)
    cv.fill(rrect(33, 88, 63, 92, 2), (0, 0, 0), 0.12)
    body = rrect(26, 6, 70, 88, 9)
    cv.fill(body, vgradient(body_top, body_bottom, 6, 88))
    cv.fill(outline(rrect(27, 7, 69, 87, 8), 1), (255, 255, 255), 0.35)
    cv.fill(rrect(31, 12, 65, 44, 3), vgradient(shade(screen, 1.15), shade(screen, 0.8), 12, 44))
    note = union(circle(44, 35, 3.2), segment(46.8, 35, 46.8, 22, 1.6), segment(46.8, 22, 53, 25, 1.8))
    cv.fill(note, (255, 255, 255), 0.9)
    cv.fill(circle(48, 65, 14), (255, 255, 255), 0.85)
    cv.fill(circle(48, 65, 5.5), body_bottom)
    return cv


def main(out, dpi):
    global scale
    scale = dpi / 96
    os.makedirs(out, exist_ok=True)
    images = {}

    for ids, expanded, player in (((141, 252, 377, 378), True, True), ((210, 251, 375, 376), True, False),
                                  ((142, 254, 381, 382), False, True), ((209, 253, 379, 380), False, False)):
        w = 532 if expanded else 200
        active, inactive = background(w, 266, expanded, player, True), background(w, 266, expanded, player, False)
        images[ids[0]] = images[ids[2]] = active
        images[ids[1]] = images[ids[3]] = inactive

    logo = Canvas(16, 16)
    logo.fill(rrect(0.5, 0.5, 15.5, 15.5, 4), vgradient(shade(ACCENT, 1.2), ACCENT_DARK, 0, 16))
    logo.fill(union(circle(6.5, 11, 2.4), segment(8.6, 11, 8.6, 3.5, 1.4), segment(8.6, 3.5, 12.3, 5.5, 1.6)), (255, 255, 255))
    images[169] = logo

    for ids, glyph in (((157, 158, 0, 156), glyph_close(8)), ((163, 164, 0, 162), glyph_minimise(8)),
                       ((160, 161, 0, 159), glyph_help(8)), ((166, 167, 0, 165), glyph_chevrons(8, True)),
                       ((154, 155, 0, 153), glyph_chevrons(8, False))):
        faces = button_set((16, 16), glyph)
        for i, rid in enumerate(ids):
            if rid:
                images[rid] = faces[i]
    cancel = button_set((16, 16), glyph_close(8), base=(214, 84, 72))
    images.update({151: cancel[0], 152: cancel[1], 150: cancel[3]})
    bang = union(segment(8, 4, 8, 9, 2), circle(8, 12, 1.2))
    error = button_set((16, 16), bang, base=(226, 140, 40))
    images.update({257: error[0], 250: error[1], 256: error[3]})
    gear = button_set((20, 20), glyph_gear(10, 10, 6.5))
    images.update({172: gear[0], 173: gear[1], 259: gear[2], 171: gear[3]})

    kind_colours = ((32, 158, 150), (116, 96, 200), (214, 112, 50), (60, 130, 210), (120, 128, 138))
    for colour, ids in zip(kind_colours, ((194, 195, 219, 193), (198, 199, 220, 197), (204, 205, 218, 203),
                                          (201, 202, 221, 200), (289, 290, 287, 288))):
        faces = button_set((26, 24), glyph_trash(13, 12.5), base=colour, round_face=False)
        for face, rid in zip(faces, ids):
            images[rid] = face
    for size, ids in (((80, 22), (325, 326, 323, 324)), ((60, 22), (353, 344, 351, 352))):
        faces = button_set(size, lambda x, y: 1, base=ACCENT, round_face=False)
        for face, rid in zip(faces, ids):
            images[rid] = face
    for size, ids in (((89, 18), (329, 322, 327, 328)), ((48, 18), (349, 350, 347, 348))):
        w, h = size
        caret = union(segment(w - 12, 7, w - 9, 10.5, 1.5), segment(w - 9, 10.5, w - 6, 7, 1.5))
        faces = button_set(size, caret, base=(150, 160, 170), round_face=False)
        for face, rid in zip(faces, ids):
            images[rid] = face

    # Busy animation: eight dots, the bright one walking round.
    for frame in range(8):
        cv = Canvas(16, 16)
        for i in range(8):
            a = (i / 8) * 2 * math.pi - math.pi / 2
            age = (frame - i) % 8
            cv.fill(circle(8 + 5.5 * math.cos(a), 8 + 5.5 * math.sin(a), 1.5), ACCENT, clamp(1 - age * 0.12, 0.15))
        images[260 + frame] = cv
    lookup = Canvas(16, 16)
    lookup.fill(circle(8, 8, 7), vgradient((210, 216, 222), (170, 178, 186), 1, 15))
    lookup.fill(circle(8, 8, 2.2), (255, 255, 255))
    lookup.fill(ring(8, 8, 4.6, 0.8), (255, 255, 255), 0.6)
    images[268] = lookup

    # Pin: off, on, hover.
    for rid, colour, tilt in ((183, INK_LIGHT, 1), (184, ACCENT, 0), (185, ACCENT_DARK, 1)):
        cv = Canvas(16, 16)
        head = rrect(5, 2, 11, 7, 1.5) if not tilt else rrect(5, 3, 11, 8, 1.5)
        cv.fill(union(head, rrect(4, 7 if tilt else 6, 12, 9 if tilt else 8, 1), segment(8, 8, 8, 14 if tilt else 14.5, 1.4)), colour)
        images[rid] = cv

    # Sync switches: off, on, and the hover of each.
    for rid, on, hover in ((300, False, False), (301, True, False), (302, False, True), (303, True, True)):
        cv = Canvas(28, 14)
        track = (ACCENT if on else (190, 197, 204))
        cv.fill(rrect(0.5, 0.5, 27.5, 13.5, 6.5), shade(track, 1.1 if hover else 1.0))
        cv.fill(circle(20.5 if on else 7.5, 7, 5.2), (255, 255, 255))
        images[rid] = cv

    # Capacity bar segments, one per kind and one for other data; stretched to width when drawn.
    for rid, colour in zip((230, 231, 232, 233, 234), kind_colours):
        cv = Canvas(4, 12)
        cv.fill(rrect(0, 0, 4, 12, 0.1), vgradient(shade(colour, 1.15), shade(colour, 0.85), 0, 12))
        images[rid] = cv
    free_bar = Canvas(164, 8)
    free_bar.fill(rrect(0.5, 0.5, 163.5, 7.5, 3.5), (218, 224, 230))
    images[235] = free_bar
    used_bar = Canvas(164, 8)
    used_bar.fill(rrect(0.5, 0.5, 163.5, 7.5, 3.5), vgradient(shade(ACCENT, 1.15), ACCENT_DARK, 0, 8))
    images[236] = used_bar

    highlight = Canvas(178, 152)
    shape = rrect(1, 1, 177, 151, 8)
    highlight.fill(shape, ACCENT, 0.12)
    highlight.fill(outline(shape, 2), ACCENT, 0.9)
    images[181] = highlight

    images[374] = player_picture((92, 100, 110), (48, 54, 62), (60, 170, 190))
    images[255] = player_picture((236, 238, 241), (196, 200, 206), (60, 170, 190))
    for rid, top, bottom in ((386, (210, 70, 80), (140, 36, 48)), (387, (70, 120, 210), (36, 70, 140)),
                             (388, (60, 170, 120), (30, 110, 70)), (389, (120, 90, 190), (70, 50, 130))):
        images[rid] = player_picture(top, bottom, (230, 240, 245))

    lines = []
    for rid in sorted(images):
        name = "skin%d_%d.png" % (dpi, rid)
        images[rid].png(os.path.join(out, name))
        lines.append('%d PNG "%s"' % (rid + RESOURCE_ID_OFFSET[dpi], name))
    with open(os.path.join(out, "Skin%d.rc" % dpi), "w") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    if len(sys.argv) != 3 or int(sys.argv[2]) not in RESOURCE_ID_OFFSET:
        sys.exit("usage: make_skin.py OUTPUT_FOLDER 96|120")
    main(sys.argv[1], int(sys.argv[2]))
