#!/usr/bin/python3
# Draws tests/plugin/data/colour_cards.png: the card picture's layout with every face one flat colour of
# its own (red and blue follow the rank, green the suit), and the gap columns in the gap colour; the
# window tests read it back through the referee, which reads the picture itself.
import sys

from PIL import Image

from make_card_picture import FACE_HEIGHT, FACE_WIDTH, PICTURE_HEIGHT, PICTURE_WIDTH, RANK_COUNT, \
    SUIT_COUNT, face_left

GAP_COLOUR = (255, 0, 255)
SUIT_GREENS = [10, 60, 180, 240]


def face_colour(column, suit):
    return (40 + 20 * column, SUIT_GREENS[suit], 200 - 15 * column)


def main():
    output_path = sys.argv[1] if len(sys.argv) > 1 else "tests/plugin/data/colour_cards.png"
    picture = Image.new("RGB", (PICTURE_WIDTH, PICTURE_HEIGHT), GAP_COLOUR)
    for suit in range(SUIT_COUNT):
        for column in range(RANK_COUNT):
            left, top = face_left(column), FACE_HEIGHT * suit
            picture.paste(face_colour(column, suit), (left, top, left + FACE_WIDTH, top + FACE_HEIGHT))
    picture.save(output_path, "PNG", optimize=True)


if __name__ == "__main__":
    main()
