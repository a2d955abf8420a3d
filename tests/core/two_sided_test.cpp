// Two copies of the plug-in play thousands of random games against each other through state messages
// delivered in random interleavings, some of them started by two deals that cross. Whenever nothing is
// on its way both hold one game; no card may be duplicated, only beaten-off cards may leave the game,
// every game must end, and both sides must agree who won.
#include "exchange/show_and_send.h"
#include "engine/deal.h"
#include "engine/rules.h"
#include "exchange/state_message.h"
#include "stand_in/card_notation.h"
#include "stand_in/fake_frontend.h"
#include "stand_in/two_copies.h"

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

void dealOn(Side sides[2], unsigned dealer) {
    GameState& game = sides[dealer].state;
    game.opponentContact = sides[1 - dealer].self;
    fakeWindow(game).open = true;
    takeCalls(game);
    newGame(game, seededRandom() % 2 == 0 ? 1 : 0);
}

// The moves a side's own view allows while its game runs.
std::vector<std::uint32_t> movesOf(const Side& side) {
    return gameOutcome(side.state) == InProgress ? acceptedActions(side.state) : std::vector<std::uint32_t>{};
}

// Plays one game from a deal, or from two deals that cross. Each step delivers the oldest text of one
// direction or has a side make a move its own view allows, chosen at random, so that in a crossing
// either side may move before the other deal or the answers to its own have come. Whenever nothing is
// on its way both sides hold one game, and a delivery never parts two sides that agree.
void playOneGame(std::mt19937& policy, Side sides[2], unsigned stepLimit, bool crossed) {
    std::deque<std::string> toward[2];
    auto post = [&](unsigned from) {
        for (const std::string& text : sentTexts(sides[from].state))
            toward[1 - from].push_back(text);
    };
    // The game as both hold it: a throw-in choice is the chooser's own until it is confirmed.
    auto agree = [&] {
        return encodeStateMessage(sides[1].state).text ==
               std::string(encodeStateMessage(mirrored(sides[0].state)).text);
    };
    dealOn(sides, 0);
    post(0);
    if (crossed) {
        dealOn(sides, 1);
        post(1);
    }
    for (unsigned step = 0;; ++step) {
        std::vector<std::uint32_t> moves[2] = {movesOf(sides[0]), movesOf(sides[1])};
        if (toward[0].empty() && toward[1].empty()) {
            ASSERT_TRUE(agree()) << "the two sides hold different games";
            GameOutcome outcomeA = gameOutcome(sides[0].state);
            GameOutcome outcomeB = gameOutcome(sides[1].state);
            if (outcomeA != InProgress) {
                EXPECT_EQ(outcomeB, outcomeA == Won ? Lost : outcomeA == Lost ? Won : outcomeA);
                return;
            }
            for (unsigned side = 0; side < 2; ++side)
                EXPECT_EQ(moves[side], predictedActions(sides[side])) << "the rules' predicates disagree";
            ASSERT_NE(moves[0].empty(), moves[1].empty()) << "stuck or both sides may move";
        }
        ASSERT_LT(step, stepLimit) << "the game did not end";
        // Candidates: 0 and 1 deliver toward that side, 2 and 3 have side 0 or 1 move.
        std::vector<unsigned> candidates;
        for (unsigned c = 0; c < 4; ++c)
            if (c < 2 ? !toward[c].empty() : !moves[c - 2].empty())
                candidates.push_back(c);
        unsigned chosen =
            candidates[std::uniform_int_distribution<std::size_t>(0, candidates.size() - 1)(policy)];
        if (chosen < 2) {
            bool agreed = agree();
            std::string text = toward[chosen].front();
            toward[chosen].pop_front();
            std::vector<std::string> answers = deliver(sides[1 - chosen], sides[chosen], text);
            EXPECT_TRUE(crossed || answers.empty()) << "receiving answers only a crossing";
            EXPECT_TRUE(!agreed || agree()) << "a delivery parted two sides that agreed: " << text;
            for (const std::string& answer : answers)
                toward[1 - chosen].push_back(answer);
            continue;
        }
        unsigned mover = chosen - 2;
        const std::vector<std::uint32_t>& mine = moves[mover];
        std::uint32_t action = mine[std::uniform_int_distribution<std::size_t>(0, mine.size() - 1)(policy)];
        GameState& game = sides[mover].state;
        unsigned before = cardsInPlay(game);
        std::size_t tableBefore = game.table.size();
        bool beatOff = action == game.myHand.size() && !game.localDefends && !game.throwInPhase;
        runAction(game, action);
        post(mover);
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
        forgetFakeWindows(); // the sides of the last game lay where these lie
        Side sides[2];
        sides[0].self = 100;
        sides[1].self = 200;
        playOneGame(policy, sides, 6000, seed % 4 == 0);
    }
}
