// The deal: the random source, a new game, drawing from the stock, refilling and sorting hands.
#pragma once

#include "engine/cards.h"

// Yields pseudo-random values of which the low 15 bits are used. Tests replace it to script a deal.
using RandomSource = int (*)();
extern RandomSource randomSource;
// The next value of randomSource, reduced to 0..32767.
unsigned nextRandom15();

// Builds, shuffles and deals a fresh deck, then announces the game to the window and the opponent.
void newGame(std::uint8_t localDefends);
// What closing the game window leaves: the five lists empty and no deal waiting for an answer; the
// flags and the opponent stay.
void emptyGameOnClose();
// Moves up to n cards from the end of the stock to the front of hand, in stock order.
void drawCards(CardList& hand, unsigned n);
// Brings both hands towards six cards, the attacker's first, then sorts both.
void refillHands();
// Orders a hand by suit number with the trump suit last, each suit by rank.
void sortHand(CardList& hand);
