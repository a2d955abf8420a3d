// Player moves: laying and choosing cards, ending a bout, taking, confirming a throw-in, a new game.
#include "engine/actions.h"

#include "engine/deal.h"
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

Change endBout(GameState& game) {
    game.table.clear(); // beaten-off cards leave the game
    refillHands(game);
    game.localDefends = 1;
    return Change::Move;
}

Change takeTable(GameState& game) {
    if (opponentCanThrowIn(game)) {
        game.throwInPhase = 1; // the attacker completes the take on its side
    } else {
        moveTableToFrontOf(game, game.myHand);
        sortHand(game.myHand, game.trumpSuit);
        refillHands(game);
    }
    return Change::Move;
}

Change confirmThrowIn(GameState& game) {
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
    return Change::MoveThatMayEndGame;
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

Change applyCardClick(GameState& game, std::uint32_t index) {
    if (!cardClickAccepted(game, index))
        return Change::Nothing;
    if (game.throwInPhase) {
        toggleSelection(game, index);
        return Change::ThrowInChoice;
    }
    game.table.push_back(game.myHand[index]);
    game.myHand.erase(game.myHand.begin() + index);
    return Change::MoveThatMayEndGame;
}

Change applyActionButton(GameState& game) {
    // The caption names exactly the action that is possible now, so the two cannot disagree.
    const char* action = actionButtonCaption(game);
    if (action == captionNewGame) {
        GameOutcome outcome = gameOutcome(game);
        // The winner attacks first; after a draw a coin decides.
        std::uint8_t defends = outcome == Won ? 0 : outcome == Lost ? 1 : nextRandom15() % 2 == 0 ? 1 : 0;
        dealFreshGame(game, defends);
        return Change::NewDeal;
    }
    if (action == captionDone)
        return confirmThrowIn(game);
    if (action == captionBeatOff)
        return endBout(game);
    if (action == captionTake)
        return takeTable(game);
    return Change::Nothing;
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
