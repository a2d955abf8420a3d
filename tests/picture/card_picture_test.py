#!/usr/bin/python3
# Checks the card picture the build drew: the sheet the window cuts, the pips of 6 to 10, court figures
# that differ, and corner indices that tell every card apart. Usage: card_picture_test.py cards.png
import sys
from itertools import combinations

from PIL import Image, ImageChops, ImageStat

GREY = (127, 127, 127)  # the table, behind the rounded corners and in the gap columns
RANKS, SUITS = "6 7 8 9 10 jack queen king ace".split(), "spades hearts clubs diamonds".split()
# A face's middle, between the two corner index strips and inside the border; the top-left corner that
# a card overlapped in the hand still shows.
MIDDLE, CORNER = (18, 2, 53, 95), (0, 0, 18, 35)
# One pip changes the middle's mean difference by 4 to 7 (a 6 against a 7 of a suit): two court figures
# must differ by more than a few pips. Two corner strips by a glyph stroke (one pixel makes about 0.4).
COURT_DIFFERENCE, CORNER_DIFFERENCE = 15, 3


def pips(face, red):
    """The separate pieces of the suit's colour in the face's middle (touching diagonally is one)."""
    ink = {(x, y) for x in range(MIDDLE[0], MIDDLE[2]) for y in range(MIDDLE[1], MIDDLE[3])
           if (p := face.getpixel((x, y)))[1] < 90 and p[2] < 90 and (p[0] > 150 if red else p[0] < 90)}
    count = 0
    while ink:
        count, todo = count + 1, [ink.pop()]
        while todo:
            x, y = todo.pop()
            near = {(x + dx, y + dy) for dx in (-1, 0, 1) for dy in (-1, 0, 1)} & ink
            ink, todo = ink - near, todo + list(near)
    return count


def difference(box, a, b):
    return sum(ImageStat.Stat(ImageChops.difference(faces[a].crop(box), faces[b].crop(box))).mean) / 3


def name(card):
    return f"{RANKS[card[0]]} of {SUITS[card[1]]}"


picture = Image.open(sys.argv[1]).convert("RGB")
if picture.size != (647, 388):
    sys.exit(f"FAILED: the picture is {picture.size}, expected (647, 388)")
# The sheet as the window cuts it (window/game_window_constants.h): 9 ranks by 4 suits of blocks 72 by
# 97, each a face 71 wide with a gap column on its right (the ace's is cut from that gap to the edge).
gaps = {picture.getpixel((72 * rank + 71, y)) for rank in range(8) for y in range(388)} - {GREY}
failures = [f"the gap columns hold {gaps} besides the table's grey"] if gaps else []
faces = {(rank, suit): picture.crop((72 * rank, 97 * suit, 72 * rank + 71, 97 * suit + 97))
         for rank in range(9) for suit in range(4)}
failures += [f"the {name(card)} has {found} pips, expected {card[0] + 6}" for card in faces
             if card[0] < 5 and (found := pips(faces[card], card[1] % 2)) != card[0] + 6]
courts = [(difference(MIDDLE, (a, suit), (b, suit)), (a, suit), (b, suit), "middles", COURT_DIFFERENCE)
          for suit in range(4) for a, b in combinations(range(5, 8), 2)]
corners = min((difference(CORNER, a, b), a, b, "corner strips", CORNER_DIFFERENCE)
              for a, b in combinations(faces, 2))
failures += [f"the {part} of the {name(a)} and the {name(b)} differ by {value:.1f}, expected at least {least}"
             for value, a, b, part, least in courts + [corners] if value < least]
print(f"closest court figures {min(courts)[0]:.1f}, closest corner strips {corners[0]:.1f}")
sys.exit("".join(f"FAILED: {failure}\n" for failure in failures) or 0)
