// The local player's moves under the rules: what a card click and the action button change, as plain
// functions of the game record. They call nothing outside the engine: they say what kind of change
// they made, and the exchange (exchange/show_and_send.h) shows it in the window and sends it.
#pragma once

#include "engine/cards.h"

#include <cstdint>

// What a change of the game calls for; showChange (exchange/show_and_send.h) runs the steps of each kind.
enum class Change : std::uint8_t {
    Nothing,            // a refused click or press: nothing changed
    ThrowInChoice,      // redraw
    Move,               // button, redraw, send
    MoveThatMayEndGame, // button, redraw, blink, send
    Received,           // button, redraw, blink: a state of the opponent's adopted
    NewDeal,            // button, blink, redraw, send as the deal that waits for an answer
};

// index: position in myHand of the clicked card. A refused click changes nothing.
Change applyCardClick(GameState& game, std::uint32_t index);
// Does what the button's caption names; a new game is dealt here (the winner attacks, a coin decides
// after a draw).
Change applyActionButton(GameState& game);

// What the rules allow now, without changing anything: whether a click on the card at index would
// be accepted (laid, or chosen or unchosen for a throw-in), and the action button's caption (empty
// when the button does nothing).
bool cardClickAccepted(const GameState& game, std::uint32_t index);
const char* actionButtonCaption(const GameState& game);
