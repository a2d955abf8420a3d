// The deal: the shuffle, a new game, drawing, refilling both hands and the order of a hand.
#include "exchange/show_and_send.h"
#include "engine/deal.h"
#include "exchange/state_message.h"
#include "stand_in/card_notation.h"
#include "stand_in/fake_frontend.h"

#include <gtest/gtest.h>

#include <numeric>

TEST(Deal, NewGameWithAnIdentityShuffleDealsTheAttackerFirstAndAnnouncesIt) {
    // The stock keeps the built order; the attacker draws indices 30..35, then the defender 24..29.
    const std::string stock = "60 70 80 90 a0 b0 c0 d0 e0 61 71 81 91 a1 b1 c1 d1 e1 62 72 82 92 a2 b2||";
    const std::string attacker = "93 a3 b3 c3 d3 e3", defender = "c2 d2 e2 63 73 83";
    for (std::uint8_t defends : {0, 1}) {
        resetCore();
        GameState game;
        game.opponentContact = 42;
        game.selection = {4, 5};               // a pending throw-in choice is dropped
        fakeWindow(game).blinkRunning = 1; // a blink left from a won game stops
        scriptIdentityShuffle();
        newGame(game, defends);
        EXPECT_EQ(describe(game), defends ? stock + defender + "|" + attacker + "|100|"
                                          : stock + attacker + "|" + defender + "|000|");
        EXPECT_EQ(takeCalls(game),
                  (std::vector<std::string>{"button::off", "blink:stop", "redraw",
                                            "send:42:" + std::string(encodeStateMessage(game).text)}));
    }
}

TEST(Deal, ShuffleIsForwardFisherYatesOverFifteenBitValues) {
    resetCore(); // all zeros: every i is exchanged with index 0, so the last card ends at the bottom
    GameState game;
    dealFreshGame(game, 0);
    EXPECT_EQ(game.deck[0], card("e3"));
    EXPECT_EQ(game.trumpSuit, 3);
    std::vector<int> values(35);
    std::iota(values.begin(), values.end(), 1);
    values[1] = 0x8000; // draw i = 2 gets 0x8000, which is 0 once cut to 15 bits: cards 0 and 2 swap
    resetCore(values);
    dealFreshGame(game, 0);
    EXPECT_EQ(codes({game.deck[0], game.deck[1], game.deck[2]}), "80 70 60");
}

TEST(Deal, DrawCardsTakesFromTheEndToTheFrontOfTheHand) {
    struct Step {
        unsigned n;
        const char* handAfter;
        const char* deckAfter;
    } steps[] = {{2, "81 92 63", "72 e0"},
                 {0, "81 92 63", "72 e0"},
                 {5, "72 e0 81 92 63", ""},
                 {3, "72 e0 81 92 63", ""}};
    GameState game = gameStateOf({"72 e0 81 92", "", "63", ""});
    for (const Step& step : steps) {
        drawCards(game, game.myHand, step.n);
        EXPECT_EQ(codes(game.myHand), step.handAfter) << "drawing " << step.n;
        EXPECT_EQ(codes(game.deck), step.deckAfter) << "drawing " << step.n;
    }
}

TEST(Deal, RefillHands) {
    // Hand sizes of the attacker and the defender and of the stock, then the cards each hand draws and
    // what stays in the stock; hands and stock hold distinct cards, and each row is run from both sides.
    // The first two lines fill both hands (the third row from a stock just big enough) or the one not
    // full; in the rest the stock cannot fill both: the hands are equalised, the rest split, a part kept.
    // Regression (the last two rows): two empty hands beside one or two stock cards used to leave the
    // attacker without a card while the stock was not empty, and the game could never end.
    const unsigned rows[][6] = {
        {0, 0, 36, 6, 6, 24}, {2, 4, 20, 4, 2, 14}, {2, 4, 6, 4, 2, 0},  {6, 3, 5, 0, 3, 2},
        {8, 2, 3, 0, 3, 0},   {7, 0, 10, 0, 6, 4},  {3, 6, 2, 2, 0, 0},  {4, 5, 1, 1, 0, 0},
        {2, 4, 5, 3, 1, 1},   {4, 2, 5, 1, 3, 1},   {3, 3, 5, 2, 1, 2},  {1, 5, 3, 3, 0, 0},
        {5, 4, 1, 0, 1, 0},   {5, 5, 1, 0, 0, 1},   {3, 3, 2, 1, 0, 1},  {3, 3, 3, 1, 1, 1},
        {3, 3, 4, 2, 1, 1},   {0, 0, 3, 1, 1, 1},   {0, 0, 6, 3, 1, 2},  {0, 0, 7, 3, 2, 2},
        {0, 0, 8, 4, 2, 2},   {0, 0, 9, 4, 2, 3},   {0, 0, 10, 5, 2, 3}, {0, 0, 11, 5, 3, 3},
        {0, 0, 2, 1, 1, 0},   {0, 0, 1, 1, 0, 0}, // the regression
    };
    for (const auto& row : rows) {
        for (std::uint8_t localDefends : {0, 1}) {
            GameState game;
            game.localDefends = localDefends;
            game.trumpSuit = 1;
            CardList& attacker = localDefends ? game.opponentHand : game.myHand;
            CardList& defender = localDefends ? game.myHand : game.opponentHand;
            CardList all =
                cards("60 70 80 90 a0 b0 c0 d0 e0 61 71 81 91 a1 b1 c1 d1 e1 62 72 82 92 a2 b2 c2 d2 "
                      "e2 63 73 83 93 a3 b3 c3 d3 e3");
            attacker.assign(all.begin(), all.begin() + row[0]);
            defender.assign(all.begin() + row[0], all.begin() + row[0] + row[1]);
            game.deck.assign(all.begin() + row[0] + row[1], all.begin() + row[0] + row[1] + row[2]);
            refillHands(game);
            SCOPED_TRACE(::testing::Message() << "hands " << row[0] << "/" << row[1] << ", stock " << row[2]
                                              << ", localDefends " << int(localDefends));
            EXPECT_EQ(attacker.size(), row[0] + row[3]);
            EXPECT_EQ(defender.size(), row[1] + row[4]);
            EXPECT_EQ(game.deck.size(), row[5]);
        }
    }
}

TEST(Deal, SortHandOrdersPlainSuitsThenTrumpsAndRefillSortsEvenWhenNothingMoves) {
    struct Row {
        unsigned trump;
        const char* before;
        const char* after;
    } rows[] = {
        {1, "a1 60 e2 71 90 c3", "60 90 e2 c3 71 a1"}, // the worked example
        {2, "e3 60 b1 71", "60 71 b1 e3"},             // no trumps: suits 0, 1, 3
        {3, "e3 63 b3", "63 b3 e3"},                   // trumps only, by rank
        {0, "e0 61", "61 e0"},                         // two cards, a trump first
        {1, "64 a1 60", "60 a1 64"},                   // a card of no suit keeps to the very end
    };
    for (const Row& row : rows) {
        GameState game = gameStateOf({"", "", row.before, "", false, row.trump});
        sortHand(game.myHand, game.trumpSuit);
        EXPECT_EQ(codes(game.myHand), row.after) << "trump " << row.trump << ", hand " << row.before;
    }
    GameState game = gameStateOf({"81", "", "e0 61 70 62 63", "92 93 b2 a2 c2", false, 0});
    refillHands(game);
    EXPECT_EQ(describe(game), "81||61 62 63 70 e0|92 a2 b2 c2 93|000|");
}
