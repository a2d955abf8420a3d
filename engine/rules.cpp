// Beating and the end of the game, as pure functions of the game record.
#include "engine/rules.h"

bool canBeat(const GameState& game, Card card) {
    if (game.table.size() % 2 == 0)
        return false;
    Card attack = game.table.back();
    bool cardIsTrump = cardSuit(card) == game.trumpSuit;
    bool higherSameSuit = cardSuit(card) == cardSuit(attack) && cardRank(card) > cardRank(attack);
    if (cardSuit(attack) == game.trumpSuit)
        return higherSameSuit;
    return cardIsTrump || higherSameSuit;
}

GameOutcome gameOutcome(const GameState& game) {
    if (!game.deck.empty())
        return InProgress;
    std::size_t mine = game.myHand.size();
    std::size_t theirs = game.opponentHand.size();
    if (mine == 0 && theirs == 0)
        return Draw;
    // A player whose single last card can still cover the open attack keeps the game going.
    if (mine == 0)
        return theirs == 1 && canBeat(game, game.opponentHand[0]) ? InProgress : Won;
    if (theirs == 0)
        return mine == 1 && canBeat(game, game.myHand[0]) ? InProgress : Lost;
    return InProgress;
}

bool isFreshDeal(const GameState& state) {
    return state.deck.size() == deckSize - 2 * fullHand && state.myHand.size() == fullHand &&
           state.opponentHand.size() == fullHand && state.table.empty() && !state.throwInPhase;
}
