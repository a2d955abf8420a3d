// The player's inputs and a new game, each followed by the steps its change calls for: the button, the
// redraw, the win blink and the send, in that order (a new deal stops the blink before it redraws);
// and sending the game to the opponent.
#include "exchange/show_and_send.h"

#include "engine/deal.h"
#include "engine/rules.h"
#include "exchange/frontend.h"
#include "exchange/state_message.h"

#include <cstring>

void onCardClicked(GameState& game, std::uint32_t index) { showChange(game, applyCardClick(game, index)); }

void onActionButton(GameState& game) { showChange(game, applyActionButton(game)); }

void newGame(GameState& game, std::uint8_t localDefends) {
    dealFreshGame(game, localDefends);
    showChange(game, Change::NewDeal);
}

void updateActionButton(const GameState& game) {
    const char* caption = actionButtonCaption(game);
    showActionButton(game, caption, caption[0] != '\0');
}

void syncWinBlink(const GameState& game) {
    if (gameOutcome(game) == Won)
        startWinBlinkTimer(game);
    else
        stopWinBlinkTimer(game);
}

void showChange(GameState& game, Change change) {
    switch (change) {
    case Change::Nothing:
        return;
    case Change::ThrowInChoice: // the choice is private until it is confirmed
        redrawWindow(game);
        return;
    case Change::NewDeal: // a fresh deal is never won: the blink stops before the table is drawn anew
        updateActionButton(game);
        syncWinBlink(game);
        redrawWindow(game);
        sendDeal(game);
        return;
    case Change::Move:
    case Change::MoveThatMayEndGame:
    case Change::Received:
        break;
    }
    updateActionButton(game);
    redrawWindow(game);
    if (change != Change::Move)
        syncWinBlink(game);
    if (change != Change::Received)
        sendState(game);
}

void sendToOpponent(GameState& game, const char* text) {
    DealCrossing& crossing = game.crossing;
    if (crossing.ownDeal[0] != '\0' && !crossing.ownDealAnswered)
        ++crossing.textsSentOnOwnDeal;
    sendTextToContact(game, game.opponentContact, text);
}

void sendState(GameState& game) { sendToOpponent(game, encodeStateMessage(game).text); }

void sendDeal(GameState& game) {
    StateMessageText message = encodeStateMessage(game);
    game.crossing = DealCrossing{};
    std::memcpy(game.crossing.ownDeal, message.text, sizeof message.text);
    sendToOpponent(game, message.text);
}
