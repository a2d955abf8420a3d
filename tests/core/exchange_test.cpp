// Receiving a state message: binding the opponent, opening or flashing the window, adopting; two deals
// that cross on the way; a game sent again from the contact menu.
#include "exchange/exchange.h"
#include "exchange/show_and_send.h"
#include "engine/deal.h"
#include "engine/texts.h"
#include "exchange/state_message.h"
#include "stand_in/card_notation.h"
#include "stand_in/fake_frontend.h"

#include <gtest/gtest.h>

#include <random>

namespace {
using Texts = std::vector<std::string>;
constexpr ContactHandle peer = 9;

// A deal as its dealer holds it after sending it, from a seeded shuffle.
GameState dealt(unsigned seed, std::uint8_t dealerDefends) {
    std::mt19937 random(seed);
    std::vector<int> draws;
    for (unsigned i = 1; i < deckSize; ++i)
        draws.push_back(static_cast<int>(random() & 0x7fff));
    resetCore(draws);
    GameState game;
    game.opponentContact = peer;
    fakeWindow(game).open = true;
    newGame(game, dealerDefends);
    return game;
}

// The holder of state lays its first card, then draws cards from the stock; the text it sends.
std::string afterFirstCard(GameState& state, unsigned drawn = 0) {
    state.table.push_back(state.myHand.front());
    state.myHand.erase(state.myHand.begin());
    drawCards(state, state.myHand, drawn);
    return encodeStateMessage(state).text;
}
} // namespace

TEST(Exchange, ReceivingAState) {
    using Calls = std::vector<std::string>;
    const char example[] = "@@Kelvaron@@72e0-91c1-63a2-b0-020"; // its receiver attacks, all covered
    const char rejected[] = "@@Kelvaron@@72e0-91c1-63a2-b0--020";
    const char notHex[] = "@@Kelvaron@@72e0-91c1-6za2-b0zz-020";
    const char won[] = "@@Kelvaron@@--6070--100";
    const std::string trace = std::string("trace:") + hexDigitErrorText;
    const std::string beatOff = std::string("button:") + captionBeatOff + ":on";
    const std::string newGame = std::string("button:") + captionNewGame + ":on";
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
        {"a rejected one opens it on a new game", false, true, 9, rejected, "", {"open", newGame}},
        {"dropped when the window cannot open", false, false, 9, example, "", {"open"}},
        {"in a game another contact is not heard", true, true, 10, example, "", {}},
        {"the opponent's rejected state", true, true, 9, rejected, "", {"flash"}},
        {"one trace box for many non-hex characters", true, true, 9, notHex, "", {"flash", trace}},
        {"...before the button of a window it opened", false, true, 9, notHex, "", {"open", trace, newGame}},
        {"the opponent's state", true, true, 9, example, "63 a2", {"flash", beatOff, "redraw"}},
        // None of them sends anything back.
        {"won: the blink starts", true, true, 9, won, "60 70", {"flash", newGame, "redraw", "blink:start"}},
    };
    for (const Row& row : rows) {
        resetCore();
        GameState game;
        fakeWindow(game).open = row.windowOpen;
        fakeWindow(game).opens = row.windowOpens;
        game.opponentContact = row.windowOpen ? 9 : 0;
        receiveStateMessage(game, row.sender, row.text);
        EXPECT_EQ(game.opponentContact, 9u) << row.what;
        EXPECT_EQ(codes(game.opponentHand), row.theirsAfter) << row.what;
        EXPECT_EQ(takeCalls(game), row.calls) << row.what;
    }
}

TEST(Exchange, CrossedDealsSettleOnTheDealWhoseTextOrdersFirst) {
    // Our deals (we attack in one, defend in the other), and the peer's, which attacks in its own.
    const GameState oursAttacking = dealt(11, 0);
    const GameState oursDefending = dealt(11, 1);
    GameState peerDeals[2] = {dealt(3, 0), dealt(5, 0)};
    ASSERT_STRNE(peerDeals[0].crossing.ownDeal, peerDeals[1].crossing.ownDeal);
    enum Incoming {
        DealBefore,
        DealAfter,
        DealEqual,
        MoveOnOurs,
        OneDrawnOnOurs,
        TwoDrawnOnOurs,
        MoveOnAnother
    };
    enum Answer { Nothing, OurDeal, OurDealAndMove };
    struct Row {
        const char* what;
        bool weDefend;
        bool answered; // a state of the peer's adopted since our deal
        bool weMoved;  // our first card laid on our deal
        Incoming incoming;
        ContactHandle sender;
        bool adopted;
        Answer answer;
    } rows[] = {
        {"the peer's deal orders first: it wins", false, false, false, DealBefore, peer, true, Nothing},
        {"ours first: theirs dropped, ours sent again", false, false, false, DealAfter, peer, false, OurDeal},
        {"...followed by the card we laid since", false, false, true, DealAfter, peer, false, OurDealAndMove},
        {"theirs first wins after our card too", false, false, true, DealBefore, peer, true, Nothing},
        {"the very same text is no crossing", false, false, false, DealEqual, peer, true, Nothing},
        {"a move on our deal is adopted", true, false, false, MoveOnOurs, peer, true, Nothing},
        {"...and a first bout that drew one card", true, false, false, OneDrawnOnOurs, peer, true, Nothing},
        {"a later state is no first answer to our deal", true, false, false, TwoDrawnOnOurs, peer, false,
         OurDeal},
        {"a move on a crossing deal is dropped", false, false, false, MoveOnAnother, peer, false, OurDeal},
        {"once answered, a later deal is adopted", false, true, false, DealAfter, peer, true, Nothing},
        {"once answered, any move is adopted", false, true, false, MoveOnAnother, peer, true, Nothing},
        {"another contact is not answered", false, false, false, DealBefore, peer + 1, false, Nothing},
    };
    for (const Row& row : rows) {
        GameState ours = row.weDefend ? oursDefending : oursAttacking;
        const std::string ourDeal = ours.crossing.ownDeal;
        GameState peerDeal = peerDeals[peerDeals[0].crossing.ownDeal < ourDeal ? 0 : 1];
        GameState laterPeerDeal = peerDeals[peerDeals[0].crossing.ownDeal < ourDeal ? 1 : 0];
        ASSERT_NE(peerDeals[0].crossing.ownDeal < ourDeal, peerDeals[1].crossing.ownDeal < ourDeal)
            << "scripted deals";
        GameState peerOnOurs = mirrored(ours);
        std::string text = row.incoming == DealBefore       ? peerDeal.crossing.ownDeal
                           : row.incoming == DealAfter      ? laterPeerDeal.crossing.ownDeal
                           : row.incoming == DealEqual      ? ourDeal
                           : row.incoming == MoveOnOurs     ? afterFirstCard(peerOnOurs)
                           : row.incoming == OneDrawnOnOurs ? afterFirstCard(peerOnOurs, 1)
                           : row.incoming == TwoDrawnOnOurs ? afterFirstCard(peerOnOurs, 2)
                                                            : afterFirstCard(peerDeal);
        resetCore();
        GameState game = ours;
        fakeWindow(game).open = true;
        game.crossing.ownDealAnswered = row.answered;
        if (row.weMoved)
            onCardClicked(game, 0);
        std::string movedText = encodeStateMessage(game).text;
        GameState expected = game;
        ASSERT_EQ(readStateMessage(text.c_str(), expected), DecodeResult::Accepted);
        std::string before = describe(game);
        takeCalls(game);

        receiveStateMessage(game, row.sender, text.c_str());
        EXPECT_EQ(describe(game), row.adopted ? describe(expected) : before) << row.what;
        EXPECT_EQ(game.crossing.ownDealAnswered, row.answered || row.adopted) << row.what;
        Texts answer = row.answer == Nothing   ? Texts{}
                       : row.answer == OurDeal ? Texts{ourDeal}
                                               : Texts{ourDeal, movedText};
        EXPECT_EQ(sentTexts(game), answer) << row.what;
    }
}

TEST(Exchange, ClosingTheWindowForgetsTheDeal) {
    GameState game = dealt(11, 0);
    emptyGameOnClose(game);
    EXPECT_STREQ(game.crossing.ownDeal, "");
    EXPECT_EQ(describe(game),
              "||||" + std::to_string(game.localDefends) + std::to_string(game.trumpSuit) + "0|");
}

TEST(Exchange, TheGameIsSentAgainFromTheOpponentsMenuItemWhileItRuns) {
    const GameView running = {"72", "91", "63", "60"};
    const GameView finished = {"", "", "", "71"};
    struct Row {
        GameView view;
        ContactHandle chosen;
        bool sent;
    } rows[] = {{running, peer, true}, {running, peer + 1, false}, {finished, peer, false}};
    for (const Row& row : rows) {
        resetCore();
        GameState game = gameStateOf(row.view);
        game.opponentContact = peer;
        resendGameTo(game, row.chosen);
        EXPECT_EQ(sentTexts(game), row.sent ? Texts{encodeStateMessage(game).text} : Texts{})
            << row.view << " chosen " << row.chosen;
    }
}

TEST(Exchange, AStateSentAgainKeepsTheThrowInChoiceAndAnotherHandDropsIt) {
    const GameView choosing = {"72", "91", "90 93 e0", "60", false, 2, true};
    struct Row {
        const char* what;
        GameView received;
        const char* chosenAfter;
    } rows[] = {{"the same state", choosing, "1 0"},
                {"another hand", {"72", "91", "90 e0", "60 93", false, 2, true}, ""}};
    for (const Row& row : rows) {
        resetCore();
        GameState game = gameStateOf(choosing);
        game.opponentContact = peer;
        fakeWindow(game).open = true;
        onCardClicked(game, 1);
        onCardClicked(game, 0);
        receiveStateMessage(game, peer, stateMessageFor(row.received).c_str());
        std::string shown = describe(game);
        EXPECT_EQ(shown.substr(shown.rfind('|') + 1), row.chosenAfter) << row.what;
    }
}
