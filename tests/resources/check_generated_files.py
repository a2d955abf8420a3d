#!/usr/bin/python3
# Draws the card pictures and icons again into a temporary folder and compares them with the committed
# files, so that a change to a drawing script cannot land without the files it makes.
import os
import subprocess
import sys
import tempfile

from PIL import Image, ImageChops

PICTURES = [("make_card_picture.py", "resources/cards.png"),
            ("make_test_card_picture.py", "tests/windows/data/colour_cards.png")]
ICONS = ["resources/game.ico", "resources/contact_menu.ico"]


def same_pixels(first_path, second_path):
    with Image.open(first_path) as first, Image.open(second_path) as second:
        if first.size != second.size:
            return False
        return ImageChops.difference(first.convert("RGBA"), second.convert("RGBA")).getbbox() is None


def main():
    source = sys.argv[1]
    scripts = os.path.join(source, "scripts")
    stale = []
    with tempfile.TemporaryDirectory() as scratch:
        for script, committed in PICTURES:
            drawn = os.path.join(scratch, os.path.basename(committed))
            subprocess.run([sys.executable, os.path.join(scripts, script), drawn], check=True)
            if not same_pixels(drawn, os.path.join(source, committed)):
                stale.append(committed)
        subprocess.run([sys.executable, os.path.join(scripts, "make_icons.py"), scratch], check=True)
        for committed in ICONS:
            with open(os.path.join(scratch, os.path.basename(committed)), "rb") as drawn, \
                    open(os.path.join(source, committed), "rb") as kept:
                if drawn.read() != kept.read():
                    stale.append(committed)
    for path in stale:
        print(f"{path} differs from what its script draws now: run the script and commit the result")
    print(f"{len(PICTURES) + len(ICONS) - len(stale)} passed, {len(stale)} failed")
    return 1 if stale else 0


if __name__ == "__main__":
    sys.exit(main())
