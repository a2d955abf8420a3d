// The two rules the rest of the system asks about: may a card cover, and how does the game stand.
#pragma once

#include "engine/cards.h"

// Always from the local player's side; computed whenever needed, never stored.
enum GameOutcome : std::uint8_t { InProgress = 0, Won = 1, Lost = 2, Draw = 3 };

// Whether card may cover the uncovered last card on the table (false when every attack is covered).
bool canBeat(const GameState& game, Card card);
GameOutcome gameOutcome(const GameState& game);
// A state as a deal leaves it: nothing on the table, six cards in each hand, 24 in the stock, no
// throw-in.
bool isFreshDeal(const GameState& state);
