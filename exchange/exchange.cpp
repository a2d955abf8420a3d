// Sending the state to the opponent and adopting the state messages the opponent sends.
#include "exchange/exchange.h"

#include "engine/actions.h"
#include "engine/frontend.h"
#include "exchange/state_message.h"

void sendState() {
    StateMessageText message = encodeStateMessage();
    sendTextToContact(game.opponentContact, message.text);
}

void receiveStateMessage(ContactHandle sender, const char* text) {
    if (gameWindowIsOpen()) {
        if (sender != game.opponentContact)
            return; // one game at a time: other contacts' states are dropped without a sign
        flashGameWindowIfInBackground();
    } else {
        game.opponentContact = sender;
        openGameWindow();
        if (!gameWindowIsOpen())
            return;
    }
    if (!decodeStateMessage(text))
        return;
    updateActionButton();
    redrawWindow();
    syncWinBlink();
}
