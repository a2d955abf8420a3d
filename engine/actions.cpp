// Player actions: laying and choosing cards, ending a bout, taking, confirming a throw-in, a new game.
#include "engine/actions.h"

#include "engine/deal.h"
#include "engine/frontend.h"
#include "engine/rules.h"
#include "engine/texts.h"

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
    sendStateToOpponent();
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
    sendStateToOpponent();
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
    sendStateToOpponent();
}
} // namespace

bool cardClickAccepted(std::uint32_t index) {
    if (index >= game.myHand.size())
        return false;
    Card card = game.myHand[index];
    if (game.throwInPhase)
        return !game.localDefends && tableHasRank(cardRank(card));
    return mayLayCard(card);
}

void onCardClicked(std::uint32_t index) {
    if (!cardClickAccepted(index))
        return;
    if (game.throwInPhase) {
        toggleSelection(index);
        redrawWindow();
        return;
    }
    game.table.push_back(game.myHand[index]);
    game.myHand.erase(game.myHand.begin() + index);
    updateActionButton();
    redrawWindow();
    syncWinBlink();
    sendStateToOpponent();
}

void onActionButton() {
    // The caption names exactly the action that is possible now, so the two cannot disagree.
    const char* action = actionButtonCaption();
    if (action == captionNewGame) {
        GameOutcome outcome = gameOutcome();
        if (outcome == Won)
            newGame(0); // the winner attacks first
        else if (outcome == Lost)
            newGame(1);
        else
            newGame(nextRandom15() % 2 == 0 ? 1 : 0);
    } else if (action == captionDone) {
        confirmThrowIn();
    } else if (action == captionBeatOff) {
        endBout();
    } else if (action == captionTake) {
        takeTable();
    }
}

const char* actionButtonCaption() {
    if (gameOutcome() != InProgress)
        return captionNewGame;
    if (game.throwInPhase)
        return game.localDefends ? "" : captionDone;
    if (!game.localDefends)
        return !game.table.empty() && tableCountEven() ? captionBeatOff : "";
    return tableCountEven() ? "" : captionTake;
}

void updateActionButton() {
    const char* caption = actionButtonCaption();
    showActionButton(caption, caption[0] != '\0');
}

void syncWinBlink() {
    if (gameOutcome() == Won)
        startWinBlinkTimer();
    else
        stopWinBlinkTimer();
}
