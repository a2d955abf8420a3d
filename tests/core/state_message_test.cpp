// The state message: the worked example and round trips, odd texts accepted, malformed ones rejected
// whole, a character that is not a hexadecimal digit told apart; recognising one.
#include "core_test.h"

#include <cstring>

TEST(StateMessage, EncodesIsReadMirroredAndIsRecognised) {
    const char* const rows[][2] = {
        {"72 e0|91 c1|63 a2|b0|120", "@@Kelvaron@@72e0-91c1-63a2-b0-020"}, // the worked example
        {"e3 60 71 82|93 d3 a0|61 b2 c2|70 c0|031", "@@Kelvaron@@e3607182-93d3a0-61b2c2-70c0-131"},
        {"||||101", "@@Kelvaron@@----001"}};
    for (const auto& row : rows) {
        EXPECT_STREQ(encodeStateMessage(gameFrom(row[0])).text, row[1]);
        GameState received;
        EXPECT_EQ(readStateMessage(row[1], received), DecodeResult::Accepted) << row[1];
        EXPECT_EQ(describe(received), describe(mirrored(gameFrom(row[0])))) << row[1];
    }
    // All 36 cards make the longest message; a record holding more (never made by the game) is cut.
    GameState game = gameFrom(wholeDeck);
    EXPECT_EQ(std::strlen(encodeStateMessage(game).text), 91u);
    game.table = game.deck;
    EXPECT_EQ(std::strlen(encodeStateMessage(game).text), 91u);
    // A state message is a text longer than the marker that starts with it, in that case.
    EXPECT_TRUE(isStateMessage("@@Kelvaron@@x"));
    EXPECT_FALSE(isStateMessage("@@Kelvaron@@") || isStateMessage("@@kelvaron@@----000") ||
                 isStateMessage(nullptr));
}

// Each body is read over the game "72 e0|91|63 a2|b0|120": an accepted one replaces the four lists and
// the digits; a rejected one changes nothing and says whether a character was not a hexadecimal digit.
TEST(StateMessage, DecodingBodies) {
    const std::string unchanged = "72 e0|91|63 a2|b0|120|";
    auto read = [&](const std::string& body, DecodeResult found, const std::string& after) {
        GameState game = gameFrom(unchanged);
        EXPECT_EQ(readStateMessage((stateMarker + body).c_str(), game), found) << body.substr(0, 40);
        EXPECT_EQ(describe(game), after) << body.substr(0, 40);
    };
    // A lone last character is ignored, only "1" sets the throw-in flag; a group of one character holds
    // no card; upper-case digits read as lower-case; the throw-in digit is never an error.
    const char* const accepted[][2] = {{"----000", "||||000|"},     {"62a----113", "62||||110|"},
                                       {"6-6---010", "||||010|"},   {"A2----012", "a2||||010|"},
                                       {"---e3-13x", "||e3||130|"}, {"---e3-131", "||e3||131|"}};
    for (const auto& row : accepted)
        read(row[0], DecodeResult::Accepted, row[1]);
    // The whole deck in one group.
    const std::string all36 = "60708090a0b0c0d0e061718191a1b1c1d1e162728292a2b2c2d2e263738393a3b3c3d3e3";
    read(all36 + "----000", DecodeResult::Accepted, wholeDeck + "||||000|");
    // Malformed: a 37th card; no text; six pieces; four pieces; two digits; four digits; rank 5; rank 15;
    // suit 4; suit 10; defender digit 2; trump digit 4; the same card twice; 256 characters, refused
    // before they are read; many more.
    const std::string body255 = std::string(248, 'z') + "----000";
    const std::string malformed[] = {
        all36 + "60----000", "",          "-----000",    "---000",      "----00",
        "----0000",          "52----000", "F2----010",   "64----000",   "6a----000",
        "----200",           "----040",   "72-72---020", "z" + body255, std::string(100000, '-')};
    for (const std::string& body : malformed)
        read(body, DecodeResult::Malformed, unchanged);
    // Not a hexadecimal digit: in a card code; twice, late in the last group; first in their groups; the
    // defender digit; the trump digit; among 255 characters, which are read.
    const std::string notHex[] = {"6z----000", "---60zz-000", "z0---z0-000", "----z00", "----0z0", body255};
    for (const std::string& body : notHex)
        read(body, DecodeResult::NotHexDigit, unchanged);
}
