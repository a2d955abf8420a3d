// Beating, and what a game state shows: the outcome, the action button's caption and the status line.
#include "engine/actions.h"
#include "engine/rules.h"
#include "engine/texts.h"
#include "layout/table_layout.h"
#include "stand_in/card_notation.h"

#include <gtest/gtest.h>

TEST(Rules, CanBeat) {
    struct Row {
        const char* table;
        const char* card;
        bool beats;
    } rows[] = {
        {"", "e2", false},       // nothing on the table, not even a trump covers
        {"91 a1", "e2", false},  // every attack covered
        {"91", "62", true},      // any trump covers a plain card
        {"91", "a1", true},      // same suit, higher
        {"91", "91", false},     // equal rank never covers
        {"91", "81", false},     // same suit, lower
        {"91", "e0", false},     // another plain suit, even an ace
        {"92", "a2", true},      // trump covered by a higher trump
        {"92", "82", false},     // lower trump
        {"92", "e1", false},     // a plain ace does not cover a trump
        {"60 70 91", "a1", true} // only the last card counts
    };
    for (const Row& row : rows) {
        GameState game = gameStateOf({"", row.table, "", ""});
        EXPECT_EQ(canBeat(game, card(row.card)), row.beats)
            << "table [" << row.table << "], card " << row.card;
    }
}

// The bubble is greyed exactly when the game is lost or drawn; a won game shows no status text (the
// blink shows it).
TEST(Rules, OutcomeCaptionAndStatusLine) {
    struct Row {
        GameView view; // trump 2
        GameOutcome outcome;
        const char* caption;
        const char* status;
    } rows[] = {
        {{"60", "", "", "71 81"}, InProgress, "", statusYourMove}, // a stock card: hand sizes do not count
        {{"", "", "", ""}, Draw, captionNewGame, statusDraw},
        {{"", "", "", "71 81", true}, Won, captionNewGame, nullptr},
        {{"", "", "71 81", ""}, Lost, captionNewGame, statusLost},
        {{"", "91", "63 73", "", true, 2, true}, Lost, captionNewGame, statusLost}, // whatever the phase
        {{"", "91", "", "a1"}, InProgress, "", statusOpponentDefends}, // their last card can still cover
        {{"", "91", "", "81"}, Won, captionNewGame, nullptr},          // it cannot
        {{"", "91", "a1", "", true}, InProgress, captionTake, statusDefend},
        {{"", "91 a1", "71", ""}, Lost, captionNewGame, statusLost}, // even table: nothing to cover
        {{"", "", "71 61", "81"}, InProgress, "", statusYourMove},
        {{"72", "91", "63", "60", false, 2, true}, InProgress, captionDone, statusChooseThrowIn},
        {{"72", "91", "63", "60", true, 2, true}, InProgress, "", statusWaitForThrowIn},
        {{"72", "91 a1", "63", "60"}, InProgress, captionBeatOff, statusYourMove},
        {{"72", "", "63", "60"}, InProgress, "", statusYourMove},
        {{"72", "91", "63", "60"}, InProgress, "", statusOpponentDefends},
        {{"72", "91", "63", "60", true}, InProgress, captionTake, statusDefend},
        {{"72", "91 a1 93", "63", "60", true}, InProgress, captionTake, statusDefend}, // after a pair
        // "Ваш оппонент ходит." in Windows-1251: the opponent attacks next.
        {{"72", "91 a1", "63", "60", true},
         InProgress,
         "",
         "\xc2\xe0\xf8 \xee\xef\xef\xee\xed\xe5\xed\xf2 \xf5\xee\xe4\xe8\xf2."},
        {{"72", "", "63", "60", true}, InProgress, "", statusOpponentAttacks},
    };
    for (const Row& row : rows) {
        GameState game = gameStateOf(row.view);
        EXPECT_EQ(gameOutcome(game), row.outcome) << row.view;
        EXPECT_STREQ(statusLineText(game), row.status) << row.view;
        EXPECT_EQ(statusBubbleGreyed(game), row.outcome == Lost || row.outcome == Draw) << row.view;
        EXPECT_STREQ(actionButtonCaption(game), row.caption) << row.view;
        // The peer holds the mirrored state and must agree.
        game = mirrored(game);
        GameOutcome theirs = row.outcome == Won ? Lost : row.outcome == Lost ? Won : row.outcome;
        EXPECT_EQ(gameOutcome(game), theirs) << "mirrored: " << row.view;
    }
}
