// Player actions: what each click and button press changes, and the exact calls that follow it.
#include "engine/actions.h"
#include "engine/rules.h"
#include "engine/texts.h"
#include "exchange/state_message.h"
#include "support/card_notation.h"
#include "support/recording_frontend.h"

#include <gtest/gtest.h>

namespace {
using Calls = std::vector<std::string>;

std::string button(const char* caption) {
    return std::string("button:") + caption + (*caption ? ":on" : ":off");
}

class Actions : public ::testing::Test {
  protected:
    void SetUp() override {
        resetCore();
        game.trumpSuit = 2;
        game.opponentContact = 7;
    }

    // The calls made since the last look, with the sent text checked against the state and cut short.
    Calls calls() {
        Calls result = takeFrontendCalls();
        for (std::string& call : result) {
            if (call.rfind("send:", 0) == 0) {
                EXPECT_EQ(call, "send:7:" + std::string(encodeStateMessage().text));
                call = "send";
            }
        }
        return result;
    }

    std::string snapshot() const {
        std::string s = codes(game.deck) + "|" + codes(game.table) + "|" + codes(game.myHand) + "|" +
                        codes(game.opponentHand) + "|" + std::to_string(game.localDefends) +
                        std::to_string(game.throwInPhase) + "|";
        for (auto index : game.selection)
            s += std::to_string(index) + ",";
        return s;
    }
};
} // namespace

TEST_F(Actions, AttackOnAnEmptyTableLaysTheCardAndRunsTheFullSequence) {
    setGame("72 e0", "", "60 81 a1", "63 73 83", 0);
    onCardClicked(1);
    EXPECT_EQ(codes(game.table), "81");
    EXPECT_EQ(codes(game.myHand), "60 a1");
    EXPECT_EQ(calls(), (Calls{button(""), "redraw", "send"}));
}

TEST_F(Actions, CoverLaysTheCardAndOffersNothingUntilTheNextAttack) {
    setGame("72 e0", "91", "63 a1 62", "73 83", 1);
    onCardClicked(1);
    EXPECT_EQ(codes(game.table), "91 a1");
    EXPECT_EQ(codes(game.myHand), "63 62");
    EXPECT_EQ(calls(), (Calls{button(""), "redraw", "send"}));
}

TEST_F(Actions, RefusedClicksChangeAndCallNothing) {
    struct Row {
        const char* what;
        const char* table;
        const char* mine;
        std::uint8_t localDefends, throwInPhase;
        std::uint32_t index;
    } rows[] = {
        {"defender, nothing uncovered", "91 a1", "b1 e2", 1, 0, 0},
        {"defender, card cannot cover", "91", "81 e0", 1, 0, 1},
        {"attacker while a card lies uncovered", "91", "93 e0", 0, 0, 0},
        {"attacker, rank not on the table", "91 a1", "b3 e0", 0, 0, 0},
        {"defender during a throw-in", "91", "93 e0", 1, 1, 0},
        {"attacker choosing a rank not on the table", "91 a1", "b3 93", 0, 1, 0},
        {"index beyond the hand", "", "93 e0", 0, 0, 2},
        {"index far beyond the hand", "", "93", 0, 0, 0xffffffffu},
    };
    for (const Row& row : rows) {
        setGame("72 e0", row.table, row.mine, "63 73", row.localDefends, row.throwInPhase);
        std::string before = snapshot();
        onCardClicked(row.index);
        EXPECT_EQ(snapshot(), before) << row.what;
        EXPECT_EQ(calls(), Calls{}) << row.what;
    }
}

TEST_F(Actions, AttackerAddsAnyCardWhoseRankLiesOnTheTableWithoutALimit) {
    // Rank 10 lies on the table only as a cover card; the bout already holds six pairs.
    setGame("72", "60 70 61 71 62 72 63 73 80 83 91 a1", "a3 e0", "b0", 0);
    onCardClicked(0);
    EXPECT_EQ(game.table.size(), 13u);
    EXPECT_EQ(game.table.back(), card("a3"));
}

TEST_F(Actions, TheCardThatEmptiesTheHandWinsAndStartsTheBlinkInTheSameAction) {
    setGame("", "", "81", "63 73", 0);
    onCardClicked(0);
    EXPECT_EQ(gameOutcome(), Won);
    EXPECT_EQ(calls(), (Calls{button(captionNewGame), "redraw", "blink:start", "send"}));
    EXPECT_EQ(winBlinkRunning, 1);
}

TEST_F(Actions, ThrowInChoiceTogglesAndOnlyRedraws) {
    setGame("72", "91 a1", "90 93 a3 e0", "60", 0, 1);
    onCardClicked(3); // ace: rank not on the table
    onCardClicked(2);
    onCardClicked(0);
    onCardClicked(1);
    EXPECT_EQ(game.selection, (std::vector<std::uint32_t>{2, 0, 1}));
    onCardClicked(0); // a second click removes it, the others keep their order
    EXPECT_EQ(game.selection, (std::vector<std::uint32_t>{2, 1}));
    EXPECT_EQ(calls(), (Calls{"redraw", "redraw", "redraw", "redraw"}));
    EXPECT_EQ(codes(game.myHand), "90 93 a3 e0");
    EXPECT_EQ(codes(game.table), "91 a1");
}

TEST_F(Actions, BeatOffEmptiesTheTableRefillsAttackerFirstAndSwapsRoles) {
    setGame("72 e0 61 b3 c3 d3", "91 a1 93 a3", "63 e2", "73 83 b0", 0);
    onActionButton();
    EXPECT_TRUE(game.table.empty());
    EXPECT_EQ(game.localDefends, 1);
    // The attacker equalises with d3 and takes b3 c3 in the split; the defender gets 61; e0 stays back.
    EXPECT_EQ(codes(game.myHand), "63 b3 c3 d3 e2");
    EXPECT_EQ(codes(game.opponentHand), "b0 61 73 83");
    EXPECT_EQ(codes(game.deck), "72 e0");
    EXPECT_EQ(calls(), (Calls{button(""), "redraw", "send"}));
}

TEST_F(Actions, BeatOffWithAnEmptyStockStillSwapsRoles) {
    setGame("", "91 a1", "63 83", "73", 0);
    onActionButton();
    EXPECT_EQ(game.localDefends, 1);
    EXPECT_EQ(codes(game.myHand), "63 83");
    EXPECT_EQ(codes(game.opponentHand), "73");
}

TEST_F(Actions, TakeStartsTheThrowInWhenTheAttackerHoldsARankOnTheTable) {
    // The attacker's 10 matches only the cover card.
    setGame("72", "91 a1 b1", "63", "a3 60", 1);
    onActionButton();
    EXPECT_EQ(game.throwInPhase, 1);
    EXPECT_EQ(codes(game.table), "91 a1 b1");
    EXPECT_EQ(codes(game.myHand), "63");
    EXPECT_EQ(calls(), (Calls{button(""), "redraw", "send"}));
}

TEST_F(Actions, TakeWithNothingToThrowInMovesTheTableIntoTheHandAtOnce) {
    setGame("72 e0 d0", "91 a1 b1", "63", "83 60", 1);
    onActionButton();
    EXPECT_EQ(game.throwInPhase, 0);
    EXPECT_TRUE(game.table.empty());
    EXPECT_EQ(codes(game.myHand), "91 a1 b1 63"); // sorted; the attacker then equalises from the stock
    EXPECT_EQ(codes(game.opponentHand), "60 d0 e0 83");
    EXPECT_EQ(codes(game.deck), "72");
    EXPECT_EQ(game.localDefends, 1);
    EXPECT_EQ(calls(), (Calls{button(""), "redraw", "send"}));
}

TEST_F(Actions, ConfirmedThrowInMovesExactlyTheChosenCardsAndTheTable) {
    for (auto choice : {std::vector<std::uint32_t>{1, 4}, std::vector<std::uint32_t>{4, 1}}) {
        setGame("", "91 a1", "60 90 70 80 a3 e3", "b0", 0, 1);
        for (auto index : choice)
            onCardClicked(index);
        takeFrontendCalls();
        onActionButton();
        EXPECT_EQ(codes(game.myHand), "60 70 80 e3");
        EXPECT_EQ(codes(game.opponentHand), "90 b0 91 a1 a3");
        EXPECT_TRUE(game.selection.empty());
        EXPECT_TRUE(game.table.empty());
        EXPECT_EQ(game.throwInPhase, 0);
        EXPECT_EQ(game.localDefends, 0);
        EXPECT_EQ(calls(), (Calls{button(""), "redraw", "send"}));
    }
}

TEST_F(Actions, ConfirmedThrowInWithNothingChosenGivesOnlyTheTableAndRefills) {
    setGame("72 e0 61", "91 a1", "60 90 70 80 83", "b0", 0, 1);
    onActionButton();
    EXPECT_EQ(codes(game.opponentHand), "b0 e0 61 91 a1");
    EXPECT_EQ(codes(game.myHand), "60 70 80 90 83");
    EXPECT_EQ(codes(game.deck), "72");
}

TEST_F(Actions, NewGameButtonAfterTheGameSetsWhoAttacks) {
    struct Row {
        const char* mine;
        const char* theirs;
        std::vector<int> random; // first the shuffle's 35 draws, then the draw's coin
        std::uint8_t localDefendsAfter;
    } rows[] = {
        {"", "63 73", {}, 0},                 // won: the winner attacks
        {"63 73", "", {}, 1},                 // lost: the loser defends
        {"", "", std::vector<int>(36, 0), 1}, // draw with an even value
        {"", "",
         [] {
             std::vector<int> v(1, 1);
             v.resize(36, 0);
             return v;
         }(),
         0}, // draw, odd value first
    };
    for (const Row& row : rows) {
        resetCore(row.random);
        setGame("", "", row.mine, row.theirs, 0);
        onActionButton();
        EXPECT_EQ(game.localDefends, row.localDefendsAfter) << row.mine << "/" << row.theirs;
        EXPECT_EQ(game.deck.size(), 24u);
    }
}

TEST_F(Actions, RefusedButtonPressesChangeAndCallNothing) {
    struct Row {
        const char* what;
        const char* table;
        std::uint8_t localDefends, throwInPhase;
    } rows[] = {
        {"attacker, empty table", "", 0, 0},
        {"attacker, card uncovered", "91", 0, 0},
        {"attacker, card uncovered after pairs", "91 a1 93", 0, 0},
        {"defender, nothing uncovered", "91 a1", 1, 0},
        {"defender, empty table", "", 1, 0},
        {"defender during the throw-in", "91", 1, 1},
    };
    for (const Row& row : rows) {
        setGame("72", row.table, "63", "60", row.localDefends, row.throwInPhase);
        std::string before = snapshot();
        onActionButton();
        EXPECT_EQ(snapshot(), before) << row.what;
        EXPECT_EQ(calls(), Calls{}) << row.what;
    }
}

TEST_F(Actions, ButtonCaptionFollowsTheState) {
    struct Row {
        GameView view;
        const char* caption;
    } rows[] = {
        {{"", "", "", "", false, 2, false}, captionNewGame},            // draw
        {{"", "", "", "60 70", true, 2, false}, captionNewGame},        // won
        {{"", "91", "63 73", "", true, 2, true}, captionNewGame},       // lost, whatever the phase
        {{"72", "91", "63", "60", false, 2, true}, captionDone},        //
        {{"72", "91", "63", "60", true, 2, true}, ""},                  //
        {{"72", "91 a1", "63", "60", false, 2, false}, captionBeatOff}, //
        {{"72", "", "63", "60", false, 2, false}, ""},                  //
        {{"72", "91", "63", "60", false, 2, false}, ""},                //
        {{"72", "91", "63", "60", true, 2, false}, captionTake},        //
        {{"72", "91 a1", "63", "60", true, 2, false}, ""},              //
        {{"72", "", "63", "60", true, 2, false}, ""},                   //
    };
    for (const Row& row : rows) {
        game = gameStateOf(row.view);
        updateActionButton();
        EXPECT_EQ(calls(), Calls{button(row.caption)}) << row.view;
    }
}

TEST_F(Actions, WinBlinkRunsExactlyWhileTheGameIsWon) {
    setGame("", "", "", "60 70", 0);
    syncWinBlink();
    syncWinBlink();
    EXPECT_EQ(winBlinkRunning, 1);
    setGame("", "", "", "", 0); // draw
    syncWinBlink();
    syncWinBlink();
    EXPECT_EQ(winBlinkRunning, 0);
    EXPECT_EQ(calls(), (Calls{"blink:start", "blink:stop"}));
}
