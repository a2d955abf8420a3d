// The state message: the worked example and round trips, odd texts accepted, malformed ones rejected
// whole, a character that is not a hexadecimal digit told apart.
#include "exchange/state_message.h"
#include "stand_in/card_notation.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(StateMessage, EncodesAndIsAdoptedMirrored) {
    struct Row {
        GameView sender;
        const char* text;
    } rows[] = {
        {{"72 e0", "91 c1", "63 a2", "b0", true, 2, false},
         "@@Kelvaron@@72e0-91c1-63a2-b0-020"}, // worked example
        {{"e3 60 71 82", "93 d3 a0", "61 b2 c2", "70 c0", false, 3, true},
         "@@Kelvaron@@e3607182-93d3a0-61b2c2-70c0-131"},
        {{"", "", "", "", true, 0, true}, "@@Kelvaron@@----001"},
    };
    for (const Row& row : rows) {
        EXPECT_STREQ(encodeStateMessage(gameStateOf(row.sender)).text, row.text);
        GameState received;
        ASSERT_EQ(readStateMessage(row.text, received), DecodeResult::Accepted) << row.text;
        EXPECT_EQ(describe(received), describe(mirrored(gameStateOf(row.sender)))) << row.text;
    }
}

TEST(StateMessage, TheLongestMessageFitsAndAnOverfullRecordIsCutNotOverrun) {
    GameState game;
    for (unsigned suit = 0; suit < 4; ++suit)
        for (unsigned rank = 6; rank <= 14; ++rank)
            (suit % 2 ? game.deck : game.myHand).push_back(makeCard(rank, suit));
    EXPECT_EQ(std::strlen(encodeStateMessage(game).text), 91u);
    game.table = game.myHand; // more than the deck holds: never made by the game
    EXPECT_EQ(std::strlen(encodeStateMessage(game).text), maxStateMessageLength);
}

// Each body is read over a known game "72 e0|91|63 a2|b0|120|1" held with contact 5, and adopted when
// accepted. An accepted one replaces the four lists and the digits and drops the pending choice; a
// rejected one changes nothing and says whether a character was not a hexadecimal digit.
TEST(StateMessage, DecodingBodies) {
    std::string all36, all36Codes; // the whole deck as one card group, and in codes
    for (char suit : std::string("0123"))
        for (char rank : std::string("6789abcde")) {
            all36 += {rank, suit};
            all36Codes += (all36Codes.empty() ? "" : " ") + std::string{rank, suit};
        }
    const std::string body255 = std::string(248, 'z') + "----000";
    const std::string unchanged = "unchanged";
    struct Row {
        std::string body;
        std::string after; // describe() of the game afterwards
        bool notHex;
    } rows[] = {
        {"----000", "||||000|", false},
        {"62a----113", "62||||110|", false}, // a lone last character is ignored; only "1" sets throw-in
        {"6-6---010", "||||010|", false},    // a group of one character holds no card
        {"A2----012", "a2||||010|", false},  // upper-case digits read as lower-case
        {"---e3-13x", "||e3||130|", false},  // the throw-in digit is never an error
        {"---e3-131", "||e3||131|", false},  //
        {all36 + "----000", all36Codes + "||||000|", false},
        {all36 + "60----000", unchanged, false},      // a 37th card
        {"72e0-91c1-63a2-b0--020", unchanged, false}, // six pieces
        {"72e0-91c1-63a2-b0020", unchanged, false},   // four pieces
        {"72e0-91c1-63a2-b0-02", unchanged, false},   // two digits
        {"72e0-91c1-63a2-b0-0200", unchanged, false}, // four digits
        {"", unchanged, false},
        {"72e0-91c1-6za2-b0-020", unchanged, true},   // a card code that is not hexadecimal
        {"72e0-91c1-63a2-b0zz-020", unchanged, true}, // late in the last group, two of them: one box
        {"z2e0-91c1-63a2-z0-020", unchanged, true},   // first in their groups: one box
        {"zzzzzz-zz-zzzz-zz-zz0", unchanged, true},   // many of them, still one box
        {"72e0-91c1-63a2-b0-z20", unchanged, true},   // defender digit
        {"72e0-91c1-63a2-b0-0z0", unchanged, true},   // trump digit
        {"52e0-91c1-63a2-b0-020", unchanged, false},  // rank 5
        {"f2e0-91c1-63a2-b0-020", unchanged, false},  // rank 15
        {"F2----010", unchanged, false},              //
        {"74e0-91c1-63a2-b0-020", unchanged, false},  // suit 4
        {"7ae0-91c1-63a2-b0-020", unchanged, false},  // suit 10
        {"72e0-91c1-63a2-b0-220", unchanged, false},  // defender digit 2
        {"72e0-91c1-63a2-b0-040", unchanged, false},  // trump digit 4
        {"72e0-91c1-63a2-72-020", unchanged, false},  // the same card twice
        {body255, unchanged, true},                   // 255 characters are read
        {"z" + body255, unchanged, false},            // 256 are refused before reading
        {std::string(100000, '-'), unchanged, false},
    };
    for (const Row& row : rows) {
        GameState game = gameStateOf({"72 e0", "91", "63 a2", "b0", true, 2, false});
        game.selection = {1};
        game.opponentContact = 5;
        std::string before = describe(game);
        GameState received = game;
        DecodeResult found = readStateMessage((stateMarker + row.body).c_str(), received);
        std::string what = row.body.substr(0, 40);
        EXPECT_EQ(found, row.after != unchanged ? DecodeResult::Accepted
                         : row.notHex           ? DecodeResult::NotHexDigit
                                                : DecodeResult::Malformed)
            << what;
        if (found == DecodeResult::Accepted)
            adoptState(game, std::move(received));
        else
            EXPECT_EQ(describe(received), before) << "a rejected text left its mark: " << what;
        EXPECT_EQ(describe(game), found == DecodeResult::Accepted ? row.after : before) << what;
        EXPECT_EQ(game.opponentContact, 5u) << what;
    }
}

TEST(StateMessage, RecognitionAndHexToDec) {
    EXPECT_TRUE(isStateMessage("@@Kelvaron@@x"));
    EXPECT_FALSE(isStateMessage("@@Kelvaron@@")); // nothing after the marker
    EXPECT_FALSE(isStateMessage("@@kelvaron@@----000"));
    EXPECT_FALSE(isStateMessage(nullptr));
    EXPECT_EQ(HexToDec('g'), -1);
    EXPECT_EQ(HexToDec('F'), 15);
}
