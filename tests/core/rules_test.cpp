// Beating and the end of the game.
#include "engine/rules.h"
#include "support/card_notation.h"
#include "support/recording_frontend.h"

#include <gtest/gtest.h>

namespace {
class Rules : public ::testing::Test {
  protected:
    void SetUp() override {
        resetCore();
        game.trumpSuit = 2;
    }
};
} // namespace

TEST_F(Rules, CanBeat) {
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
        game.table = cards(row.table);
        EXPECT_EQ(canBeat(card(row.card)), row.beats) << "table [" << row.table << "], card " << row.card;
    }
}

TEST_F(Rules, GameOutcomeFromTheLocalSide) {
    struct Row {
        GameView view;
        GameOutcome outcome;
    } rows[] = {
        {{"60", "", "", ""}, InProgress},      // a stock card: hand sizes do not count
        {{"60", "", "", "71 81"}, InProgress}, //
        {{"", "", "", ""}, Draw},              //
        {{"", "", "", "71 81"}, Won},          //
        {{"", "", "71 81", ""}, Lost},         //
        {{"", "", "", "71"}, Won},             // the single card cannot cover anything
        {{"", "91", "", "a1"}, InProgress},    // the opponent's last card can still cover
        {{"", "91", "", "81"}, Won},           //
        {{"", "91", "a1", ""}, InProgress},    //
        {{"", "", "71", ""}, Lost},            //
        {{"", "91 a1", "71", ""}, Lost},       // even table: nothing to cover
        {{"", "90", "71", "81"}, InProgress},  //
        {{"", "", "71 61", "81"}, InProgress}, //
    };
    for (const Row& row : rows) {
        game = gameStateOf(row.view);
        EXPECT_EQ(gameOutcome(), row.outcome) << row.view;
        // The peer holds the mirrored state and must agree.
        std::swap(game.myHand, game.opponentHand);
        GameOutcome mirrored = row.outcome == Won ? Lost : row.outcome == Lost ? Won : row.outcome;
        EXPECT_EQ(gameOutcome(), mirrored) << "mirrored: " << row.view;
    }
}
