// The state message: the worked example, round trips, and malformed texts rejected whole.
#include "exchange/state_message.h"
#include "support/card_notation.h"
#include "support/recording_frontend.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {
using Calls = std::vector<std::string>;
const std::string traceCall = std::string("trace:") + hexDigitErrorText;

class StateMessage : public ::testing::Test {
  protected:
    void SetUp() override { resetCore(); }

    // A distinctive state for checking that rejected texts change nothing.
    void setKnownState() {
        game.deck = cards("72 e0");
        game.table = cards("91");
        game.myHand = cards("63 a2");
        game.opponentHand = cards("b0");
        game.selection = {1};
        game.localDefends = 1;
        game.trumpSuit = 2;
        game.throwInPhase = 0;
        game.opponentContact = 5;
    }

    std::string snapshot() const {
        return codes(game.deck) + "|" + codes(game.table) + "|" + codes(game.myHand) + "|" +
               codes(game.opponentHand) + "|" + std::to_string(game.localDefends) +
               std::to_string(game.trumpSuit) + std::to_string(game.throwInPhase) + "|" +
               std::to_string(game.selection.size());
    }
};

std::string message(const std::string& body) { return stateMarker + body; }
} // namespace

TEST_F(StateMessage, WorkedExampleEncodesAndIsAdoptedMirrored) {
    game.deck = cards("72 e0");
    game.table = cards("91 c1");
    game.myHand = cards("63 a2");
    game.opponentHand = cards("b0");
    game.localDefends = 1;
    game.trumpSuit = 2;
    game.throwInPhase = 0;
    std::string text = encodeStateMessage().text;
    EXPECT_EQ(text, "@@Kelvaron@@72e0-91c1-63a2-b0-020");
    EXPECT_EQ(text.size(), 33u);

    resetCore();
    ASSERT_TRUE(decodeStateMessage(text.c_str()));
    EXPECT_EQ(codes(game.deck), "72 e0");
    EXPECT_EQ(codes(game.table), "91 c1");
    EXPECT_EQ(codes(game.opponentHand), "63 a2");
    EXPECT_EQ(codes(game.myHand), "b0");
    EXPECT_EQ(game.localDefends, 0);
    EXPECT_EQ(game.trumpSuit, 2);
    EXPECT_EQ(game.throwInPhase, 0);
    EXPECT_EQ(takeFrontendCalls(), Calls{});
}

TEST_F(StateMessage, RoundTripExchangesHandsAndInvertsTheDefender) {
    for (std::uint8_t defends : {0, 1}) {
        for (std::uint8_t throwIn : {0, 1}) {
            game.deck = cards("e3 60 71 82");
            game.table = cards("93 d3 a0");
            game.myHand = cards("61 b2 c2");
            game.opponentHand = cards("70 c0");
            game.localDefends = defends;
            game.trumpSuit = 3;
            game.throwInPhase = throwIn;
            GameState sender = game;
            std::string text = encodeStateMessage().text;
            game = GameState{};
            ASSERT_TRUE(decodeStateMessage(text.c_str())) << text;
            EXPECT_EQ(game.deck, sender.deck);
            EXPECT_EQ(game.table, sender.table);
            EXPECT_EQ(game.myHand, sender.opponentHand);
            EXPECT_EQ(game.opponentHand, sender.myHand);
            EXPECT_EQ(game.localDefends, 1 - defends);
            EXPECT_EQ(game.trumpSuit, 3);
            EXPECT_EQ(game.throwInPhase, throwIn);
        }
    }
}

TEST_F(StateMessage, TheLongestMessageFitsAndAnOverfullRecordIsCutNotOverrun) {
    for (unsigned suit = 0; suit < 4; ++suit)
        for (unsigned rank = 6; rank <= 14; ++rank)
            (suit % 2 ? game.deck : game.myHand).push_back(makeCard(rank, suit));
    EXPECT_EQ(std::strlen(encodeStateMessage().text), 91u);
    game.table = game.myHand; // more than the deck holds: never made by the game
    EXPECT_EQ(std::strlen(encodeStateMessage().text), maxStateMessageLength);
}

TEST_F(StateMessage, AcceptedOddities) {
    struct Row {
        const char* body;
        const char* deck;
        const char* table;
        const char* mine;
        std::uint8_t defends, trump, throwIn;
    } rows[] = {
        {"----000", "", "", "", 0, 0, 0},
        {"62a----113", "62", "", "", 1, 1, 0}, // a lone last character is ignored
        {"6-6---010", "", "", "", 0, 1, 0},    // a group of one character holds no card
        {"A2----012", "a2", "", "", 0, 1, 0},  // upper-case digits read as lower-case; only "1" sets throw-in
        {"---e3-13x", "", "", "e3", 1, 3, 0},  // the throw-in digit is never an error
        {"---e3-131", "", "", "e3", 1, 3, 1},  //
    };
    for (const Row& row : rows) {
        setKnownState();
        ASSERT_TRUE(decodeStateMessage(message(row.body).c_str())) << row.body;
        EXPECT_EQ(codes(game.deck), row.deck) << row.body;
        EXPECT_EQ(codes(game.table), row.table) << row.body;
        EXPECT_EQ(codes(game.myHand), row.mine) << row.body;
        EXPECT_EQ(game.localDefends, row.defends) << row.body;
        EXPECT_EQ(game.trumpSuit, row.trump) << row.body;
        EXPECT_EQ(game.throwInPhase, row.throwIn) << row.body;
        EXPECT_TRUE(game.selection.empty()) << "a replaced hand drops the pending choice";
        EXPECT_EQ(game.opponentContact, 5u);
        EXPECT_EQ(takeFrontendCalls(), Calls{}) << row.body;
    }
}

TEST_F(StateMessage, MalformedTextsAreRejectedWholeWithAtMostOneTraceBox) {
    struct Row {
        std::string body;
        bool traced;
    } rows[] = {
        {"72e0-91c1-63a2-b0--020", false}, // an extra dash: six pieces
        {"72e0-91c1-63a2-b0020", false},   // four pieces
        {"72e0-91c1-63a2-b0-02", false},   // two digits
        {"72e0-91c1-63a2-b0-0200", false}, // four digits
        {"", false},
        {"72e0-91c1-6za2-b0-020", true},  // a card code that is not hexadecimal
        {"zzzzzz-zz-zzzz-zz-zz0", true},  // many of them, still one box
        {"72e0-91c1-63a2-b0-z20", true},  // defender digit
        {"72e0-91c1-63a2-b0-0z0", true},  // trump digit
        {"52e0-91c1-63a2-b0-020", false}, // rank 5
        {"f2e0-91c1-63a2-b0-020", false}, // rank 15
        {"74e0-91c1-63a2-b0-020", false}, // suit 4
        {"7ae0-91c1-63a2-b0-020", false}, // suit 10
        {"72e0-91c1-63a2-b0-220", false}, // defender digit 2
        {"72e0-91c1-63a2-b0-040", false}, // trump digit 4
        {"72e0-91c1-63a2-72-020", false}, // the same card twice
        {"72e0-91c1-63a2-a2-020", false}, //
    };
    for (const Row& row : rows) {
        setKnownState();
        std::string before = snapshot();
        EXPECT_FALSE(decodeStateMessage(message(row.body).c_str())) << row.body;
        EXPECT_EQ(snapshot(), before) << row.body;
        EXPECT_EQ(takeFrontendCalls(), row.traced ? Calls{traceCall} : Calls{}) << row.body;
    }
}

TEST_F(StateMessage, MoreThanThirtySixCardsAreRejected) {
    std::string deck;
    for (unsigned suit = 0; suit < 4; ++suit)
        for (char rank : std::string("6789abcde"))
            deck += std::string(1, rank) + char('0' + suit);
    setKnownState();
    std::string before = snapshot();
    EXPECT_TRUE(decodeStateMessage(message(deck + "----000").c_str()));
    setKnownState();
    EXPECT_FALSE(decodeStateMessage(message(deck + "60----000").c_str()));
    EXPECT_EQ(snapshot(), before);
}

TEST_F(StateMessage, BodiesOverTheWorkingCopyAreRejectedUnread) {
    // 255 characters are read (the bad digits show one box); 256 are refused before reading.
    std::string body255 = std::string(248, 'z') + "----000";
    ASSERT_EQ(body255.size(), 255u);
    setKnownState();
    std::string before = snapshot();
    EXPECT_FALSE(decodeStateMessage(message(body255).c_str()));
    EXPECT_EQ(takeFrontendCalls(), Calls{traceCall});
    EXPECT_FALSE(decodeStateMessage(message("z" + body255).c_str()));
    EXPECT_EQ(takeFrontendCalls(), Calls{});
    EXPECT_FALSE(decodeStateMessage(message(std::string(100000, '-')).c_str()));
    EXPECT_EQ(snapshot(), before);
}

TEST_F(StateMessage, RecognitionNeedsTheExactMarkerAndSomethingAfterIt) {
    EXPECT_TRUE(isStateMessage("@@Kelvaron@@x"));
    EXPECT_FALSE(isStateMessage("@@Kelvaron@@"));
    EXPECT_FALSE(isStateMessage("@@kelvaron@@----000"));
    EXPECT_FALSE(isStateMessage("@@Kelvaron"));
    EXPECT_FALSE(isStateMessage(" @@Kelvaron@@----000"));
    EXPECT_FALSE(isStateMessage(""));
    EXPECT_FALSE(isStateMessage(nullptr));
}

TEST_F(StateMessage, HexToDecAndParseCardGroup) {
    const std::pair<char, int> digits[] = {{'0', 0}, {'9', 9}, {'a', 10}, {'f', 15}, {'A', 10}, {'F', 15}};
    for (auto [c, value] : digits)
        EXPECT_EQ(HexToDec(c), value) << c;
    EXPECT_EQ(takeFrontendCalls(), Calls{});
    EXPECT_EQ(HexToDec('g'), -1);
    EXPECT_EQ(HexToDec('-'), -1);
    EXPECT_EQ(takeFrontendCalls(), (Calls{traceCall, traceCall}));

    CardList list = cards("e3");
    parseCardGroup("", list);
    EXPECT_TRUE(list.empty());
    parseCardGroup("62a", list);
    EXPECT_EQ(codes(list), "62");
    parseCardGroup("91c1", list);
    EXPECT_EQ(codes(list), "91 c1");
}
