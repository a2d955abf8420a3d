// The local player's inputs (a card click, the action button), a new game, and what keeps the window
// and the opponent in step after every change of the game.
#pragma once

#include "engine/cards.h"

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

// What follows a change of the game, by kind of change, each kind with its steps in a fixed order.
enum class Change : std::uint8_t {
    ThrowInChoice,      // redraw
    Move,               // button, redraw, send
    MoveThatMayEndGame, // button, redraw, blink, send
    Received,           // button, redraw, blink
    NewDeal,            // button, blink, redraw, send as the deal that waits for an answer
};
void showChange(GameState& game, Change change);

// What the rules allow now, without changing anything: whether a click on the card at index would
// be accepted (laid, or chosen or unchosen for a throw-in), and the action button's caption (empty
// when the button does nothing).
bool cardClickAccepted(const GameState& game, std::uint32_t index);
const char* actionButtonCaption(const GameState& game);
