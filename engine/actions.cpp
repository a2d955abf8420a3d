// Player actions: laying and choosing cards, ending a bout, taking, confirming a throw-in, a new game.
#include "engine/actions.h"

#include "engine/deal.h"
#include "engine/frontend.h"
#include "engine/rules.h"
#include "engine/texts.h"
#include "exchange/exchange.h"

#include <algorithm>

namespace {
bool tableHasRank(std::uint8_t rank) {
    return std::any_of(game.table.begin(), game.table.end(), [rank](Card c) { return cardRank(c) == rank; });
}

bool tableCountEven() { return game.table.size() % 2 == 0; }

bool opponentCanThrowIn() {
    return std::any_of(game.opponentHand.begin(), game.opponentHand.end(),
                       [](Card c) { return tableHasRank(cardRank(c)); });
}

// The table goes to the front of the taker's hand, in table order.
void moveTableToFrontOf(CardList& hand) {
    hand.insert(hand.begin(), game.table.begin(), game.table.end());
    game.table.clear();
}

bool mayLayCard(Card card) {
    if (game.localDefends)
        return canBeat(card);
    if (game.table.empty())
        return true;
    return tableCountEven() && tableHasRank(cardRank(card));
}

void toggleSelection(std::uint32_t index) {
    auto found = std::find(game.selection.begin(), game.selection.end(), index);
    if (found != game.selection.end())
        game.selection.erase(found);
    else
        game.selection.push_back(index);
}

void endBout() {
    game.table.clear(); // beaten-off cards leave the game
    refillHands();
    game.localDefends = 1;
    updateActionButton();
    redrawWindow();
    sendState();
}

void takeTable() {
    if (opponentCanThrowIn()) {
        game.throwInPhase = 1; // the attacker completes the take on its side
    } else {
        moveTableToFrontOf(game.myHand);
        sortHand(game.myHand);
        refillHands();
    }
    updateActionButton();
    redrawWindow();
    sendState();
}

void confirmThrowIn() {
    CardList chosen;
    std::vector<std::uint32_t> doomed;
    for (std::uint32_t index : game.selection) {
        if (index < game.myHand.size()) {
            chosen.push_back(game.myHand[index]);
            doomed.push_back(index);
        }
    }
    std::sort(doomed.rbegin(), doomed.rend());
    for (std::uint32_t index : doomed)
        game.myHand.erase(game.myHand.begin() + index);
    game.opponentHand.insert(game.opponentHand.end(), chosen.begin(), chosen.end());
    game.selection.clear();
    moveTableToFrontOf(game.opponentHand);
    sortHand(game.opponentHand);
    game.throwInPhase = 0;
    refillHands();
    updateActionButton();
    redrawWindow();
    syncWinBlink();
    sendState();
}
} // namespace

void onCardClicked(std::uint32_t index) {
    if (index >= game.myHand.size())
        return;
    Card card = game.myHand[index];
    if (game.throwInPhase) {
        if (game.localDefends || !tableHasRank(cardRank(card)))
            return;
        toggleSelection(index);
        redrawWindow();
        return;
    }
    if (!mayLayCard(card))
        return;
    game.table.push_back(card);
    game.myHand.erase(game.myHand.begin() + index);
    updateActionButton();
    redrawWindow();
    syncWinBlink();
    sendState();
}

void onActionButton() {
    switch (gameOutcome()) {
    case Won:
        newGame(0);
        return;
    case Lost:
        newGame(1);
        return;
    case Draw:
        newGame(nextRandom15() % 2 == 0 ? 1 : 0);
        return;
    case InProgress:
        break;
    }
    if (game.throwInPhase) {
        if (!game.localDefends)
            confirmThrowIn();
    } else if (!game.localDefends) {
        if (!game.table.empty() && tableCountEven())
            endBout();
    } else if (!tableCountEven()) {
        takeTable();
    }
}

void updateActionButton() {
    const char* caption = "";
    if (gameOutcome() != InProgress)
        caption = captionNewGame;
    else if (game.throwInPhase)
        caption = game.localDefends ? "" : captionDone;
    else if (!game.localDefends)
        caption = !game.table.empty() && tableCountEven() ? captionBeatOff : "";
    else
        caption = tableCountEven() ? "" : captionTake;
    showActionButton(caption, caption[0] != '\0');
}

void syncWinBlink() {
    bool won = gameOutcome() == Won;
    if (won && !winBlinkRunning) {
        startWinBlinkTimer();
        winBlinkRunning = 1;
    } else if (!won && winBlinkRunning) {
        stopWinBlinkTimer();
        winBlinkRunning = 0;
    }
}
