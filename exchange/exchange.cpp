// Sending the state to the opponent, adopting the states the opponent sends, and settling two deals
// that crossed on the way.
#include "exchange/exchange.h"

#include "engine/rules.h"
#include "exchange/frontend.h"
#include "exchange/show_and_send.h"
#include "exchange/state_message.h"

#include <algorithm>
#include <cstdarg>
#include <cstring>

namespace {
// The opponent's first state on a deal ends at most a bout of one attack card: taken, it has the
// attacker draw one card, the last of the stock.
bool mayAnswerDeal(const CardList& stock, const CardList& dealtStock) {
    return stock.size() <= dealtStock.size() && dealtStock.size() - stock.size() <= 1 &&
           std::equal(stock.begin(), stock.end(), dealtStock.begin());
}

bool sameText(const char* a, const char* b) { return std::strcmp(a, b) == 0; }

void copyText(char (&to)[dealTextCapacity], const char* text) {
    std::strncpy(to, text, dealTextCapacity - 1);
    to[dealTextCapacity - 1] = '\0';
}
} // namespace

void resendGameTo(GameState& game, ContactHandle contact) {
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
    const DealCrossing& crossing = held.crossing;
    if (crossing.awaitedAnswers > 0 && sameText(text, crossing.winningDeal))
        return Settlement::DropAnswer;
    if (crossing.answerJustArrived && sameText(text, crossing.lastAdopted))
        return Settlement::DropAdoptedAgain;
    if (crossing.ownDeal[0] == '\0' || crossing.ownDealAnswered)
        return Settlement::Adopt;
    if (isFreshDeal(received) && std::strcmp(text, crossing.ownDeal) < 0)
        return Settlement::AdoptWinningDeal;
    GameState dealt;
    if (readStateMessage(crossing.ownDeal, dealt) != DecodeResult::Accepted ||
        mayAnswerDeal(received.deck, dealt.deck))
        return Settlement::Adopt; // the peer plays our deal
    return Settlement::DropAndSendOwnDeal;
}

OwnDealAnswer ownDealAnswer(const GameState& held) {
    OwnDealAnswer answer = {};
    std::memcpy(answer.texts[0].text, held.crossing.ownDeal, sizeof answer.texts[0].text);
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
    DealCrossing& crossing = game.crossing;
    Settlement settlement = settleReceivedState(game, text, received);
    crossing.answerJustArrived = settlement == Settlement::DropAnswer;
    switch (settlement) {
    case Settlement::DropAnswer:
        --crossing.awaitedAnswers;
        return;
    case Settlement::DropAdoptedAgain:
        return;
    case Settlement::DropAndSendOwnDeal: {
        OwnDealAnswer answer = ownDealAnswer(game);
        for (unsigned i = 0; i < answer.count; ++i)
            sendToOpponent(game, answer.texts[i].text);
        return;
    }
    case Settlement::AdoptWinningDeal:
        crossing.awaitedAnswers = crossing.textsSentOnOwnDeal;
        copyText(crossing.winningDeal, text);
        break;
    case Settlement::Adopt:
        if (isFreshDeal(received))
            crossing.awaitedAnswers = 0; // a new game of the opponent's: no crossing left to settle
        break;
    }
    if (crossing.ownDeal[0] != '\0')
        crossing.ownDealAnswered = true;
    copyText(crossing.lastAdopted, text);
    adoptState(game, std::move(received));
    showChange(game, Change::Received);
}
