// Receiving a state message: binding the opponent, opening or flashing the window, adopting; sending.
#include "exchange/exchange.h"
#include "exchange/state_message.h"
#include "engine/texts.h"
#include "support/card_notation.h"
#include "support/recording_frontend.h"

#include <gtest/gtest.h>

namespace {
using Calls = std::vector<std::string>;
const char example[] = "@@Kelvaron@@72e0-91c1-63a2-b0-020";
const char rejected[] = "@@Kelvaron@@72e0-91c1-63a2-b0--020";
// The receiver of the example attacks and every attack is covered.
const std::string beatOffButton = std::string("button:") + captionBeatOff + ":on";

class Exchange : public ::testing::Test {
  protected:
    void SetUp() override { resetCore(); }
};
} // namespace

TEST_F(Exchange, FirstStateOpensTheWindowForItsSenderAndIsAdopted) {
    receiveStateMessage(9, example);
    EXPECT_EQ(game.opponentContact, 9u);
    EXPECT_EQ(codes(game.myHand), "b0");
    EXPECT_EQ(takeFrontendCalls(), (Calls{"open", beatOffButton, "redraw"}));
}

TEST_F(Exchange, RejectedStateStillOpensTheWindowButChangesNothing) {
    receiveStateMessage(9, rejected);
    EXPECT_EQ(game.opponentContact, 9u);
    EXPECT_TRUE(game.myHand.empty());
    EXPECT_EQ(takeFrontendCalls(), (Calls{"open"}));
}

TEST_F(Exchange, StateIsDroppedWhenTheWindowCannotOpen) {
    fakeWindowOpens = false;
    receiveStateMessage(9, example);
    EXPECT_EQ(game.opponentContact, 9u); // keeps the sender
    EXPECT_TRUE(game.deck.empty());
    EXPECT_EQ(takeFrontendCalls(), (Calls{"open"}));
}

TEST_F(Exchange, DuringAGameOnlyTheOpponentIsHeard) {
    fakeWindowOpen = true;
    game.opponentContact = 9;
    receiveStateMessage(10, example);
    EXPECT_TRUE(game.deck.empty());
    EXPECT_EQ(takeFrontendCalls(), Calls{});

    receiveStateMessage(9, rejected);
    EXPECT_EQ(takeFrontendCalls(), (Calls{"flash"}));

    receiveStateMessage(9, example);
    EXPECT_EQ(codes(game.deck), "72 e0");
    EXPECT_EQ(takeFrontendCalls(), (Calls{"flash", beatOffButton, "redraw"}));
}

TEST_F(Exchange, AdoptedWonStateStartsTheBlinkAndNothingIsEverSentBack) {
    fakeWindowOpen = true;
    game.opponentContact = 9;
    receiveStateMessage(9, "@@Kelvaron@@--6070--100"); // the sender holds two cards, the receiver none
    EXPECT_EQ(takeFrontendCalls(),
              (Calls{"flash", std::string("button:") + captionNewGame + ":on", "redraw", "blink:start"}));
}

TEST_F(Exchange, SendStateEncodesForTheOpponent) {
    game.opponentContact = 12;
    game.localDefends = 1;
    sendState();
    EXPECT_EQ(takeFrontendCalls(), (Calls{"send:12:@@Kelvaron@@----000"}));
}
