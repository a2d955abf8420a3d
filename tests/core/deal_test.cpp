// The deal: the shuffle, a new game, drawing, refilling both hands and the order of a hand.
#include "engine/deal.h"
#include "support/card_notation.h"
#include "support/recording_frontend.h"

#include <gtest/gtest.h>

#include <numeric>

namespace {
CardList unshuffledDeck() {
    CardList deck;
    for (unsigned suit = 0; suit < 4; ++suit)
        for (unsigned rank = 6; rank <= 14; ++rank)
            deck.push_back(makeCard(rank, suit));
    return deck;
}

class Deal : public ::testing::Test {
  protected:
    void SetUp() override { resetCore(); }
};
} // namespace

TEST_F(Deal, IdentityShuffleKeepsTheBuiltOrderAndDealsTheAttackerFirst) {
    scriptIdentityShuffle();
    newGame(0);
    CardList built = unshuffledDeck();
    CardList expectedDeck(built.begin(), built.begin() + 24);
    EXPECT_EQ(codes(game.deck), codes(expectedDeck));
    EXPECT_EQ(game.deck[0], card("60"));
    EXPECT_EQ(game.trumpSuit, 0);
    // The attacker (local) draws indices 30..35, the defender 24..29; trumps (suit 0) would sort last.
    EXPECT_EQ(codes(game.myHand), "93 a3 b3 c3 d3 e3");
    EXPECT_EQ(codes(game.opponentHand), "c2 d2 e2 63 73 83");
    EXPECT_TRUE(game.table.empty());
    EXPECT_EQ(game.localDefends, 0);
    EXPECT_EQ(game.throwInPhase, 0);

    scriptIdentityShuffle();
    newGame(1); // as the defender: the opponent gets the first six
    EXPECT_EQ(codes(game.opponentHand), "93 a3 b3 c3 d3 e3");
    EXPECT_EQ(game.localDefends, 1);
}

TEST_F(Deal, ShuffleIsForwardFisherYatesOverFifteenBitValues) {
    // All zeros: every i is exchanged with index 0, so the last card ends at the bottom.
    scriptRandom({});
    newGame(0);
    EXPECT_EQ(game.deck[0], card("e3"));
    EXPECT_EQ(game.trumpSuit, 3);

    // Draw i = 2 gets 0x8000, which is 0 once cut to 15 bits: cards 0 and 2 change places.
    std::vector<int> values(35);
    std::iota(values.begin(), values.end(), 1);
    values[1] = 0x8000;
    resetCore(values);
    newGame(0);
    EXPECT_EQ(game.deck[0], card("80"));
    EXPECT_EQ(game.deck[2], card("60"));
    EXPECT_EQ(game.deck[1], card("70"));
}

TEST_F(Deal, NewGameAnnouncesButtonBlinkRedrawThenSends) {
    game.opponentContact = 42;
    winBlinkRunning = 1; // a blink left from a won game
    scriptIdentityShuffle();
    newGame(1);
    std::vector<std::string> calls = takeFrontendCalls();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0], "button::off");
    EXPECT_EQ(calls[1], "blink:stop");
    EXPECT_EQ(calls[2], "redraw");
    EXPECT_EQ(calls[3].rfind("send:42:@@Kelvaron@@", 0), 0u) << calls[3];
    EXPECT_EQ(winBlinkRunning, 0);
}

TEST_F(Deal, NewGameEmptiesAPendingThrowInChoice) {
    game.selection = {4, 5};
    newGame(0);
    EXPECT_TRUE(game.selection.empty());
}

TEST_F(Deal, DrawCardsTakesFromTheEndToTheFrontOfTheHand) {
    game.deck = cards("72 e0 81 92");
    game.myHand = cards("63");
    drawCards(game.myHand, 2);
    EXPECT_EQ(codes(game.myHand), "81 92 63");
    EXPECT_EQ(codes(game.deck), "72 e0");

    drawCards(game.myHand, 0);
    EXPECT_EQ(codes(game.myHand), "81 92 63");

    // More than the stock holds: the whole stock, trump card in front.
    drawCards(game.myHand, 5);
    EXPECT_EQ(codes(game.myHand), "72 e0 81 92 63");
    EXPECT_TRUE(game.deck.empty());

    drawCards(game.myHand, 3);
    EXPECT_EQ(game.myHand.size(), 5u);
}

namespace {
struct RefillRow {
    unsigned first, second, deck;     // sizes before the call
    unsigned firstDraws, secondDraws; // cards drawn
    unsigned deckAfter;
};

// Fills the attacker's hand, the defender's hand and the stock with distinct cards of the given sizes.
void setUpRefill(const RefillRow& row, std::uint8_t localDefends) {
    CardList all = unshuffledDeck();
    game = GameState{};
    game.localDefends = localDefends;
    game.trumpSuit = 1;
    CardList& first = localDefends ? game.opponentHand : game.myHand;
    CardList& second = localDefends ? game.myHand : game.opponentHand;
    auto next = all.begin();
    first.assign(next, next + row.first);
    next += row.first;
    second.assign(next, next + row.second);
    next += row.second;
    game.deck.assign(next, next + row.deck);
}

void expectRefill(const RefillRow& row) {
    for (std::uint8_t localDefends : {0, 1}) {
        setUpRefill(row, localDefends);
        refillHands();
        const CardList& first = localDefends ? game.opponentHand : game.myHand;
        const CardList& second = localDefends ? game.myHand : game.opponentHand;
        SCOPED_TRACE(::testing::Message() << "hands " << row.first << "/" << row.second << ", stock "
                                          << row.deck << ", localDefends " << int(localDefends));
        EXPECT_EQ(first.size(), row.first + row.firstDraws);
        EXPECT_EQ(second.size(), row.second + row.secondDraws);
        EXPECT_EQ(game.deck.size(), row.deckAfter);
    }
}
} // namespace

TEST_F(Deal, RefillHandsWholeCalls) {
    const RefillRow rows[] = {
        {0, 0, 36, 6, 6, 24}, {2, 4, 20, 4, 2, 14}, {6, 3, 5, 0, 3, 2},
        {8, 2, 3, 0, 3, 0},   {3, 6, 2, 2, 0, 0},   {2, 4, 5, 3, 1, 1},
        {4, 2, 5, 1, 3, 1},   {3, 3, 5, 2, 1, 2},   {1, 5, 3, 3, 0, 0},
        {5, 4, 1, 0, 1, 0},   {5, 5, 1, 0, 0, 1},   {0, 0, 3, 1, 1, 1},
        {0, 0, 11, 5, 3, 3},  {4, 5, 1, 1, 0, 0},   {7, 0, 10, 0, 6, 4},
        {2, 4, 6, 4, 2, 0}, // a stock just big enough
    };
    for (const RefillRow& row : rows)
        expectRefill(row);
}

TEST_F(Deal, RefillSplitsASmallStockAndKeepsAPartBack) {
    // rest: first draws, second draws, left in the stock; equal hands that stay non-empty.
    const unsigned split[][4] = {{1, 0, 0, 1}, {2, 1, 0, 1},  {3, 1, 1, 1}, {4, 2, 1, 1},
                                 {5, 2, 1, 2}, {6, 3, 1, 2},  {7, 3, 2, 2}, {8, 4, 2, 2},
                                 {9, 4, 2, 3}, {10, 5, 2, 3}, {11, 5, 3, 3}};
    for (const auto& s : split) {
        unsigned hands = s[0] <= 5 ? 3 : 0;
        expectRefill({hands, hands, s[0], s[1], s[2], s[3]});
    }
}

// Regression: two empty hands beside one or two stock cards used to leave the attacker without a card
// while the stock was not empty, and the game could never end.
TEST_F(Deal, RefillNeverLeavesAnEmptyHandBesideANonEmptyStock) {
    expectRefill({0, 0, 2, 1, 1, 0});
    expectRefill({0, 0, 1, 1, 0, 0});
}

TEST_F(Deal, RefillSortsBothHandsEvenWhenNothingMoves) {
    game.trumpSuit = 0;
    game.deck = cards("81");
    game.myHand = cards("e0 61 70 62 63");
    game.opponentHand = cards("92 93 b2 a2 c2");
    refillHands();
    EXPECT_EQ(codes(game.myHand), "61 62 63 70 e0");
    EXPECT_EQ(codes(game.opponentHand), "92 a2 b2 c2 93");
    EXPECT_EQ(codes(game.deck), "81");
}

TEST_F(Deal, SortHandOrdersPlainSuitsThenTrumps) {
    struct Row {
        unsigned trump;
        const char* before;
        const char* after;
    } rows[] = {
        {1, "a1 60 e2 71 90 c3", "60 90 e2 c3 71 a1"}, // the worked example
        {2, "e3 60 b1 71", "60 71 b1 e3"},             // no trumps: suits 0, 1, 3
        {3, "e3 63 b3", "63 b3 e3"},                   // trumps only, by rank
        {0, "e3", "e3"},
        {0, "", ""},
    };
    for (const Row& row : rows) {
        game.trumpSuit = static_cast<std::uint8_t>(row.trump);
        game.myHand = cards(row.before);
        sortHand(game.myHand);
        EXPECT_EQ(codes(game.myHand), row.after) << "trump " << row.trump << ", hand " << row.before;
    }
}
