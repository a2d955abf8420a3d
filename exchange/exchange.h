// Sending the game to the opponent and taking the opponent's state messages out of the message stream.
#pragma once

#include "engine/cards.h"
#include "exchange/state_message.h"

// The contact's menu item chosen while the game window is open: a game in progress with that contact
// is sent again, so that either side can bring back a game whose last state was lost on the way (the
// side that moved sends its move again, the side that waits hands the move back).
void resendGameTo(GameState& game, ContactHandle contact);
// Handles a received state message from sender: binds or checks the opponent, opens or flashes the
// window, and adopts the state or settles a crossed deal. Answers the peer only to settle a crossing.
// A text with a character that is not a hexadecimal digit where one is read shows the one "trace" box.
void receiveStateMessage(GameState& game, ContactHandle sender, const char* text);
// Formats printf-style and shows the result in the "trace" box of the game's window.
void trace(const GameState& game, const char* format, ...);

// What the holder of a game does with a sound state received from its opponent (text, read into
// received). While the holder's own deal is unanswered, a fresh deal whose text orders before it wins
// and is adopted; any other state that cannot be the opponent's first answer to that deal (its stock
// the deal's, or the deal's less the card drawn when a single attack card is taken) belongs to a game
// that crossed it and is dropped, and the deal is sent again. Once a crossing is lost, each text this
// side sent on its own deal comes back as the winning deal again, perhaps followed by the opponent's
// state, which was adopted already: both are dropped, so that neither undoes a move made since.
// Everything else is adopted.
enum class Settlement {
    Adopt,
    AdoptWinningDeal,   // the opponent's deal won a crossing: its answers to our texts will follow
    DropAnswer,         // one of those answers: the winning deal again
    DropAdoptedAgain,   // right after an answer, the opponent's state this side adopted already
    DropAndSendOwnDeal, // a state of a game that crossed our deal
};
Settlement settleReceivedState(const GameState& held, const char* text, const GameState& received);
// What a dropped crossing answers: the own deal's text, then the current state if it has moved on.
struct OwnDealAnswer {
    StateMessageText texts[2];
    unsigned count;
};
OwnDealAnswer ownDealAnswer(const GameState& held);
