// Player actions: what each click and button press changes, and the exact calls that follow it.
#include "exchange/show_and_send.h"
#include "engine/texts.h"
#include "exchange/state_message.h"
#include "stand_in/card_notation.h"
#include "stand_in/fake_frontend.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {
using Calls = std::vector<std::string>;

std::string button(const char* caption) {
    return std::string("button:") + caption + (*caption ? ":on" : ":off");
}

const char* const unchanged = "unchanged";
const Calls laid = {button(""), "redraw", "send"}; // a card laid or a bout ended, nothing to press next
} // namespace

TEST(Actions, ClicksAndButtonPresses) {
    struct Row {
        const char* what;
        GameView before;   // trump 2 unless given
        const char* steps; // card indices clicked in turn, "B" for the action button
        const char* after; // describe() of the game afterwards
        Calls calls;       // every "send" must carry the state after the step
    } rows[] = {
        {"attack on an empty table",
         {"72 e0", "", "60 81 a1", "63 73 83"},
         "1",
         "72 e0|81|60 a1|63 73 83|020|",
         laid},
        {"cover", {"72 e0", "91", "63 a1 62", "73 83", true}, "1", "72 e0|91 a1|63 62|73 83|120|", laid},
        {"an attacker adds any rank on the table, the cover cards' too, beyond six pairs",
         {"d2", "60 70 61 71 62 72 63 73 80 83 91 a1", "a3 e0", "b0"},
         "0",
         "d2|60 70 61 71 62 72 63 73 80 83 91 a1 a3|e0|b0|020|",
         laid},
        {"the card that empties the hand wins and starts the blink in the same action",
         {"", "", "81", "63 73"},
         "0",
         "|81||63 73|020|",
         {button(captionNewGame), "redraw", "blink:start", "send"}},
        {"a throw-in choice toggles (not the ace: its rank is not on the table) and only redraws",
         {"72", "91 a1", "90 93 a3 e0", "60", false, 2, true},
         "3 2 0 1 0",
         "72|91 a1|90 93 a3 e0|60|021|2 1",
         {"redraw", "redraw", "redraw", "redraw"}},
        // The attacker equalises with d3 and takes b3 c3 in the split; the defender gets 61; e0 stays back.
        {"beat off: the attacker refills first, the roles swap",
         {"72 e0 61 b3 c3 d3", "91 a1 93 a3", "63 e2", "73 83 b0"},
         "B",
         "72 e0||63 b3 c3 d3 e2|b0 61 73 83|120|",
         laid},
        {"beat off with an empty stock", {"", "91 a1", "63 83", "73"}, "B", "||63 83|73|120|", laid},
        {"take: the attacker's 10 matches the cover card, so the throw-in starts",
         {"72", "91 a1 b1", "63", "a3 60", true},
         "B",
         "72|91 a1 b1|63|a3 60|121|",
         laid},
        {"take with nothing to throw in: the table at once into the hand, then the attacker refills",
         {"72 e0 d0", "91 a1 b1", "63", "83 60", true},
         "B",
         "72||91 a1 b1 63|60 d0 e0 83|120|",
         laid},
        {"confirmed throw-in moves exactly the chosen cards and the table",
         {"", "91 a1", "60 90 70 80 a3 e3", "b0", false, 2, true},
         "1 4 B",
         "||60 70 80 e3|90 b0 91 a1 a3|020|",
         {"redraw", "redraw", button(""), "redraw", "send"}},
        {"the same, chosen in the other order",
         {"", "91 a1", "60 90 70 80 a3 e3", "b0", false, 2, true},
         "4 1 B",
         "||60 70 80 e3|90 b0 91 a1 a3|020|",
         {"redraw", "redraw", button(""), "redraw", "send"}},
        {"confirmed throw-in with nothing chosen gives the table, then both refill",
         {"72 e0 61", "91 a1", "60 90 70 80 83", "b0", false, 2, true},
         "B",
         "72||60 70 80 90 83|b0 e0 61 91 a1|020|",
         laid},
        // Refused clicks and presses change and call nothing.
        {"defender, nothing uncovered", {"72", "91 a1", "b1 e2", "63", true}, "0", unchanged, {}},
        {"defender, the card cannot cover", {"72", "91", "81 e0", "63", true}, "1", unchanged, {}},
        {"attacker while a card lies uncovered", {"72", "91", "93 e0", "63"}, "0", unchanged, {}},
        {"attacker, rank not on the table", {"72", "91 a1", "b3 e0", "63"}, "0", unchanged, {}},
        {"defender during a throw-in", {"72", "91", "93 e0", "63", true, 2, true}, "0", unchanged, {}},
        {"throw-in, rank not on the table",
         {"72", "91 a1", "b3 93", "63", false, 2, true},
         "0",
         unchanged,
         {}},
        {"index just beyond the hand", {"72", "", "93 e0", "63"}, "2", unchanged, {}},
        {"index far beyond the hand", {"72", "", "93", "63"}, "4294967295", unchanged, {}},
        {"button: attacker, uncovered after pairs", {"72", "91 a1 93", "63", "60"}, "B", unchanged, {}},
        {"button: defender, nothing uncovered", {"72", "91 a1", "63", "60", true}, "B", unchanged, {}},
        {"button: defender during the throw-in", {"72", "91", "63", "60", true, 2, true}, "B", unchanged, {}},
    };
    for (const Row& row : rows) {
        resetCore();
        GameState game = gameStateOf(row.before);
        game.opponentContact = 7;
        std::string before = describe(game);
        std::istringstream steps(row.steps);
        for (std::string step; steps >> step;)
            step == "B" ? onActionButton(game)
                        : onCardClicked(game, static_cast<std::uint32_t>(std::stoul(step)));
        EXPECT_EQ(describe(game), row.after == unchanged ? before : row.after) << row.what;
        Calls calls = takeCalls(game);
        for (std::string& call : calls)
            if (call == "send:7:" + std::string(encodeStateMessage(game).text))
                call = "send";
        EXPECT_EQ(calls, row.calls) << row.what;
    }
}

TEST(Actions, NewGameButtonLetsTheWinnerAttackAndTossesACoinAfterADraw) {
    struct Row {
        const char* mine;
        const char* theirs;
        int coin; // the first random value, its parity the toss; after a won or lost game it is ignored
        bool defendsAfter;
    } rows[] = {{"", "63 73", 0, false}, {"63 73", "", 1, true}, {"", "", 2, true}, {"", "", 1, false}};
    for (const Row& row : rows) {
        resetCore({row.coin});
        GameState game = gameStateOf({"", "", row.mine, row.theirs});
        onActionButton(game);
        EXPECT_EQ(game.localDefends, row.defendsAfter)
            << row.mine << "/" << row.theirs << " coin " << row.coin;
        EXPECT_EQ(game.deck.size(), 24u);
    }
}
