#!/usr/bin/env python3
# Writes the hostile run's script for devhost.exe: texts from the peer Alice and from Carol, a stranger.
# Mostly state messages with a random part of the 36 cards spread at random over the four groups and
# any digits, half of them with one to three characters changed, inserted, removed, doubled or cut
# off, which the decoder may or may not accept; now and then chat or a look-alike of the marker, and
# now and then the game window closed. Usage: hostile_texts.py COUNT SEED
import random
import sys

MARKER = "@@Kelvaron@@"
CHAT = ["", "Привет", MARKER, "@@kelvaron@@----000", " @@Kelvaron@@----000", "@@KELVARON@@----000"]
# "\x7f" and "я" (0xFF in Windows-1251) stand for bytes outside ASCII.
POOL = "0123456789abcdefAz-@ \x7fя"

count, seed = int(sys.argv[1]), int(sys.argv[2])
rng = random.Random(seed)


def state_message():
    deck = [f"{rank:x}{suit}" for suit in range(4) for rank in range(6, 15)]
    rng.shuffle(deck)
    groups = [[], [], [], []]
    for card in deck[: rng.randint(0, len(deck))]:
        groups[rng.randrange(4)].append(card)
    digits = f"{rng.randrange(2)}{rng.randrange(4)}{rng.randrange(2)}"
    return MARKER + "-".join("".join(group) for group in groups) + "-" + digits


def mutated(text):
    for _ in range(rng.randint(1, 3) if rng.randrange(2) else 0):
        if not text:
            break
        at = rng.randrange(len(text))
        kind = rng.randrange(5)
        if kind == 0:
            text = text[:at] + rng.choice(POOL) + text[at + 1 :]
        elif kind == 1:
            text = text[:at] + rng.choice(POOL) + text[at:]
        elif kind == 2:
            text = text[:at] + text[at + 1 :]
        elif kind == 3:  # often a card written twice
            text = text[:at] + text[at : at + 2] + text[at:]
        else:
            text = text[:at]
    return text


print("contact Carol")
window_open = False
for _ in range(count):
    if window_open and rng.randrange(40) == 0:
        print("close")
        window_open = False
    text = rng.choice(CHAT) if rng.randrange(10) == 0 else mutated(state_message())
    # With no window, a stranger's state would open one for the stranger: only the peer opens it.
    sender = "Carol" if window_open and rng.randrange(10) < 3 else "Alice"
    window_open = window_open or (sender == "Alice" and text.startswith(MARKER) and len(text) > len(MARKER))
    print(f"recv {sender} {text}")
