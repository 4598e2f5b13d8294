#!/usr/bin/env python3
"""Draws the toolbar's images into this folder, with nothing but the standard library:

  panel.bmp   bitmap 131, the panel (a rounded, shaped plate; magenta outside the shape is transparent)
  tray16.bmp  bitmap 152, the tray indicator; tray32.bmp bitmap 153, the same for high-resolution screens
  toolbar.ico icon 128, the program
  select.ico 141, translate.ico 142, settings.ico 143, more.ico 144, direction.ico 145: the panel's buttons
  wait.bmp    bitmap 135, the wait window's plate (magenta outside it is transparent)
  listpage.bmp 138, listmail.bmp 139: the 16-pixel images of the settings dialog's integration list
  setup.ico 148 (settings dialog) and transsetup.ico 149 (direction dialog and About window)

Every shape is drawn at four times the size and averaged down, which smooths the edges. Run it again
after a change and commit the images with it: python3 toolbar/res/draw_images.py
"""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
SCALE = 4
MAGENTA = (255, 0, 255)

NAVY = (24, 52, 112)
BLUE = (40, 96, 200)
SKY = (120, 170, 240)
WHITE = (255, 255, 255)
PAPER = (250, 250, 246)
INK = (40, 40, 48)
ORANGE = (236, 128, 24)
GREEN = (40, 150, 70)
GREY = (120, 124, 132)
YELLOW = (255, 214, 64)


class Canvas:
    """An RGBA picture drawn at SCALE times its size; shapes test the centre of every fine pixel."""

    def __init__(self, width, height):
        self.width, self.height = width, height
        self.fine_w, self.fine_h = width * SCALE, height * SCALE
        self.pixels = [None] * (self.fine_w * self.fine_h)  # None is transparent

    def fill(self, inside, colour):
        """Paints every fine pixel whose centre, in picture units, satisfies inside(x, y)."""
        for fy in range(self.fine_h):
            y = (fy + 0.5) / SCALE
            row = fy * self.fine_w
            for fx in range(self.fine_w):
                x = (fx + 0.5) / SCALE
                if inside(x, y):
                    self.pixels[row + fx] = colour(x, y) if callable(colour) else colour

    def rounded_rect(self, left, top, right, bottom, radius, colour):
        def inside(x, y):
            if not (left <= x <= right and top <= y <= bottom):
                return False
            cx = min(max(x, left + radius), right - radius)
            cy = min(max(y, top + radius), bottom - radius)
            return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius

        self.fill(inside, colour)

    def rect(self, left, top, right, bottom, colour):
        self.fill(lambda x, y: left <= x <= right and top <= y <= bottom, colour)

    def circle(self, cx, cy, radius, colour, inner=0.0):
        self.fill(lambda x, y: inner * inner <= (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius, colour)

    def polygon(self, points, colour):
        def inside(x, y):
            crossings = False
            j = len(points) - 1
            for i, (xi, yi) in enumerate(points):
                xj, yj = points[j]
                if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                    crossings = not crossings
                j = i
            return crossings

        self.fill(inside, colour)

    def line(self, x0, y0, x1, y1, width, colour):
        dx, dy = x1 - x0, y1 - y0
        length2 = dx * dx + dy * dy or 1e-9

        def inside(x, y):
            t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / length2))
            px, py = x0 + t * dx, y0 + t * dy
            return (x - px) ** 2 + (y - py) ** 2 <= (width / 2) ** 2

        self.fill(inside, colour)

    def pixels_rgba(self):
        """The picture at its own size: colours averaged over the painted fine pixels, alpha their share."""
        out = []
        for y in range(self.height):
            for x in range(self.width):
                r = g = b = n = 0
                for fy in range(y * SCALE, (y + 1) * SCALE):
                    for fx in range(x * SCALE, (x + 1) * SCALE):
                        p = self.pixels[fy * self.fine_w + fx]
                        if p is not None:
                            r, g, b, n = r + p[0], g + p[1], b + p[2], n + 1
                if n == 0:
                    out.append((0, 0, 0, 0))
                else:
                    out.append((r // n, g // n, b // n, 255 * n // (SCALE * SCALE)))
        return out


def write_bmp(path, width, height, rgba, background):
    """A 24-bit bitmap; partly covered pixels are blended over the background, uncovered ones are it."""
    row_size = (width * 3 + 3) & ~3
    data = bytearray()
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            r, g, b, a = rgba[y * width + x]
            if a < 128 and background == MAGENTA:
                r, g, b = MAGENTA  # the panel's shape is exact: a pixel belongs to it or not
            elif a < 255 and background != MAGENTA:
                r = (r * a + background[0] * (255 - a)) // 255
                g = (g * a + background[1] * (255 - a)) // 255
                b = (b * a + background[2] * (255 - a)) // 255
            row += bytes((b, g, r))
        row += b"\0" * (row_size - len(row))
        data += row
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", 14 + len(header) + len(data), 0, 0, 14 + len(header)))
        f.write(header + data)


def icon_image(size, rgba):
    """One image of an icon file: 32-bit BGRA colours bottom-up, then the 1-bit transparency mask."""
    colours = bytearray()
    mask = bytearray()
    mask_row = ((size + 31) // 32) * 4
    for y in range(size - 1, -1, -1):
        bits = bytearray(mask_row)
        for x in range(size):
            r, g, b, a = rgba[y * size + x]
            colours += bytes((b, g, r, a))
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(colours) + len(mask), 0, 0, 0, 0)
    return header + colours + mask


def write_ico(path, draw, sizes=(32, 16)):
    images = []
    for size in sizes:
        canvas = Canvas(size, size)
        draw(canvas, size / 32.0)
        images.append((size, icon_image(size, canvas.pixels_rgba())))
    offset = 6 + 16 * len(images)
    directory = struct.pack("<HHH", 0, 1, len(images))
    for size, data in images:
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(directory + b"".join(data for _, data in images))


# ---- the pictures; each draws on a 32-unit square scaled by s ----

def draw_logo(c, s):
    """The program: a blue globe (its equator and one meridian drawn) with an orange arrow across it."""
    c.circle(16 * s, 16 * s, 14 * s, NAVY)
    c.circle(16 * s, 16 * s, 12.5 * s, lambda x, y: blend(SKY, BLUE, y / (32 * s)))
    c.line(4 * s, 16 * s, 28 * s, 16 * s, 1.2 * s, WHITE)
    c.fill(lambda x, y: abs(((x - 16 * s) / (6 * s)) ** 2 + ((y - 16 * s) / (12 * s)) ** 2 - 1) < 0.15, WHITE)
    c.polygon([(6 * s, 22 * s), (20 * s, 22 * s), (20 * s, 18 * s), (28 * s, 24 * s), (20 * s, 30 * s),
               (20 * s, 26 * s), (6 * s, 26 * s)], ORANGE)


def draw_select(c, s):
    """Selection mode: lines of text on a page, one stretch highlighted, with the text cursor at its end."""
    c.rounded_rect(3 * s, 2 * s, 27 * s, 30 * s, 2 * s, GREY)
    c.rounded_rect(4 * s, 3 * s, 26 * s, 29 * s, 1.5 * s, PAPER)
    for i, (left, right) in enumerate([(7, 23), (7, 21), (7, 23), (7, 18), (7, 22)]):
        y = (7 + i * 4.5) * s
        c.rect(left * s, y, right * s, y + 1.6 * s, INK)
    c.rect(9 * s, 14.4 * s, 22 * s, 19.4 * s, BLUE)
    c.rect(10 * s, 16.2 * s, 21 * s, 17.8 * s, WHITE)
    c.rect(22 * s, 12.5 * s, 23.6 * s, 21.5 * s, ORANGE)
    c.rect(20.5 * s, 12 * s, 25 * s, 13.2 * s, ORANGE)
    c.rect(20.5 * s, 20.8 * s, 25 * s, 22 * s, ORANGE)


def draw_translate(c, s):
    """Translation: two speech bubbles, a Latin letter in one and a Cyrillic one in the other."""
    c.rounded_rect(1 * s, 2 * s, 19 * s, 17 * s, 3 * s, BLUE)
    c.polygon([(5 * s, 16 * s), (10 * s, 16 * s), (4 * s, 21 * s)], BLUE)
    # "A"
    c.line(6 * s, 14 * s, 10 * s, 4.5 * s, 2 * s, WHITE)
    c.line(10 * s, 4.5 * s, 14 * s, 14 * s, 2 * s, WHITE)
    c.line(7.6 * s, 10.5 * s, 12.4 * s, 10.5 * s, 1.6 * s, WHITE)
    c.rounded_rect(12 * s, 13 * s, 31 * s, 28 * s, 3 * s, ORANGE)
    c.polygon([(24 * s, 27 * s), (29 * s, 27 * s), (29 * s, 31 * s)], ORANGE)
    # "Я": a bowl on the right stem and a leg to the lower left
    c.line(25.5 * s, 15.5 * s, 25.5 * s, 25.5 * s, 2 * s, WHITE)
    c.circle(21.5 * s, 18.5 * s, 3.8 * s, WHITE, inner=2.2 * s)
    c.rect(21.5 * s, 14.7 * s, 25.5 * s, 16.3 * s, WHITE)
    c.rect(21.5 * s, 20.7 * s, 25.5 * s, 22.3 * s, WHITE)
    c.line(21.5 * s, 21.5 * s, 17.5 * s, 25.5 * s, 2 * s, WHITE)


def draw_direction(c, s):
    """Direction: two arrows, one each way, between two language tags."""
    c.polygon([(3 * s, 11 * s), (11 * s, 4 * s), (11 * s, 8.5 * s), (29 * s, 8.5 * s), (29 * s, 13.5 * s),
               (11 * s, 13.5 * s), (11 * s, 18 * s)], BLUE)
    c.polygon([(29 * s, 21 * s), (21 * s, 14 * s), (21 * s, 18.5 * s), (3 * s, 18.5 * s), (3 * s, 23.5 * s),
               (21 * s, 23.5 * s), (21 * s, 28 * s)], ORANGE)


def draw_settings(c, s):
    """Settings: a gear wheel."""
    teeth = 8
    outer, root = 14 * s, 10.5 * s

    def gear(x, y):
        dx, dy = x - 16 * s, y - 16 * s
        r = math.hypot(dx, dy)
        angle = math.atan2(dy, dx) * teeth / (2 * math.pi)
        tooth = abs(angle - round(angle)) < 0.22
        return r <= (outer if tooth else root)

    c.fill(gear, GREY)
    c.circle(16 * s, 16 * s, 9 * s, lambda x, y: blend(WHITE, GREY, y / (32 * s)))
    c.circle(16 * s, 16 * s, 4.5 * s, NAVY)
    c.circle(16 * s, 16 * s, 2.8 * s, WHITE)


def draw_more(c, s):
    """More: three dots on a round button."""
    c.circle(16 * s, 16 * s, 14 * s, GREEN)
    for x in (9, 16, 23):
        c.circle(x * s, 16 * s, 2.8 * s, WHITE)


def blend(top, bottom, t):
    t = max(0.0, min(1.0, t))
    return tuple(int(a + (b - a) * t) for a, b in zip(top, bottom))


def draw_panel():
    """The panel: a plate with rounded corners and a notch-shaped title tab; magenta all round it. Its
    buttons sit at y = 40 and its caption label at the bottom."""
    width, height = 240, 100
    c = Canvas(width, height)
    # The title tab at the top left and the plate below it.
    c.rounded_rect(0, 0, 112, 30, 10, NAVY)
    c.rounded_rect(0, 18, width, height, 14, NAVY)
    c.rounded_rect(3, 3, 109, 27, 8, lambda x, y: blend(SKY, BLUE, y / 30))
    c.rounded_rect(3, 21, width - 3, height - 3, 11, lambda x, y: blend(WHITE, (214, 226, 246), (y - 21) / 79))
    c.rect(3, 21, 109, 27, lambda x, y: blend(SKY, BLUE, y / 30))
    # A small logo on the tab.
    c.circle(14, 14, 7, WHITE)
    c.circle(14, 14, 5.5, BLUE)
    c.polygon([(9, 15), (16, 15), (16, 12.5), (21, 16.5), (16, 20.5), (16, 18), (9, 18)], ORANGE)
    for i in range(3):  # grip lines of the tab
        c.rect(30 + i * 26, 12, 50 + i * 26, 14, WHITE)
    # The caption strip at the bottom.
    c.rounded_rect(4, height - 23, width - 4, height - 5, 7, (232, 238, 250))
    write_bmp(os.path.join(HERE, "panel.bmp"), width, height, c.pixels_rgba(), MAGENTA)


def draw_tray(size, name):
    c = Canvas(size, size)
    draw_logo(c, size / 32.0)
    write_bmp(os.path.join(HERE, name), size, size, c.pixels_rgba(), (255, 255, 255))


def draw_wait():
    """The wait window: a rounded plate with an hourglass at the left; the message sits right of it."""
    width, height = 216, 64
    c = Canvas(width, height)
    c.rounded_rect(0, 0, width, height, 12, NAVY)
    c.rounded_rect(3, 3, width - 3, height - 3, 10, lambda x, y: blend(WHITE, (214, 226, 246), y / height))
    c.polygon([(10, 14), (30, 14), (20, 32)], ORANGE)
    c.polygon([(20, 32), (30, 50), (10, 50)], ORANGE)
    c.polygon([(14, 18), (26, 18), (20, 28)], YELLOW)
    c.rect(8, 11, 32, 14, NAVY)
    c.rect(8, 50, 32, 53, NAVY)
    write_bmp(os.path.join(HERE, "wait.bmp"), width, height, c.pixels_rgba(), MAGENTA)


def draw_list_page(c, s):
    """A page of text, the integration list's first image."""
    c.rect(5 * s, 2 * s, 27 * s, 30 * s, GREY)
    c.rect(7 * s, 4 * s, 25 * s, 28 * s, PAPER)
    for i in range(5):
        c.rect(10 * s, (8 + i * 4) * s, 22 * s, (10 + i * 4) * s, INK)


def draw_list_mail(c, s):
    """An envelope, the messaging integration."""
    c.rect(2 * s, 7 * s, 30 * s, 26 * s, BLUE)
    c.rect(4 * s, 9 * s, 28 * s, 24 * s, WHITE)
    c.line(4 * s, 9 * s, 16 * s, 18 * s, 2 * s, BLUE)
    c.line(28 * s, 9 * s, 16 * s, 18 * s, 2 * s, BLUE)


def draw_list_bitmap(draw, name):
    c = Canvas(16, 16)
    draw(c, 0.5)
    write_bmp(os.path.join(HERE, name), 16, 16, c.pixels_rgba(), MAGENTA)


def draw_setup(c, s):
    """The settings dialog: a key cap with an arrow on it, the call key."""
    c.rounded_rect(3 * s, 5 * s, 29 * s, 27 * s, 4 * s, GREY)
    c.rounded_rect(5 * s, 7 * s, 27 * s, 23 * s, 3 * s, lambda x, y: blend(WHITE, SKY, y / (32 * s)))
    c.polygon([(16 * s, 9 * s), (23 * s, 16 * s), (19 * s, 16 * s), (19 * s, 21 * s), (13 * s, 21 * s),
               (13 * s, 16 * s), (9 * s, 16 * s)], NAVY)


def draw_trans_setup(c, s):
    """The direction dialog: an open book with an orange arrow over its pages."""
    c.polygon([(2 * s, 8 * s), (16 * s, 11 * s), (16 * s, 29 * s), (2 * s, 26 * s)], BLUE)
    c.polygon([(30 * s, 8 * s), (16 * s, 11 * s), (16 * s, 29 * s), (30 * s, 26 * s)], NAVY)
    c.polygon([(4 * s, 9 * s), (15 * s, 12 * s), (15 * s, 27 * s), (4 * s, 24 * s)], PAPER)
    c.polygon([(28 * s, 9 * s), (17 * s, 12 * s), (17 * s, 27 * s), (28 * s, 24 * s)], WHITE)
    c.polygon([(6 * s, 4 * s), (20 * s, 4 * s), (20 * s, 1 * s), (27 * s, 6 * s), (20 * s, 11 * s), (20 * s, 8 * s),
               (6 * s, 8 * s)], ORANGE)


def main():
    draw_panel()
    draw_tray(16, "tray16.bmp")
    draw_tray(32, "tray32.bmp")
    write_ico(os.path.join(HERE, "toolbar.ico"), draw_logo)
    write_ico(os.path.join(HERE, "select.ico"), draw_select)
    write_ico(os.path.join(HERE, "translate.ico"), draw_translate)
    write_ico(os.path.join(HERE, "settings.ico"), draw_settings)
    write_ico(os.path.join(HERE, "more.ico"), draw_more)
    write_ico(os.path.join(HERE, "direction.ico"), draw_direction)
    draw_wait()
    draw_list_bitmap(draw_list_page, "listpage.bmp")
    draw_list_bitmap(draw_list_mail, "listmail.bmp")
    write_ico(os.path.join(HERE, "setup.ico"), draw_setup)
    write_ico(os.path.join(HERE, "transsetup.ico"), draw_trans_setup)


if __name__ == "__main__":
    main()
