// The deal: shuffle, drawing and refilling, and the display order of a hand.
#include "engine/deal.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace {
int standardRandom() { return std::rand(); }

// Forward Fisher-Yates pass; index 0 is only ever chosen as the partner j.
void shuffleDeck(CardList& deck) {
    for (unsigned i = 1; i < deck.size(); ++i) {
        unsigned j = nextRandom15() % (i + 1);
        std::swap(deck[i], deck[j]);
    }
}

unsigned cardsNeeded(const CardList& hand) { return hand.size() < fullHand ? fullHand - hand.size() : 0; }
} // namespace

RandomSource randomSource = standardRandom;

unsigned nextRandom15() { return static_cast<unsigned>(randomSource()) & 0x7fffu; }

void dealFreshGame(GameState& game, std::uint8_t localDefends) {
    game.myHand.clear();
    game.opponentHand.clear();
    game.table.clear();
    game.deck.clear();
    // A new hand invalidates any pending throw-in choice.
    game.selection.clear();
    for (unsigned suit = 0; suit < suitCount; ++suit)
        for (unsigned rank = lowestRank; rank <= aceRank; ++rank)
            game.deck.push_back(makeCard(rank, suit));
    shuffleDeck(game.deck);
    game.trumpSuit = cardSuit(game.deck[0]);
    game.throwInPhase = 0;
    game.localDefends = localDefends;
    refillHands(game);
}

void emptyGameOnClose(GameState& game) {
    game.selection.clear();
    game.table.clear();
    game.deck.clear();
    game.myHand.clear();
    game.opponentHand.clear();
    game.crossing = DealCrossing{}; // no deal waits for an answer, no crossing is settling
}

void drawCards(GameState& game, CardList& hand, unsigned n) {
    unsigned k = std::min<std::size_t>(n, game.deck.size());
    if (k == 0)
        return;
    auto firstDrawn = game.deck.end() - k;
    hand.insert(hand.begin(), firstDrawn, game.deck.end());
    game.deck.erase(firstDrawn, game.deck.end());
}

void refillHands(GameState& game) {
    if (game.deck.empty())
        return;
    CardList& first = game.localDefends ? game.opponentHand : game.myHand;
    CardList& second = game.localDefends ? game.myHand : game.opponentHand;
    unsigned need1 = cardsNeeded(first);
    unsigned need2 = cardsNeeded(second);

    if (need1 == 0) {
        drawCards(game, second, need2);
    } else if (need2 == 0) {
        drawCards(game, first, need1);
    } else if (game.deck.size() >= need1 + need2) {
        drawCards(game, first, need1);
        drawCards(game, second, need2);
    } else {
        // The stock cannot fill both: equalise the hands, then split what is left.
        if (second.size() > first.size())
            drawCards(game, first, second.size() - first.size());
        else if (first.size() > second.size())
            drawCards(game, second, first.size() - second.size());
        unsigned rest = game.deck.size();
        if (rest > 0) {
            drawCards(game, first, rest / 2);
            drawCards(game, second, game.deck.size() / 2);
            // The split keeps a card back; a hand left empty beside a non-empty stock would have no
            // move and the game could never end, so an empty hand takes what remains.
            if (first.empty())
                drawCards(game, first, game.deck.size());
            if (second.empty())
                drawCards(game, second, game.deck.size());
        }
    }
    sortHand(first, game.trumpSuit);
    sortHand(second, game.trumpSuit);
}

void sortHand(CardList& hand, std::uint8_t trumpSuit) {
    if (hand.size() < 2)
        return;
    auto byRank = [](Card a, Card b) { return cardRank(a) < cardRank(b); };
    CardList bySuit[suitCount];
    CardList foreign; // cards of no real suit (malformed input) keep their order at the very end
    for (Card card : hand)
        (cardSuit(card) < suitCount ? bySuit[cardSuit(card)] : foreign).push_back(card);
    hand.clear();
    for (unsigned suit = 0; suit < suitCount; ++suit) {
        std::sort(bySuit[suit].begin(), bySuit[suit].end(), byRank);
        if (suit != trumpSuit)
            hand.insert(hand.end(), bySuit[suit].begin(), bySuit[suit].end());
    }
    if (trumpSuit < suitCount)
        hand.insert(hand.end(), bySuit[trumpSuit].begin(), bySuit[trumpSuit].end());
    hand.insert(hand.end(), foreign.begin(), foreign.end());
}
