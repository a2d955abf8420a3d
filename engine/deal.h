// The deal: the random source, a fresh deck dealt, drawing from the stock, refilling and sorting hands.
#pragma once

#include "engine/cards.h"

// Yields pseudo-random values of which the low 15 bits are used. Tests replace it to script a deal.
using RandomSource = int (*)();
extern RandomSource randomSource;
// The next value of randomSource, reduced to 0..32767.
unsigned nextRandom15();

// Builds, shuffles and deals a fresh deck into game; localDefends says who defends first. Only the
// cards and flags change: newGame (exchange/show_and_send.h) announces the deal.
void dealFreshGame(GameState& game, std::uint8_t localDefends);
// What closing the game window leaves: the five lists empty and no deal waiting for an answer; the
// flags and the opponent stay.
void emptyGameOnClose(GameState& game);
// Moves up to n cards from the end of the stock to the front of hand, in stock order.
void drawCards(GameState& game, CardList& hand, unsigned n);
// Brings both hands towards six cards, the attacker's first, then sorts both.
void refillHands(GameState& game);
// Orders a hand by suit number with the trump suit last, each suit by rank.
void sortHand(CardList& hand, std::uint8_t trumpSuit);
