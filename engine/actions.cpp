// Player actions: laying and choosing cards, ending a bout, taking, confirming a throw-in, a new game,
// and the steps that follow each change.
#include "engine/actions.h"

#include "engine/deal.h"
#include "engine/frontend.h"
#include "engine/rules.h"
#include "engine/texts.h"

#include <algorithm>

namespace {
bool tableHasRank(const GameState& game, std::uint8_t rank) {
    return std::any_of(game.table.begin(), game.table.end(), [rank](Card c) { return cardRank(c) == rank; });
}

bool tableCountEven(const GameState& game) { return game.table.size() % 2 == 0; }

bool opponentCanThrowIn(const GameState& game) {
    return std::any_of(game.opponentHand.begin(), game.opponentHand.end(),
                       [&game](Card c) { return tableHasRank(game, cardRank(c)); });
}

// The table goes to the front of the taker's hand, in table order.
void moveTableToFrontOf(GameState& game, CardList& hand) {
    hand.insert(hand.begin(), game.table.begin(), game.table.end());
    game.table.clear();
}

bool mayLayCard(const GameState& game, Card card) {
    if (game.localDefends)
        return canBeat(game, card);
    if (game.table.empty())
        return true;
    return tableCountEven(game) && tableHasRank(game, cardRank(card));
}

void toggleSelection(GameState& game, std::uint32_t index) {
    auto found = std::find(game.selection.begin(), game.selection.end(), index);
    if (found != game.selection.end())
        game.selection.erase(found);
    else
        game.selection.push_back(index);
}

void endBout(GameState& game) {
    game.table.clear(); // beaten-off cards leave the game
    refillHands(game);
    game.localDefends = 1;
    showChange(game, Change::Move);
}

void takeTable(GameState& game) {
    if (opponentCanThrowIn(game)) {
        game.throwInPhase = 1; // the attacker completes the take on its side
    } else {
        moveTableToFrontOf(game, game.myHand);
        sortHand(game.myHand, game.trumpSuit);
        refillHands(game);
    }
    showChange(game, Change::Move);
}

void confirmThrowIn(GameState& game) {
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
    moveTableToFrontOf(game, game.opponentHand);
    sortHand(game.opponentHand, game.trumpSuit);
    game.throwInPhase = 0;
    refillHands(game);
    showChange(game, Change::MoveThatMayEndGame);
}
} // namespace

bool cardClickAccepted(const GameState& game, std::uint32_t index) {
    if (index >= game.myHand.size())
        return false;
    Card card = game.myHand[index];
    if (game.throwInPhase)
        return !game.localDefends && tableHasRank(game, cardRank(card));
    return mayLayCard(game, card);
}

void onCardClicked(GameState& game, std::uint32_t index) {
    if (!cardClickAccepted(game, index))
        return;
    if (game.throwInPhase) {
        toggleSelection(game, index);
        showChange(game, Change::ThrowInChoice);
        return;
    }
    game.table.push_back(game.myHand[index]);
    game.myHand.erase(game.myHand.begin() + index);
    showChange(game, Change::MoveThatMayEndGame);
}

void onActionButton(GameState& game) {
    // The caption names exactly the action that is possible now, so the two cannot disagree.
    const char* action = actionButtonCaption(game);
    if (action == captionNewGame) {
        GameOutcome outcome = gameOutcome(game);
        if (outcome == Won)
            newGame(game, 0); // the winner attacks first
        else if (outcome == Lost)
            newGame(game, 1);
        else
            newGame(game, nextRandom15() % 2 == 0 ? 1 : 0);
    } else if (action == captionDone) {
        confirmThrowIn(game);
    } else if (action == captionBeatOff) {
        endBout(game);
    } else if (action == captionTake) {
        takeTable(game);
    }
}

void newGame(GameState& game, std::uint8_t localDefends) {
    dealFreshGame(game, localDefends);
    showChange(game, Change::NewDeal);
}

const char* actionButtonCaption(const GameState& game) {
    if (gameOutcome(game) != InProgress)
        return captionNewGame;
    if (game.throwInPhase)
        return game.localDefends ? "" : captionDone;
    if (!game.localDefends)
        return !game.table.empty() && tableCountEven(game) ? captionBeatOff : "";
    return tableCountEven(game) ? "" : captionTake;
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
