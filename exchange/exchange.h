// Sending the game to the opponent and taking the opponent's state messages out of the message stream.
#pragma once

#include "engine/cards.h"

// Encodes the whole game and sends it to game.opponentContact.
void sendState();
// Handles a received state message from sender: binds or checks the opponent, opens or flashes the
// window, adopts the state and updates the window. Never answers the peer.
void receiveStateMessage(ContactHandle sender, const char* text);
