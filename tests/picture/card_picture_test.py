#!/usr/bin/python3
# Checks the card picture the build drew: the sheet the window cuts, the pips of 6 to 10, court figures
# that differ, and corner indices that tell every card apart. Usage: card_picture_test.py cards.png
import sys
from itertools import combinations

from PIL import Image, ImageChops, ImageStat

# The sheet as the window cuts it (window/game_window_constants.h): per suit row 9 faces of 71 by 97,
# block c < 8 from x = 72c with a grey gap column on its right, the ace's block from 575 to the last pixel.
PICTURE_SIZE = (647, 388)
FACE_WIDTH, FACE_HEIGHT, BLOCK_WIDTH = 71, 97, 72
ACE_BLOCK_LEFT = 575
RANKS = ["6", "7", "8", "9", "10", "jack", "queen", "king", "ace"]
SUITS = ["spades", "hearts", "clubs", "diamonds"]
TABLE_GREY = (127, 127, 127)
# A face's middle: between the two corner index strips and inside the border.
MIDDLE = (18, 2, FACE_WIDTH - 18, FACE_HEIGHT - 2)
# The top-left corner that a card overlapped in the hand still shows.
CORNER_STRIP = (0, 0, 18, 35)
# One pip changes the middle's mean difference by 4 to 7 (a 6 against a 7 of a suit); two court
# figures must differ by more than a few pips' worth.
COURT_DIFFERENCE_MIN = 15
# Two corner strips that differ by a glyph stroke or more (one differing pixel makes about 0.4).
CORNER_DIFFERENCE_MIN = 3


def is_ink(row, pixel):
    r, g, b = pixel
    return r > 150 and g < 90 and b < 90 if row % 2 else max(pixel) < 90


def blob_count(face, row):
    """The number of separate pieces of the suit's ink in the face's middle (touching diagonally is one)."""
    left, top, right, bottom = MIDDLE
    ink = {(x, y) for x in range(left, right) for y in range(top, bottom)
           if is_ink(row, face.getpixel((x, y)))}
    count = 0
    while ink:
        count += 1
        stack = [ink.pop()]
        while stack:
            x, y = stack.pop()
            for neighbour in [(x + dx, y + dy) for dx in (-1, 0, 1) for dy in (-1, 0, 1)]:
                if neighbour in ink:
                    ink.remove(neighbour)
                    stack.append(neighbour)
    return count


def difference(a, b, box):
    return sum(ImageStat.Stat(ImageChops.difference(a.crop(box), b.crop(box))).mean) / 3


def main():
    picture = Image.open(sys.argv[1]).convert("RGB")
    if picture.size != PICTURE_SIZE:
        sys.exit(f"FAILED: the picture is {picture.size}, expected {PICTURE_SIZE}")
    failures = []
    for x in [BLOCK_WIDTH * c + FACE_WIDTH for c in range(len(RANKS) - 1)]:
        if {picture.getpixel((x, y)) for y in range(picture.height)} != {TABLE_GREY}:
            failures.append(f"gap column {x} is not all table grey")
    if ACE_BLOCK_LEFT + BLOCK_WIDTH != picture.width:
        failures.append(f"the ace's block from {ACE_BLOCK_LEFT} does not end at the picture's last pixel")
    faces = {(rank, row): picture.crop((BLOCK_WIDTH * rank, FACE_HEIGHT * row,
                                        BLOCK_WIDTH * rank + FACE_WIDTH, FACE_HEIGHT * (row + 1)))
             for rank in range(len(RANKS)) for row in range(len(SUITS))}
    for (rank, row), face in faces.items():
        name = f"{RANKS[rank]} of {SUITS[row]}"
        # A rounded corner shows the table; the thin border is dark with the card's white inside it.
        edge = [face.getpixel((0, 0)), max(face.getpixel((0, 48))), min(face.getpixel((3, 48)))]
        if edge[0] != TABLE_GREY or edge[1] > 100 or edge[2] < 240:
            failures.append(f"{name}: corner, border and inside are {edge}, "
                            f"expected {TABLE_GREY}, dark, white")
        if rank < 5 and blob_count(face, row) != rank + 6:
            failures.append(f"{name}: expected {rank + 6} pips, got {blob_count(face, row)}")
    for row, suit in enumerate(SUITS):
        for a, b in combinations(range(5, 8), 2):
            value = difference(faces[a, row], faces[b, row], MIDDLE)
            print(f"{RANKS[a]} and {RANKS[b]} of {suit} differ by {value:.1f}")
            if value < COURT_DIFFERENCE_MIN:
                failures.append(f"{RANKS[a]} and {RANKS[b]} of {suit} differ by {value:.1f}, "
                                f"expected at least {COURT_DIFFERENCE_MIN}")
    corner, first, second = min((difference(faces[a], faces[b], CORNER_STRIP), a, b)
                                for a, b in combinations(sorted(faces), 2))
    print(f"closest corner strips: {corner:.1f}")
    if corner < CORNER_DIFFERENCE_MIN:
        failures.append(f"corner strips of {first} and {second} differ by {corner:.1f}, "
                        f"expected at least {CORNER_DIFFERENCE_MIN}")
    for failure in failures:
        print("FAILED:", failure)
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
