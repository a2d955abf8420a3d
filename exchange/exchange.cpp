// Sending the state to the opponent, adopting the states the opponent sends, and settling two deals
// that crossed on the way.
#include "exchange/exchange.h"

#include "engine/rules.h"
#include "exchange/frontend.h"
#include "exchange/play.h"
#include "exchange/state_message.h"

#include <algorithm>
#include <cstdarg>
#include <cstring>

namespace {
bool isBeginningOf(const CardList& part, const CardList& whole) {
    return part.size() <= whole.size() && std::equal(part.begin(), part.end(), whole.begin());
}
} // namespace

void resendGameTo(const GameState& game, ContactHandle contact) {
    if (contact == game.opponentContact && gameOutcome(game) == InProgress)
        sendState(game);
}

void trace(const GameState& game, const char* format, ...) {
    va_list args;
    va_start(args, format);
    showTraceBox(game, format, args);
    va_end(args);
}

Settlement settleReceivedState(const GameState& held, const char* text, const GameState& received) {
    if (held.ownDeal[0] == '\0' || held.ownDealAnswered)
        return Settlement::Adopt;
    if (isFreshDeal(received) && std::strcmp(text, held.ownDeal) < 0)
        return Settlement::Adopt; // the two deals crossed and the peer's orders first
    GameState dealt;
    if (readStateMessage(held.ownDeal, dealt) != DecodeResult::Accepted ||
        isBeginningOf(received.deck, dealt.deck))
        return Settlement::Adopt; // the peer plays our deal
    return Settlement::DropAndSendOwnDeal;
}

OwnDealAnswer ownDealAnswer(const GameState& held) {
    OwnDealAnswer answer = {};
    std::memcpy(answer.texts[0].text, held.ownDeal, sizeof answer.texts[0].text);
    answer.texts[0].text[maxStateMessageLength] = '\0';
    answer.texts[1] = encodeStateMessage(held);
    // The peer adopts the deal first, then the move made on it.
    answer.count = std::strcmp(answer.texts[0].text, answer.texts[1].text) == 0 ? 1 : 2;
    return answer;
}

void receiveStateMessage(GameState& game, ContactHandle sender, const char* text) {
    bool opened = false;
    if (gameWindowIsOpen(game)) {
        if (sender != game.opponentContact)
            return; // one game at a time: other contacts' states are dropped without a sign
        flashGameWindowIfInBackground(game);
    } else {
        game.opponentContact = sender;
        openGameWindow(game);
        if (!gameWindowIsOpen(game))
            return;
        opened = true;
    }
    GameState received;
    DecodeResult decoded = readStateMessage(text, received);
    if (decoded != DecodeResult::Accepted) {
        if (decoded == DecodeResult::NotHexDigit)
            trace(game, "%s", hexDigitErrorText);
        if (opened)
            updateActionButton(game); // the empty table's button, not a blank one that deals all the same
        return;
    }
    if (settleReceivedState(game, text, received) == Settlement::DropAndSendOwnDeal) {
        OwnDealAnswer answer = ownDealAnswer(game);
        for (unsigned i = 0; i < answer.count; ++i)
            sendTextToContact(game, game.opponentContact, answer.texts[i].text);
        return;
    }
    adoptState(game, std::move(received));
    if (game.ownDeal[0] != '\0')
        game.ownDealAnswered = true;
    showChange(game, Change::Received);
}
