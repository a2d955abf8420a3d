#!/usr/bin/python3
# Draws the card picture resources/cards.png: 9 rank columns (6, 7, 8, 9, 10, В, Д, К, Т) by 4 suit rows
# (row 0 spades, row 1 hearts, row 2 clubs, row 3 diamonds), every shape drawn here with PIL.
#
# The program cuts each face as a 72 by 97 block. Faces are 71 pixels wide: the face of column c < 8
# starts at x = 72c and is followed by a one-pixel gap column at 72c + 71; the ace column starts at 576
# and ends at the picture's last pixel, so its block (from x = 575) shares the king's gap column.
# Rows alternate black and red so that neighbouring suits in a sorted hand differ in colour.
# The output is the same bytes on every run: no time stamp or other metadata is written.
import math
import sys

from PIL import Image, ImageDraw, ImageFont

PICTURE_WIDTH = 647
PICTURE_HEIGHT = 388
FACE_WIDTH = 71
FACE_HEIGHT = 97
BLOCK_WIDTH = FACE_WIDTH + 1
RANK_COUNT = 9
SUIT_COUNT = 4
ACE_COLUMN = RANK_COUNT - 1
ACE_FACE_X = PICTURE_WIDTH - FACE_WIDTH

# Court cards as Russian decks letter them: валет, дама, король, туз.
RANK_LABELS = ["6", "7", "8", "9", "10", "В", "Д", "К", "Т"]
FIRST_COURT_COLUMN = 5
SUIT_SHAPES = ["spade", "heart", "club", "diamond"]

# Everything is drawn this many times larger, then scaled down for smooth edges.
SCALE = 8
FONT_PATH = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"

CARD_WHITE = (255, 255, 255)
OUTLINE_DARK = (48, 48, 48)
# The table's grey: outside the rounded corners and in the gap columns, so that both vanish on the table.
TABLE_GREY = (127, 127, 127)
BLACK_INK = (16, 16, 16)
RED_INK = (204, 0, 0)
COURT_FRAME_TINTS = {BLACK_INK: (232, 232, 240), RED_INK: (252, 234, 234)}

CORNER_RADIUS = 5
OUTLINE_WIDTH = 1
# Corner index: the rank's ink is centred on INDEX_CENTRE_X and spans INDEX_RANK_TOP..+INDEX_RANK_HEIGHT,
# the small suit symbol sits below it.
INDEX_CENTRE_X = 10
INDEX_RANK_TOP = 4
INDEX_RANK_HEIGHT = 13
INDEX_RANK_MAX_WIDTH = 15
INDEX_SUIT_TOP = 20
INDEX_SUIT_SIZE = 11
CENTRE_SUIT_SIZE = 32
ACE_SUIT_SIZE = 40
COURT_FRAME_MARGIN_X = 17
COURT_FRAME_MARGIN_Y = 17


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


def draw_suit(draw, suit_shape, cx, cy, size):
    """Draws a suit symbol about size wide and high, centred on (cx, cy), in supersampled units."""
    SUIT_DRAWERS[suit_shape](draw, cx * SCALE, cy * SCALE, size * SCALE, suit_ink(suit_shape))


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
    ink = suit_ink(suit_shape)
    draw_label(layer, RANK_LABELS[column], INDEX_CENTRE_X, INDEX_RANK_TOP, INDEX_RANK_HEIGHT,
               INDEX_RANK_MAX_WIDTH, ink)
    draw_suit(ImageDraw.Draw(layer), suit_shape, INDEX_CENTRE_X, INDEX_SUIT_TOP + INDEX_SUIT_SIZE / 2,
              INDEX_SUIT_SIZE)


def draw_face(column, suit_shape):
    """One 71 by 97 face."""
    width, height = FACE_WIDTH * SCALE, FACE_HEIGHT * SCALE
    face = Image.new("RGBA", (width, height), TABLE_GREY + (255,))
    draw = ImageDraw.Draw(face)
    draw.rounded_rectangle((0, 0, width - 1, height - 1), radius=CORNER_RADIUS * SCALE, fill=OUTLINE_DARK)
    inset = OUTLINE_WIDTH * SCALE
    draw.rounded_rectangle((inset, inset, width - 1 - inset, height - 1 - inset),
                           radius=(CORNER_RADIUS - OUTLINE_WIDTH) * SCALE, fill=CARD_WHITE)

    middle_x, middle_y = FACE_WIDTH / 2, FACE_HEIGHT / 2
    ink = suit_ink(suit_shape)
    if column >= FIRST_COURT_COLUMN and column != ACE_COLUMN:
        # Court cards get a tinted frame round the middle symbol so they stand apart from the numbers.
        draw.rectangle((COURT_FRAME_MARGIN_X * SCALE, COURT_FRAME_MARGIN_Y * SCALE,
                        (FACE_WIDTH - COURT_FRAME_MARGIN_X) * SCALE - 1,
                        (FACE_HEIGHT - COURT_FRAME_MARGIN_Y) * SCALE - 1),
                       fill=COURT_FRAME_TINTS[ink], outline=ink, width=SCALE)
    size = ACE_SUIT_SIZE if column == ACE_COLUMN else CENTRE_SUIT_SIZE
    draw_suit(draw, suit_shape, middle_x, middle_y, size)

    corner = Image.new("RGBA", face.size, (0, 0, 0, 0))
    draw_corner_index(corner, column, suit_shape)
    face.alpha_composite(corner)
    face.alpha_composite(corner.rotate(180))
    return face.convert("RGB").resize((FACE_WIDTH, FACE_HEIGHT), Image.LANCZOS)


def face_left(column):
    return ACE_FACE_X if column == ACE_COLUMN else BLOCK_WIDTH * column


def main():
    output_path = sys.argv[1] if len(sys.argv) > 1 else "resources/cards.png"
    picture = Image.new("RGB", (PICTURE_WIDTH, PICTURE_HEIGHT), TABLE_GREY)
    for row, suit_shape in enumerate(SUIT_SHAPES):
        for column in range(RANK_COUNT):
            picture.paste(draw_face(column, suit_shape), (face_left(column), FACE_HEIGHT * row))
    picture.save(output_path, "PNG", optimize=True)


if __name__ == "__main__":
    main()
