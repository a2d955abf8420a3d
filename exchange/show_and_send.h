// The local player's inputs as the window hands them over, a new game, and the steps that keep the
// window and the opponent in step after every change of the game.
#pragma once

#include "engine/actions.h"

#include <cstdint>

// index: position in myHand of the clicked card. Refused moves change nothing and call nothing.
void onCardClicked(GameState& game, std::uint32_t index);
void onActionButton(GameState& game);
// Deals a fresh game (localDefends: who defends first) and announces it to the window and the opponent.
void newGame(GameState& game, std::uint8_t localDefends);
// Sets the button's caption and enabled state from the state.
void updateActionButton(const GameState& game);
// Runs the win-blink timer exactly while the game is won.
void syncWinBlink(const GameState& game);
// Runs the steps that the kind of change calls for, in their fixed order.
void showChange(GameState& game, Change change);
// Hands one text to game.opponentContact. While this side's deal is unanswered it is counted: the
// opponent answers each such text should its own deal win the crossing.
void sendToOpponent(GameState& game, const char* text);
// Encodes the whole game and sends it to the opponent.
void sendState(GameState& game);
// The same for a new deal, which game.crossing keeps until the opponent answers it; whatever the
// previous deal left to settle is forgotten.
void sendDeal(GameState& game);
