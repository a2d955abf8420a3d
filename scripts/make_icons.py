#!/usr/bin/python3
# Draws the module's two icons and writes them as 16-colour ICO files: resources/game.ico (32 by 32,
# two overlapping cards: a heart behind a spade) and resources/contact_menu.ico (16 by 16, one spade card).
# Usage: make_icons.py [output folder], default resources.
import os
import struct
import sys

from PIL import Image, ImageDraw

from make_card_picture import draw_heart, draw_spade

# The standard 16-colour VGA palette, which every Windows display shows as it is.
VGA_PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
    (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
    (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BITS_PER_PIXEL = 4
BLACK, SILVER, GREY, RED, WHITE = 0, 7, 8, 9, 15
TRANSPARENT = None
# Suit symbols are drawn this many times larger and scaled down to a coverage mask; a pixel covered at
# least SOLID_COVERAGE takes the ink, one covered at least EDGE_COVERAGE the edge colour (the palette
# has no light red, so hearts keep hard edges).
SCALE = 16
SOLID_COVERAGE = 0.55
EDGE_COVERAGE = 0.25
EDGE_COLOURS = {BLACK: SILVER, RED: None}


class IconCanvas:
    """A grid of palette indices, None where the desktop shows through."""

    def __init__(self, size):
        self.size = size
        self.pixels = [[TRANSPARENT] * size for _ in range(size)]

    def fill(self, left, top, right, bottom, colour):
        for y in range(top, bottom):
            for x in range(left, right):
                self.pixels[y][x] = colour

    def card(self, left, top, right, bottom):
        """A white card with a black outline over [left, right) x [top, bottom), its corners cut."""
        corners = ((left, top), (right - 1, top), (left, bottom - 1), (right - 1, bottom - 1))
        under_corners = [self.pixels[y][x] for x, y in corners]
        self.fill(left, top, right, bottom, BLACK)
        self.fill(left + 1, top + 1, right - 1, bottom - 1, WHITE)
        for (x, y), under in zip(corners, under_corners):
            self.pixels[y][x] = under

    def shadow(self, left, top, right, bottom):
        """A one-pixel grey shadow along the right and bottom of a card, where nothing else is."""
        for x, y in [(right, y) for y in range(top + 2, bottom + 1)] + \
                    [(x, bottom) for x in range(left + 2, right)]:
            if 0 <= x < self.size and 0 <= y < self.size and self.pixels[y][x] is TRANSPARENT:
                self.pixels[y][x] = GREY

    def pattern(self, rows, colour, left, top):
        """Sets the pixels marked '#' in rows (strings of equal length) to colour."""
        for dy, row in enumerate(rows):
            for dx, mark in enumerate(row):
                if mark == "#":
                    self.pixels[top + dy][left + dx] = colour

    def suit(self, drawer, ink, centre_x, centre_y, symbol_size):
        """A suit symbol symbol_size pixels across, centred on (centre_x, centre_y) in pixel units."""
        mask = Image.new("L", (self.size * SCALE, self.size * SCALE), 0)
        drawer(ImageDraw.Draw(mask), centre_x * SCALE, centre_y * SCALE, symbol_size * SCALE, 255)
        mask = mask.resize((self.size, self.size), Image.BOX)
        for y in range(self.size):
            for x in range(self.size):
                coverage = mask.getpixel((x, y)) / 255
                if coverage >= SOLID_COVERAGE:
                    self.pixels[y][x] = ink
                elif coverage >= EDGE_COVERAGE and EDGE_COLOURS[ink] is not None:
                    self.pixels[y][x] = EDGE_COLOURS[ink]


# At 16 by 16 a scaled-down shape turns to a blob; this spade is set pixel by pixel instead.
SMALL_SPADE = [
    "   #   ",
    "  ###  ",
    " ##### ",
    "#######",
    "#######",
    "## # ##",
    "   #   ",
    "  ###  ",
]


def game_icon():
    canvas = IconCanvas(32)
    canvas.card(2, 1, 21, 27)
    canvas.suit(draw_heart, RED, 7.5, 8, 8)
    canvas.shadow(2, 1, 21, 27)
    canvas.card(11, 5, 30, 31)
    canvas.shadow(11, 5, 30, 31)
    canvas.suit(draw_spade, BLACK, 20.5, 17.5, 14)
    return canvas


def contact_menu_icon():
    canvas = IconCanvas(16)
    canvas.card(2, 1, 13, 15)
    canvas.shadow(2, 1, 13, 15)
    canvas.pattern(SMALL_SPADE, BLACK, 4, 4)
    return canvas


def packed_row(values, bits_per_value):
    """Packs a row of small values, most significant bits first, padded to a multiple of 4 bytes."""
    per_byte = 8 // bits_per_value
    data = bytearray()
    for i in range(0, len(values), per_byte):
        byte = 0
        for value in values[i:i + per_byte]:
            byte = byte << bits_per_value | value
        data.append(byte << bits_per_value * (per_byte - len(values[i:i + per_byte])))
    return bytes(data) + b"\0" * (-len(data) % 4)


def ico_bytes(canvas):
    """A one-image ICO file: a bottom-up 4-bit bitmap of doubled height, its colours then its AND mask."""
    size = canvas.size
    # Transparent pixels are black in the colour bits, or the screen would be inverted there.
    colour_bits = b"".join(packed_row([BLACK if p is TRANSPARENT else p for p in row], BITS_PER_PIXEL)
                           for row in reversed(canvas.pixels))
    mask = b"".join(packed_row([1 if p is TRANSPARENT else 0 for p in row], 1)
                    for row in reversed(canvas.pixels))
    palette = b"".join(struct.pack("<BBBB", blue, green, red, 0) for red, green, blue in VGA_PALETTE)
    info_header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, BITS_PER_PIXEL, 0,
                              len(colour_bits) + len(mask), 0, 0, 0, 0)
    image = info_header + palette + colour_bits + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry_size = 16
    entry = struct.pack("<BBBBHHII", size, size, len(VGA_PALETTE), 0, 1, BITS_PER_PIXEL, len(image),
                        len(directory) + entry_size)
    return directory + entry + image


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else "resources"
    for name, canvas in (("game.ico", game_icon()), ("contact_menu.ico", contact_menu_icon())):
        with open(os.path.join(folder, name), "wb") as output:
            output.write(ico_bytes(canvas))


if __name__ == "__main__":
    main()
