// Whole games in the host against a copy of the core: the plug-in's side is played through real clicks
// on its cards and presses of its button, the opponent on the core, and after every move of either
// side the referee compares the window read back from the screen with the game the core predicts;
// every text the plug-in sends must be the one the core sends for the same move.
#include "plugin_fixture.h"

#include "devhost/instruments/referee.h"
#include "engine/actions.h"
#include "engine/rules.h"
#include "exchange/state_message.h"
#include "stand_in/fake_frontend.h"
#include "stand_in/two_copies.h"

#include <random>

namespace {
constexpr unsigned games = 5;
constexpr unsigned movesPerGameLimit = 400;

std::vector<std::string> sentSince(std::size_t before) {
    std::vector<std::string> texts;
    for (std::size_t i = before; i < hostSentTexts().size(); ++i)
        texts.push_back(hostSentTexts()[i].text);
    return texts;
}

// The plug-in's deal as it holds it: the opponent's reading of the text, mirrored back.
void takeDeal(Side& mine, Side& theirs, const std::string& deal) {
    deliver(mine, theirs, deal);
    GameState read;
    ASSERT_EQ(readStateMessage(deal.c_str(), read), DecodeResult::Accepted) << deal;
    mine.state = mirrored(read);
    mine.state.opponentContact = theirs.self;
    fakeWindow(mine.state).open = true;
}

// A click on the strip of the card that later cards leave showing, or a press of the button.
void actInWindow(const GameState& mine, std::uint32_t action) {
    if (action >= mine.myHand.size()) {
        ASSERT_TRUE(hostPressActionButton());
        return;
    }
    std::vector<Rect> hand;
    layoutHand(mine, hand, testMetrics, gameClientSize());
    ASSERT_TRUE(hostClickGameWindow(hand[action].left + 1, hand[action].top + testMetrics.height / 2));
}
} // namespace

TEST_F(PluginTest, EveryMoveShowsThePredictedGame) {
    Referee referee([](const std::string& fault) { ADD_FAILURE() << fault; });
    loadPlugin();
    resetCore();
    Side mine, theirs;
    mine.self = alice; // how the plug-in's opponent hears it
    theirs.self = alice;
    std::mt19937 random(7);
    auto pick = [&](const std::vector<std::uint32_t>& actions) {
        return actions[std::uniform_int_distribution<std::size_t>(0, actions.size() - 1)(random)];
    };

    choosePlayGame(alice);
    ASSERT_EQ(hostSentTexts().size(), 1u);
    takeDeal(mine, theirs, hostSentTexts()[0].text);
    unsigned moves = 0;
    for (unsigned game = 1; game <= games && !referee.failed(); ++game) {
        referee.checkWindow(cardPicturePath, mine.state, "the deal of game " + std::to_string(game));
        for (unsigned move = 0; gameOutcome(mine.state) == InProgress && !referee.failed(); ++move, ++moves) {
            ASSERT_LT(move, movesPerGameLimit) << "game " << game << " does not end";
            std::vector<std::uint32_t> own = acceptedActions(mine);
            std::size_t before = hostSentTexts().size();
            std::string where = "game " + std::to_string(game) + " move " + std::to_string(move);
            if (!own.empty()) {
                std::uint32_t action = pick(own);
                GameState held = mine.state;
                runAction(mine.state, action);
                actInWindow(held, action);
                std::vector<std::string> predicted = sentTexts(mine.state);
                EXPECT_EQ(sentSince(before), predicted) << where << ": the plug-in's texts";
                for (const std::string& text : predicted)
                    deliver(mine, theirs, text);
            } else {
                std::vector<std::uint32_t> other = acceptedActions(theirs);
                ASSERT_FALSE(other.empty()) << where << ": nobody can move";
                runAction(theirs.state, pick(other));
                for (const std::string& text : sentTexts(theirs.state)) {
                    hostReceiveText(alice, text.c_str());
                    deliver(theirs, mine, text);
                }
                EXPECT_EQ(sentSince(before), std::vector<std::string>{}) << where << ": the plug-in answered";
            }
            referee.checkWindow(cardPicturePath, mine.state, where);
        }
        // The next deal is the plug-in's: its shuffle is its own, so the core takes it as it comes.
        std::size_t before = hostSentTexts().size();
        ASSERT_TRUE(hostPressActionButton());
        ASSERT_EQ(hostSentTexts().size(), before + 1) << "the button dealt nothing after game " << game;
        takeDeal(mine, theirs, hostSentTexts().back().text);
    }
    EXPECT_GT(moves, games * 10) << "too few moves to tell anything";
    forgetFakeWindows();
}
