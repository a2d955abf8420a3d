#!/usr/bin/python3
# Draws the card picture (the build writes it as cards.png): 9 rank columns (6, 7, 8, 9, 10, В, Д, К, Т)
# by 4 suit rows (row 0 spades, row 1 hearts, row 2 clubs, row 3 diamonds), every shape drawn here with PIL.
#
# The program cuts each face as a 72 by 97 block. Faces are 71 pixels wide: the face of column c < 8
# starts at x = 72c and is followed by a one-pixel gap column at 72c + 71; the ace column starts at 576
# and ends at the picture's last pixel, so its block (from x = 575) shares the king's gap column.
# Rows alternate black and red so that neighbouring suits in a sorted hand differ in colour.
# The output is the same bytes on every run: no time stamp or other metadata is written.
# Usage: make_card_picture.py OUTPUT.png
import math
import sys

from PIL import Image, ImageDraw, ImageFont

from court_figures import draw_court_half

PICTURE_WIDTH = 647
PICTURE_HEIGHT = 388
FACE_WIDTH = 71
FACE_HEIGHT = 97
BLOCK_WIDTH = FACE_WIDTH + 1
RANK_COUNT = 9
SUIT_COUNT = 4
ACE_COLUMN = RANK_COUNT - 1
ACE_FACE_X = PICTURE_WIDTH - FACE_WIDTH
MIDDLE_X = FACE_WIDTH / 2
MIDDLE_Y = FACE_HEIGHT / 2

# Court cards as Russian decks letter them: валет, дама, король, туз.
RANK_LABELS = ["6", "7", "8", "9", "10", "В", "Д", "К", "Т"]
LOWEST_RANK = 6
FIRST_COURT_COLUMN = 5
SUIT_SHAPES = ["spade", "heart", "club", "diamond"]

# Everything is drawn this many times larger, then scaled down for smooth edges: each pixel is the mean
# of its block, so that the table grey outside the rounded corners stays exact.
SCALE = 8
FONT_PATH = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"

CARD_WHITE = (255, 255, 255)
OUTLINE_DARK = (48, 48, 48)
# The table's grey: outside the rounded corners and in the gap columns, so that both vanish on the table.
TABLE_GREY = (127, 127, 127)
BLACK_INK = (16, 16, 16)
RED_INK = (204, 0, 0)
# The pale shade of a suit's ink behind court figures and the ace.
SUIT_TINTS = {BLACK_INK: (226, 228, 238), RED_INK: (252, 228, 228)}
TRANSPARENT = (0, 0, 0, 0)

CORNER_RADIUS = 5
OUTLINE_WIDTH = 1
# Corner index: the rank's ink is centred on INDEX_CENTRE_X and spans INDEX_RANK_TOP..+INDEX_RANK_HEIGHT,
# the small suit symbol sits below it. It ends by x = 16, inside the strip that a card overlapped in a
# crowded hand still shows.
INDEX_CENTRE_X = 9.5
INDEX_RANK_TOP = 4
INDEX_RANK_HEIGHT = 13
INDEX_RANK_MAX_WIDTH = 13
INDEX_SUIT_TOP = 20
INDEX_SUIT_SIZE = 11

# Pips of 6 to 10: two columns, rows evenly spaced from PIP_TOP to the mirrored bottom row, and the
# middle pips at fractions of the way from the top row to the bottom one, as a French-suited deck has them.
PIP_SIZE = 12.5
PIP_COLUMN_OFFSET = 11
PIP_TOP = 12
COLUMN_ROWS = {6: 3, 7: 3, 8: 3, 9: 4, 10: 4}
MIDDLE_PIPS = {6: (), 7: (1 / 4,), 8: (1 / 4, 3 / 4), 9: (1 / 2,), 10: (1 / 6, 5 / 6)}

ACE_PIP_SIZE = 24
ACE_RING_RADIUS = 16.5
ACE_BEAD_COUNT = 16
ACE_BEAD_RADIUS = 0.9
# The frame of the court figures; inside it the upper half holds the figure, the lower half its turn.
COURT_FRAME = (18.5, 5.5, FACE_WIDTH - 18.5, FACE_HEIGHT - 5.5)
LINE_WIDTH = 0.7


def suit_ink(suit_shape):
    return RED_INK if suit_shape in ("heart", "diamond") else BLACK_INK


def heart_outline(centre_x, centre_y, size, points=96):
    """Polygon of a heart size wide, its point down, centred on (centre_x, centre_y)."""
    # The classic heart curve spans x in [-16, 16] and y in about [-17, 12] (y up).
    unit = size / 32.0
    outline = []
    for i in range(points):
        t = 2 * math.pi * i / points
        x = 16 * math.sin(t) ** 3
        y = 13 * math.cos(t) - 5 * math.cos(2 * t) - 2 * math.cos(3 * t) - math.cos(4 * t)
        outline.append((centre_x + x * unit, centre_y - (y + 2.5) * unit))
    return outline


def draw_heart(draw, cx, cy, size, ink):
    draw.polygon(heart_outline(cx, cy, size), fill=ink)


def draw_diamond(draw, cx, cy, size, ink):
    # Slightly concave sides, as printed diamonds have.
    half_w, half_h = size * 0.44, size * 0.54
    corners = [(cx, cy - half_h), (cx + half_w, cy), (cx, cy + half_h), (cx - half_w, cy)]
    outline = []
    for i in range(4):
        (x0, y0), (x1, y1) = corners[i], corners[(i + 1) % 4]
        for step in range(16):
            f = step / 16
            bulge = 0.10 * math.sin(math.pi * f)
            x = x0 + (x1 - x0) * f + (cx - (x0 + x1) / 2) * bulge
            y = y0 + (y1 - y0) * f + (cy - (y0 + y1) / 2) * bulge
            outline.append((x, y))
    draw.polygon(outline, fill=ink)


def draw_stem(draw, cx, top_y, bottom_y, size, ink):
    # A flared foot: narrow at the symbol, wide at the bottom, with curved flanks.
    half_top, half_bottom = size * 0.04, size * 0.20
    left, right = [], []
    for step in range(13):
        f = step / 12
        y = top_y + (bottom_y - top_y) * f
        half = half_top + (half_bottom - half_top) * f**2
        left.append((cx - half, y))
        right.append((cx + half, y))
    draw.polygon(left + right[::-1], fill=ink)


def draw_spade(draw, cx, cy, size, ink):
    # An upside-down heart slightly shorter than wide, over a flared stem.
    body_cy = cy - size * 0.10
    unit_flip = [(cx - (x - cx), body_cy - (y - body_cy) * 0.95) for x, y in heart_outline(cx, body_cy, size)]
    draw.polygon(unit_flip, fill=ink)
    draw_stem(draw, cx, body_cy + size * 0.10, cy + size * 0.52, size, ink)


def draw_club(draw, cx, cy, size, ink):
    radius = size * 0.24
    lobes = [(cx, cy - size * 0.24), (cx - size * 0.25, cy + size * 0.12), (cx + size * 0.25, cy + size * 0.12)]
    for lx, ly in lobes:
        draw.ellipse((lx - radius, ly - radius, lx + radius, ly + radius), fill=ink)
    # Fill the hole between the three lobes.
    draw.polygon([lobes[0], lobes[1], lobes[2]], fill=ink)
    draw_stem(draw, cx, cy, cy + size * 0.52, size, ink)


SUIT_DRAWERS = {"spade": draw_spade, "heart": draw_heart, "club": draw_club, "diamond": draw_diamond}


class Pen:
    """Draws on a supersampled layer in face units, the card's own pixels."""

    def __init__(self, layer):
        self.layer = layer
        self.draw = ImageDraw.Draw(layer)

    def polygon(self, points, fill, outline=None, width=LINE_WIDTH):
        self.draw.polygon([(x * SCALE, y * SCALE) for x, y in points], fill=fill, outline=outline,
                          width=round(width * SCALE) if outline else 0)

    def ellipse(self, cx, cy, rx, ry, fill, outline=None, width=LINE_WIDTH):
        self.draw.ellipse(((cx - rx) * SCALE, (cy - ry) * SCALE, (cx + rx) * SCALE, (cy + ry) * SCALE),
                          fill=fill, outline=outline, width=round(width * SCALE) if outline else 0)

    def line(self, points, fill, width=LINE_WIDTH):
        self.draw.line([(x * SCALE, y * SCALE) for x, y in points], fill=fill, width=round(width * SCALE),
                       joint="curve")

    def rectangle(self, box, fill, outline=None, width=LINE_WIDTH):
        self.draw.rectangle([v * SCALE for v in box], fill=fill, outline=outline,
                            width=round(width * SCALE) if outline else 0)

    def suit(self, suit_shape, cx, cy, size):
        """A suit symbol about size wide and high, centred on (cx, cy)."""
        SUIT_DRAWERS[suit_shape](self.draw, cx * SCALE, cy * SCALE, size * SCALE, suit_ink(suit_shape))


def draw_label(layer, text, centre_x, top, height, max_width, ink):
    """Draws text so that its ink is exactly height high from top, centred on centre_x, squeezed
    sideways if it would be wider than max_width (the two digits of "10")."""
    font = ImageFont.truetype(FONT_PATH, height * SCALE * 2)
    left, upper, right, lower = font.getbbox(text)
    mask = Image.new("L", (right - left, lower - upper), 0)
    ImageDraw.Draw(mask).text((-left, -upper), text, font=font, fill=255)
    mask = mask.crop(mask.getbbox())
    target_height = height * SCALE
    target_width = mask.width * target_height / mask.height
    target_width = min(target_width, max_width * SCALE)
    mask = mask.resize((round(target_width), target_height), Image.LANCZOS)
    x = round(centre_x * SCALE - mask.width / 2)
    layer.paste(Image.new("RGBA", mask.size, ink + (255,)), (x, top * SCALE), mask)


def draw_corner_index(layer, column, suit_shape):
    draw_label(layer, RANK_LABELS[column], INDEX_CENTRE_X, INDEX_RANK_TOP, INDEX_RANK_HEIGHT,
               INDEX_RANK_MAX_WIDTH, suit_ink(suit_shape))
    Pen(layer).suit(suit_shape, INDEX_CENTRE_X, INDEX_SUIT_TOP + INDEX_SUIT_SIZE / 2, INDEX_SUIT_SIZE)


def pip_centres(rank):
    """Where the pips of a 6 to 10 go, in face units."""
    rows = COLUMN_ROWS[rank]
    span = FACE_HEIGHT - 2 * PIP_TOP
    centres = [(MIDDLE_X + side * PIP_COLUMN_OFFSET, PIP_TOP + span * row / (rows - 1))
               for side in (-1, 1) for row in range(rows)]
    return centres + [(MIDDLE_X, PIP_TOP + span * fraction) for fraction in MIDDLE_PIPS[rank]]


def draw_pips(upright, turned, suit_shape, rank):
    # A pip below the middle is drawn upright on the layer that is turned round into the lower half.
    for x, y in pip_centres(rank):
        if y <= MIDDLE_Y:
            upright.suit(suit_shape, x, y, PIP_SIZE)
        else:
            turned.suit(suit_shape, FACE_WIDTH - x, FACE_HEIGHT - y, PIP_SIZE)


def draw_ace(face, upright, turned, suit_shape):
    """One large pip on a pale disc in a beaded ring, with a leaf above and, turned, below."""
    ink = suit_ink(suit_shape)
    face.ellipse(MIDDLE_X, MIDDLE_Y, ACE_RING_RADIUS, ACE_RING_RADIUS, SUIT_TINTS[ink], ink, 0.6)
    inner = ACE_RING_RADIUS - 2.2
    face.ellipse(MIDDLE_X, MIDDLE_Y, inner, inner, CARD_WHITE, ink, 0.4)
    for i in range(ACE_BEAD_COUNT):
        angle = 2 * math.pi * (i + 0.5) / ACE_BEAD_COUNT
        radius = ACE_RING_RADIUS - 1.1
        face.ellipse(MIDDLE_X + radius * math.cos(angle), MIDDLE_Y + radius * math.sin(angle),
                     ACE_BEAD_RADIUS, ACE_BEAD_RADIUS, ink)
    face.suit(suit_shape, MIDDLE_X, MIDDLE_Y + 0.5, ACE_PIP_SIZE)
    top = MIDDLE_Y - ACE_RING_RADIUS
    for pen in (upright, turned):
        # A pointed leaf on a short stalk, with a curl on either side.
        pen.polygon([(MIDDLE_X, top - 11), (MIDDLE_X + 2.6, top - 6.5), (MIDDLE_X, top - 2.5),
                     (MIDDLE_X - 2.6, top - 6.5)], ink)
        pen.line([(MIDDLE_X, top - 3), (MIDDLE_X, top)], ink, 0.8)
        for side in (-1, 1):
            curl = [(MIDDLE_X + side * (1.5 + 6 * f), top - 1.5 - 5 * math.sin(math.pi * f) + 2 * f)
                    for f in (i / 12 for i in range(13))]
            pen.line(curl, ink, 0.9)
            pen.ellipse(curl[-1][0], curl[-1][1], 1, 1, ink)


def draw_court(face, upright, turned, column, suit_shape):
    ink = suit_ink(suit_shape)
    face.rectangle(COURT_FRAME, SUIT_TINTS[ink], ink, 0.8)
    left, top, right, _ = COURT_FRAME
    for pen in (upright, turned):
        half = Pen(Image.new("RGBA", pen.layer.size, TRANSPARENT))
        draw_court_half(half, column - FIRST_COURT_COLUMN, ink, SUIT_TINTS[ink],
                        lambda x, y, size: half.suit(suit_shape, x, y, size))
        # Only what lies inside the frame's upper half stays: the other half is this one turned round.
        margin = 0.4 * SCALE
        clip = Image.new("L", half.layer.size, 0)
        ImageDraw.Draw(clip).rectangle((left * SCALE + margin, top * SCALE + margin,
                                        right * SCALE - margin, MIDDLE_Y * SCALE - 1), fill=255)
        half.layer.putalpha(Image.composite(half.layer.getchannel("A"), clip, clip))
        pen.layer.alpha_composite(half.layer)
    face.line([(left, MIDDLE_Y), (right, MIDDLE_Y)], ink, 0.6)


def draw_face(column, suit_shape):
    """One 71 by 97 face."""
    width, height = FACE_WIDTH * SCALE, FACE_HEIGHT * SCALE
    image = Image.new("RGBA", (width, height), TABLE_GREY + (255,))
    draw = ImageDraw.Draw(image)
    draw.rounded_rectangle((0, 0, width - 1, height - 1), radius=CORNER_RADIUS * SCALE, fill=OUTLINE_DARK)
    inset = OUTLINE_WIDTH * SCALE
    draw.rounded_rectangle((inset, inset, width - 1 - inset, height - 1 - inset),
                           radius=(CORNER_RADIUS - OUTLINE_WIDTH) * SCALE, fill=CARD_WHITE)

    # What is drawn on `turned` is drawn upright and then turned round into the card's lower half.
    face = Pen(image)
    upright = Pen(Image.new("RGBA", image.size, TRANSPARENT))
    turned = Pen(Image.new("RGBA", image.size, TRANSPARENT))
    if column == ACE_COLUMN:
        draw_ace(face, upright, turned, suit_shape)
    elif column >= FIRST_COURT_COLUMN:
        draw_court(face, upright, turned, column, suit_shape)
    else:
        draw_pips(upright, turned, suit_shape, LOWEST_RANK + column)
    for pen in (upright, turned):
        draw_corner_index(pen.layer, column, suit_shape)
    image.alpha_composite(upright.layer)
    image.alpha_composite(turned.layer.transpose(Image.Transpose.ROTATE_180))
    return image.convert("RGB").reduce(SCALE)


def face_left(column):
    return ACE_FACE_X if column == ACE_COLUMN else BLOCK_WIDTH * column


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_card_picture.py OUTPUT.png")
    picture = Image.new("RGB", (PICTURE_WIDTH, PICTURE_HEIGHT), TABLE_GREY)
    for row, suit_shape in enumerate(SUIT_SHAPES):
        for column in range(RANK_COUNT):
            picture.paste(draw_face(column, suit_shape), (face_left(column), FACE_HEIGHT * row))
    picture.save(sys.argv[1], "PNG", optimize=True)


if __name__ == "__main__":
    main()
