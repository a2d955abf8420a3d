// Receiving a state message: binding the opponent, opening or flashing the window, adopting.
#include "exchange/exchange.h"
#include "engine/texts.h"
#include "support/card_notation.h"
#include "support/recording_frontend.h"

#include <gtest/gtest.h>

TEST(Exchange, ReceivingAState) {
    using Calls = std::vector<std::string>;
    const char example[] = "@@Kelvaron@@72e0-91c1-63a2-b0-020"; // its receiver attacks, all covered
    const char rejected[] = "@@Kelvaron@@72e0-91c1-63a2-b0--020";
    const std::string beatOff = std::string("button:") + captionBeatOff + ":on";
    struct Row {
        const char* what;
        bool windowOpen;  // during a game with contact 9
        bool windowOpens; // when it is not open yet
        ContactHandle sender;
        const char* text;
        const char* theirsAfter; // the adopted sender's hand, "" when nothing was adopted
        Calls calls;
    } rows[] = {
        {"a first state opens the window", false, true, 9, example, "63 a2", {"open", beatOff, "redraw"}},
        {"a rejected one still opens it", false, true, 9, rejected, "", {"open"}},
        {"dropped when the window cannot open", false, false, 9, example, "", {"open"}},
        {"during a game another contact is not heard", true, true, 10, example, "", {}},
        {"the opponent's rejected state", true, true, 9, rejected, "", {"flash"}},
        {"the opponent's state", true, true, 9, example, "63 a2", {"flash", beatOff, "redraw"}},
        {"an adopted won state starts the blink; nothing is ever sent back",
         true,
         true,
         9,
         "@@Kelvaron@@--6070--100",
         "60 70",
         {"flash", std::string("button:") + captionNewGame + ":on", "redraw", "blink:start"}},
    };
    for (const Row& row : rows) {
        resetCore();
        fakeWindowOpen = row.windowOpen;
        fakeWindowOpens = row.windowOpens;
        game.opponentContact = row.windowOpen ? 9 : 0;
        receiveStateMessage(row.sender, row.text);
        EXPECT_EQ(game.opponentContact, 9u) << row.what;
        EXPECT_EQ(codes(game.opponentHand), row.theirsAfter) << row.what;
        EXPECT_EQ(takeFrontendCalls(), row.calls) << row.what;
    }
}
