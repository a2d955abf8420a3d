// Two copies of the plug-in play thousands of random games against each other through state messages,
// some of them started by two deals that cross.
// After every message the receiver must hold the sender's state mirrored, no card may be duplicated,
// only beaten-off cards may leave the game, every game must end, and both sides must agree who won.
#include "exchange/play.h"
#include "engine/deal.h"
#include "engine/rules.h"
#include "recording/card_notation.h"
#include "recording/recording_frontend.h"
#include "recording/two_copies.h"

#include <gtest/gtest.h>

#include <bitset>
#include <deque>
#include <random>

namespace {
std::mt19937 engineRandom;
int seededRandom() { return static_cast<int>(engineRandom() & 0x7fff); }

// The actions the pure predicates say are possible, without trying any.
std::vector<std::uint32_t> predictedActions(const Side& side) {
    const GameState& game = side.state;
    std::vector<std::uint32_t> predicted;
    for (std::uint32_t i = 0; i < game.myHand.size(); ++i)
        if (cardClickAccepted(game, i))
            predicted.push_back(i);
    if (actionButtonCaption(game)[0] != '\0')
        predicted.push_back(static_cast<std::uint32_t>(game.myHand.size()));
    return predicted;
}

unsigned cardsInPlay(const GameState& s) {
    return s.deck.size() + s.table.size() + s.myHand.size() + s.opponentHand.size();
}

::testing::AssertionResult noDuplicates(const GameState& s) {
    std::bitset<deckSize> seen;
    for (const CardList* list : {&s.deck, &s.table, &s.myHand, &s.opponentHand}) {
        for (Card c : *list) {
            if (!isValidCard(c) || seen.test(cardIndex(c)))
                return ::testing::AssertionFailure() << "card " << codes({c}) << " invalid or twice";
            seen.set(cardIndex(c));
        }
    }
    return ::testing::AssertionSuccess();
}

std::vector<std::string> dealOn(Side sides[2], unsigned dealer) {
    GameState& game = sides[dealer].state;
    game.opponentContact = sides[1 - dealer].self;
    recordedWindow(game).open = true;
    takeCalls(game);
    newGame(game, seededRandom() % 2 == 0 ? 1 : 0);
    return sentTexts(game);
}

// Both sides deal at once and each deal crosses the other on the way; now and then an attacker lays
// its first card before the other deal arrives. The texts, answers included, arrive in a random
// interleaving, each direction in order. Afterwards both sides must hold one game.
void crossDeals(std::mt19937& policy, Side sides[2]) {
    std::deque<std::string> onTheWay[2]; // from side i to the other
    for (unsigned side = 0; side < 2; ++side) {
        for (const std::string& text : dealOn(sides, side))
            onTheWay[side].push_back(text);
        if (!sides[side].state.localDefends && policy() % 2 == 0) {
            runAction(sides[side].state, 0);
            for (const std::string& text : sentTexts(sides[side].state))
                onTheWay[side].push_back(text);
        }
    }
    while (!onTheWay[0].empty() || !onTheWay[1].empty()) {
        unsigned from = onTheWay[0].empty() ? 1 : onTheWay[1].empty() ? 0 : policy() % 2;
        std::string text = onTheWay[from].front();
        onTheWay[from].pop_front();
        for (const std::string& answer : deliver(sides[from], sides[1 - from], text))
            onTheWay[1 - from].push_back(answer);
    }
    EXPECT_EQ(describe(sides[1].state), describe(mirrored(sides[0].state)))
        << "the crossed deals settled apart";
}

// Plays one game from a fresh deal, or from two deals that crossed.
void playOneGame(std::mt19937& policy, Side sides[2], unsigned moveLimit, bool crossed) {
    std::vector<std::string> sent;
    if (crossed)
        crossDeals(policy, sides);
    else
        sent = dealOn(sides, 0);
    unsigned mover = 0;
    for (unsigned moves = 0;; ++moves) {
        // Deliver what the mover sent.
        EXPECT_LE(sent.size(), 1u);
        for (const std::string& text : sent) {
            EXPECT_TRUE(deliver(sides[mover], sides[1 - mover], text).empty()) << "receiving never answers";
            EXPECT_EQ(describe(sides[1 - mover].state), describe(mirrored(sides[mover].state))) << text;
        }
        GameOutcome outcomeA = gameOutcome(sides[0].state);
        GameOutcome outcomeB = gameOutcome(sides[1].state);
        if (outcomeA != InProgress) {
            EXPECT_EQ(outcomeB, outcomeA == Won ? Lost : outcomeA == Lost ? Won : outcomeA);
            return;
        }
        EXPECT_EQ(outcomeB, InProgress);
        if (moves >= moveLimit) {
            ADD_FAILURE() << "game did not end within " << moveLimit << " moves";
            return;
        }

        // Exactly one side may act in a running game.
        std::vector<std::uint32_t> options[2] = {acceptedActions(sides[0]), acceptedActions(sides[1])};
        for (unsigned side = 0; side < 2; ++side)
            EXPECT_EQ(options[side], predictedActions(sides[side])) << "the rules' predicates disagree";
        EXPECT_NE(options[0].empty(), options[1].empty()) << "stuck or both sides may move";
        mover = options[0].empty() ? 1 : 0;
        if (options[mover].empty())
            return;
        const std::vector<std::uint32_t>& mine = options[mover];
        std::uint32_t action = mine[std::uniform_int_distribution<std::size_t>(0, mine.size() - 1)(policy)];

        GameState& game = sides[mover].state;
        unsigned before = cardsInPlay(game);
        std::size_t tableBefore = game.table.size();
        bool beatOff = action == game.myHand.size() && !game.localDefends && !game.throwInPhase;
        runAction(game, action);
        sent = sentTexts(game);
        EXPECT_TRUE(noDuplicates(game));
        EXPECT_EQ(cardsInPlay(game), beatOff ? before - tableBefore : before)
            << "only beaten-off cards leave";
        for (std::uint32_t index : game.selection)
            EXPECT_LT(index, game.myHand.size());
    }
}
} // namespace

// Every fourth game starts with two deals that cross.
TEST(TwoSided, RandomGamesBetweenTwoCopiesStayConsistentAndEnd) {
    resetCore();
    randomSource = seededRandom;
    for (unsigned seed = 1; seed <= 2000 && !::testing::Test::HasFailure(); ++seed) {
        engineRandom.seed(seed);
        std::mt19937 policy(seed * 7919u);
        forgetRecordedWindows(); // the sides of the last game lay where these lie
        Side sides[2];
        sides[0].self = 100;
        sides[1].self = 200;
        playOneGame(policy, sides, 3000, seed % 4 == 0);
    }
}
