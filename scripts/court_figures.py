# The upper halves of the court cards' figures for make_card_picture.py, in face units (a face is 71 by
# 97): jack with a feathered cap, queen with a tiara, long hair and a flower, king with a crown and beard.
import math

CENTRE_X = 35.5
HEAD_Y = 27
HEAD_RX, HEAD_RY = 5.6, 6.8
SKIN = (250, 222, 192)
GOLD = (226, 172, 36)
WHITE = (255, 255, 255)
ERMINE_BLACK = (16, 16, 16)
THIN = 0.5
# Where the small pip of the suit sits, in the frame's upper right corner.
PIP_X, PIP_Y, PIP_SIZE = 47.5, 11.5, 7


def mirrored(points):
    """The points followed by their mirror images across the card's middle, in reverse order."""
    return points + [(2 * CENTRE_X - x, y) for x, y in reversed(points)]


def draw_robe(pen, ink, front):
    """Shoulders in the suit's ink, the neck, and a front panel of the given colour."""
    pen.polygon(mirrored([(20, 49), (21, 42.5), (24.5, 38.5), (31, 36.5)]), ink)
    pen.rectangle((CENTRE_X - 2.4, HEAD_Y + 3, CENTRE_X + 2.4, 38), SKIN, ink, THIN)
    pen.polygon(mirrored([(CENTRE_X - 4.5, 37.5), (CENTRE_X - 7, 49)]), front, ink, THIN)


def draw_face(pen, ink):
    pen.ellipse(CENTRE_X, HEAD_Y, HEAD_RX, HEAD_RY, SKIN, ink, THIN)
    for side in (-1, 1):
        pen.ellipse(CENTRE_X + side * 2, HEAD_Y - 0.6, 0.65, 0.75, ink)
        pen.line([(CENTRE_X + side * 2.9, HEAD_Y - 2.1), (CENTRE_X + side * 1.2, HEAD_Y - 1.9)], ink, 0.4)
    pen.line([(CENTRE_X, HEAD_Y), (CENTRE_X - 0.5, HEAD_Y + 1.8), (CENTRE_X + 0.3, HEAD_Y + 2)], ink, 0.4)


def draw_mouth(pen, ink):
    mouth_y = HEAD_Y + 3.4
    pen.line([(CENTRE_X - 1.3, mouth_y), (CENTRE_X, mouth_y + 0.4), (CENTRE_X + 1.3, mouth_y)], ink, 0.5)


def draw_jack(pen, ink, tint):
    # A striped doublet under a pointed white collar.
    draw_robe(pen, ink, tint)
    for x in (-2.6, 0, 2.6):
        pen.line([(CENTRE_X + x, 38), (CENTRE_X + x * 1.5, 49)], ink, 0.6)
    for side in (-1, 1):
        pen.polygon([(CENTRE_X, 37.5), (CENTRE_X + side * 8.5, 36.5), (CENTRE_X + side * 4.5, 42)], WHITE,
                    ink, THIN)
    # Short hair to the ears.
    pen.ellipse(CENTRE_X, HEAD_Y - 1.5, HEAD_RX + 0.9, HEAD_RY - 0.5, ink)
    draw_face(pen, ink)
    draw_mouth(pen, ink)
    # A long feather sweeping up to the left out of a beret tilted to the right, with a gold band.
    feather = []
    for i in range(17):
        f = i / 16
        half_width = 2.6 * math.sin(math.pi * min(1.0, f * 1.15))
        feather.append((31 - 11 * f, 19 - 12 * f + 3 * f * f, half_width))
    upper = [(x + w * 0.45, y - w) for x, y, w in feather]
    lower = [(x - w * 0.45, y + w) for x, y, w in feather]
    pen.polygon(upper + lower[::-1], ink)
    pen.line([(x, y) for x, y, _ in feather[:-2]], WHITE, 0.4)
    pen.polygon([(28.5, 21.5), (29.5, 16.5), (34, 14), (40.5, 14.5), (45, 18), (44, 21.5)], ink)
    pen.polygon([(28.8, 19.5), (43.8, 19.5), (44.2, 22.2), (28.5, 22.2)], GOLD, ink, THIN)


def draw_queen(pen, ink, tint):
    draw_robe(pen, ink, GOLD)
    # Long hair falling to the shoulders on either side of the face.
    pen.polygon(mirrored([(CENTRE_X, 18.5), (29.5, 19.5), (27, 26), (26.5, 34), (24.5, 40.5), (30, 40),
                          (31, 34)]), ink)
    # A round neckline with a necklace of gold beads.
    pen.ellipse(CENTRE_X, 37.5, 5, 2.8, SKIN, ink, THIN)
    for i in range(7):
        angle = math.pi * (0.15 + 0.7 * i / 6)
        pen.ellipse(CENTRE_X - 4.2 * math.cos(angle), 37.6 + 2.5 * math.sin(angle), 0.6, 0.6, GOLD)
    draw_face(pen, ink)
    draw_mouth(pen, ink)
    # A low tiara of three points with pearls on top.
    pen.polygon(mirrored([(29.8, 22), (30.3, 19), (32.6, 19.6), (CENTRE_X, 15.8)]), GOLD, ink, THIN)
    for x, y in ((30.3, 18.8), (CENTRE_X, 15.5), (40.7, 18.8)):
        pen.ellipse(x, y, 1, 1, WHITE, ink, 0.35)
    # A flower held at the chest: five petals round a gold heart, on a stalk.
    flower_x, flower_y = 45, 42
    pen.line([(flower_x, flower_y), (flower_x - 3, 48.5)], tint, 0.8)
    for i in range(5):
        angle = 2 * math.pi * i / 5 - math.pi / 2
        petal_x, petal_y = flower_x + 2 * math.cos(angle), flower_y + 2 * math.sin(angle)
        pen.ellipse(petal_x, petal_y, 1.5, 1.5, WHITE, ink, 0.35)
    pen.ellipse(flower_x, flower_y, 1.1, 1.1, GOLD)


def draw_king(pen, ink, tint):
    draw_robe(pen, ink, GOLD)
    # An ermine collar: white fur with black tails.
    pen.polygon(mirrored([(22.5, 40.5), (26, 37.5), (31, 36.5), (32.5, 40)]), WHITE, ink, THIN)
    for x, y in ((25.5, 39), (29, 38), (42, 38), (45.5, 39)):
        pen.polygon([(x, y - 0.8), (x + 0.6, y + 0.8), (x - 0.6, y + 0.8)], ERMINE_BLACK)
    # A sceptre in the right hand.
    pen.line([(44, 49), (47, 35)], GOLD, 1.2)
    pen.ellipse(47.1, 34.2, 1.5, 1.5, GOLD, ink, 0.35)
    pen.ellipse(CENTRE_X, HEAD_Y - 0.5, HEAD_RX + 0.9, HEAD_RY + 0.3, ink)
    draw_face(pen, ink)
    # A full beard from cheek to cheek, ending in a point on the chest, and a moustache.
    pen.polygon(mirrored([(30.2, HEAD_Y + 0.5), (30.4, HEAD_Y + 5), (32.5, HEAD_Y + 10), (CENTRE_X, HEAD_Y + 13)]),
                ink)
    pen.polygon(mirrored([(31.3, HEAD_Y + 4.2), (33.5, HEAD_Y + 2.7), (CENTRE_X, HEAD_Y + 3)]), ink)
    # The mouth, a pale opening in the beard.
    pen.ellipse(CENTRE_X, HEAD_Y + 4.8, 1.2, 0.6, tint)
    # A tall crown of five points, pearls on the three tallest, and a jewel in its band.
    pen.polygon(mirrored([(29.5, 21.5), (29, 10), (32.5, 14.5), (34, 13), (CENTRE_X, 8)]), GOLD, ink, THIN)
    pen.line([(29.3, 18.5), (41.7, 18.5)], ink, 0.4)
    for x, y in ((29, 9.7), (CENTRE_X, 7.7), (42, 9.7)):
        pen.ellipse(x, y, 1.1, 1.1, GOLD, ink, 0.35)
    pen.ellipse(CENTRE_X, 20, 1, 1, tint, ink, 0.35)


FIGURES = [draw_jack, draw_queen, draw_king]


def draw_court_half(pen, court_index, ink, tint, draw_pip):
    """Draws the figure of a jack (0), queen (1) or king (2) and the small suit pip beside its head;
    the caller keeps what lies in the frame's upper half."""
    FIGURES[court_index](pen, ink, tint)
    draw_pip(PIP_X, PIP_Y, PIP_SIZE)
