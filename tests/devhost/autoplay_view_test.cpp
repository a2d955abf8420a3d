// The auto-player's reading of state messages, its checks of the cards, its seeded policy and where
// it clicks, on the exe-side copy of the core that devhost_autoplay carries.
#include "devhost/autoplay_view.h"

#include "exchange/state_message.h"
#include "support/card_notation.h"

#include <gtest/gtest.h>

#include <map>

namespace {
// Two games are the same when their holders would send the same text: it carries every card in order
// and the three flags.
void expectSameGame(const GameState& actual, const GameState& expected) {
    EXPECT_EQ(stateMessageSentBy(actual), stateMessageSentBy(expected));
}

const GameView senderGames[] = {
    {"72 e1 61", "91 a1 b1", "60 d0 e0 83", "63 73 93", false, 2, false},
    {"72", "91", "a1 60", "63 73 93 e3", true, 2, false},
    {"", "93 a3", "60 70 90", "63", false, 3, true},
};

TEST(AutoplayView, ASentTextIsTheSendersOwnGameAndAReceivedOneTheGameFromTheOtherSide) {
    for (const GameView& table : senderGames) {
        GameState sender = gameStateOf(table);
        std::string text = stateMessageSentBy(sender);
        SCOPED_TRACE(text);
        GameState otherSide = sender;
        std::swap(otherSide.myHand, otherSide.opponentHand);
        otherSide.localDefends = !sender.localDefends;
        GameState view;
        ASSERT_TRUE(viewFromStateMessage(text, TextSource::Sent, view));
        expectSameGame(view, sender);
        ASSERT_TRUE(viewFromStateMessage(text, TextSource::Received, view));
        expectSameGame(view, otherSide);
    }
}

TEST(AutoplayView, TextsThatAreNoSoundStateLeaveTheViewAlone) {
    GameState view = gameStateOf(senderGames[0]);
    for (const char* text :
         {"hello", "@@Kelvaron@@", "@@Kelvaron@@zz-91-60-63-020", "@@Kelvaron@@-91-91-63-020",
          "@@Kelvaron@@-91-60-63-02", "@@kelvaron@@-91-60-63-020"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(viewFromStateMessage(text, TextSource::Received, view));
        expectSameGame(view, gameStateOf(senderGames[0]));
    }
}

struct FlowCase {
    const char* name;
    GameView next;
    const char* problem; // a part of the reported problem; "" for none
};

TEST(AutoplayView, CardsMayOnlyLeaveByTheBeatenOffTableAndNeverComeFromNowhere) {
    const GameView previous = {"61 71", "91 a1", "b1 c1", "d1", false, 1, false};
    const FlowCase cases[] = {
        {"unchanged", previous, ""},
        {"a card laid", {"61 71", "91 a1 c1", "b1", "d1", false, 1, false}, ""},
        {"beaten off and refilled", {"", "", "b1 c1 61", "d1 71", true, 1, false}, ""},
        {"taken", {"61 71", "", "b1 c1", "91 a1 d1", false, 1, false}, ""},
        {"a fresh deal",
         {"60 70 80 90 a0 b0 c0 d0 e0 61 71 81 c1 d1 e1 62 72 82 92 a2 b2 c2 d2 e2", "", "63 73 83 93 a3 b3",
          "c3 d3 e3 91 a1 b1", false, 0, false},
         ""},
        {"half the table gone", {"61 71", "a1", "b1 c1", "d1", false, 1, false}, "part of the table"},
        {"a hand card gone", {"61 71", "91 a1", "b1", "d1", false, 1, false}, "c1 left the game"},
        {"a stock card gone", {"61", "91 a1", "b1 c1", "d1", false, 1, false}, "71 left the game"},
        {"a card from nowhere",
         {"61 71", "91 a1", "b1 c1 e1", "d1", false, 1, false},
         "e1 came from nowhere"},
        {"a card twice", {"61 71", "91 a1", "b1 c1 91", "d1", false, 1, false}, "91 is there twice"},
    };
    GameState before = gameStateOf(previous);
    for (const FlowCase& flow : cases) {
        SCOPED_TRACE(flow.name);
        std::string problem = cardFlowProblem(&before, gameStateOf(flow.next));
        if (flow.problem[0] == '\0')
            EXPECT_EQ(problem, "");
        else
            EXPECT_NE(problem.find(flow.problem), std::string::npos) << problem;
    }
    GameState foreign = before;
    foreign.myHand.push_back(makeCard(5, 0));
    EXPECT_NE(cardFlowProblem(nullptr, foreign).find("not one of the 36"), std::string::npos);
    EXPECT_EQ(cardFlowProblem(nullptr, before), "");
}

std::vector<bool> allReachable(const GameState& view) { return std::vector<bool>(view.myHand.size(), true); }

// The games the policy is tried on: defending with and without a card that beats; attacking beside a
// covered pair, on an empty table, and with no card of a rank on the table; a throw-in from either
// side; an attacker waiting for the defender; a finished game.
const GameView policyGames[] = {
    {"72", "91", "a1 60 e2 63", "73 83", true, 2, false},
    {"72", "91", "60 81 63", "73 83", true, 2, false},
    {"72", "91 a1", "92 63 a3", "73 83", false, 2, false},
    {"72", "", "92 63 a3", "73 83", false, 2, false},
    {"72", "91 a1", "60 63", "73 83", false, 2, false},
    {"", "91 a1", "92 b2 63 a3", "73 83", false, 2, true},
    {"72", "91 a1", "60 63", "73 83", true, 2, true},
    {"72", "91", "60 63", "73 83", false, 2, false},
    {"", "", "", "73 83", false, 2, false},
};

TEST(AutoplayPolicy, ChoosesOnlyWhatTheRulesAcceptAndTheUserCanReach) {
    for (const GameView& table : policyGames) {
        GameState view = gameStateOf(table);
        SCOPED_TRACE(codes(view.table) + " / " + codes(view.myHand));
        for (std::uint32_t hidden = 0; hidden <= view.myHand.size(); ++hidden) {
            std::vector<bool> reachable = allReachable(view);
            if (hidden < reachable.size())
                reachable[hidden] = false;
            bool anyCard = false;
            for (std::uint32_t i = 0; i < view.myHand.size(); ++i)
                anyCard = anyCard || (reachable[i] && clickAcceptedIn(view, i));
            bool button = !buttonCaptionIn(view).empty() && outcomeOf(view) == InProgress;
            std::mt19937 random(hidden);
            for (int draw = 0; draw < 100; ++draw) {
                ThrowInPlan plan;
                Action action = chooseAction(view, reachable, random, plan);
                if (action.kind == ActionKind::ClickCard) {
                    EXPECT_TRUE(clickAcceptedIn(view, action.card)) << action.card;
                    EXPECT_TRUE(reachable[action.card]) << action.card;
                } else if (action.kind == ActionKind::PressButton) {
                    EXPECT_TRUE(button);
                } else {
                    EXPECT_FALSE(anyCard || button);
                }
            }
        }
    }
}

// How often the policy clicks each card of the hand, by index, and presses the button (the last count).
std::vector<int> choices(const GameState& view, int draws) {
    std::mt19937 random(1);
    std::vector<int> counts(view.myHand.size() + 1);
    for (int i = 0; i < draws; ++i) {
        ThrowInPlan plan;
        Action action = chooseAction(view, allReachable(view), random, plan);
        ++counts[action.kind == ActionKind::ClickCard ? action.card : view.myHand.size()];
    }
    return counts;
}

TEST(AutoplayPolicy, DefendersMostlyCoverAndAttackersMostlyLayWhileTheyMay) {
    constexpr int draws = 4000;
    // Against 91, a1 and the trump e2 beat; beside 91 a1, 92 and a3 may be laid, each about as often.
    std::vector<int> defending = choices(gameStateOf(policyGames[0]), draws);
    EXPECT_NEAR(defending[0] + defending[2], draws * coverProbability, draws * 0.03);
    std::vector<int> attacking = choices(gameStateOf(policyGames[2]), draws);
    EXPECT_NEAR(attacking[0] + attacking[2], draws * layProbability, draws * 0.03);
    EXPECT_GT(attacking[0], draws / 4);
    EXPECT_GT(attacking[2], draws / 4);
}

// Each of 92 and a3, which match the table (b2 and 63 do not), is chosen in about half the plans.
TEST(AutoplayPolicy, AThrowInChoosesEachThrowableCardByHalvesOneClickAStepThenConfirms) {
    GameState view = gameStateOf(policyGames[5]);
    std::mt19937 random(7);
    constexpr int plans = 2000;
    std::map<std::uint32_t, int> chosen;
    for (int n = 0; n < plans; ++n) {
        ThrowInPlan plan;
        std::vector<std::uint32_t> clicks;
        Action action;
        while ((action = chooseAction(view, allReachable(view), random, plan)).kind == ActionKind::ClickCard)
            clicks.push_back(action.card);
        ASSERT_EQ(action.kind, ActionKind::PressButton);
        ASSERT_LE(clicks.size(), 2u);
        if (clicks.size() == 2) {
            EXPECT_NE(clicks[0], clicks[1]);
        }
        for (std::uint32_t card : clicks) {
            EXPECT_TRUE(card == 0 || card == 3) << card;
            chosen[card]++;
        }
    }
    EXPECT_NEAR(chosen[0], plans * throwInProbability, plans * 0.05);
    EXPECT_NEAR(chosen[3], plans * throwInProbability, plans * 0.05);
}

TEST(AutoplayPolicy, AFinishedGameOffersANewOneButAWaitingAttackerHasNoMove) {
    EXPECT_TRUE(sideHasMove(gameStateOf(policyGames[8])));
    EXPECT_FALSE(sideHasMove(gameStateOf(policyGames[7])));
}

TEST(AutoplayPrediction, AChoiceSendsNothingAndTheConfirmationSendsTheGameThePlugInWillHold) {
    GameState view = gameStateOf(policyGames[5]);
    Prediction first = predictAction(view, {ActionKind::ClickCard, 3});
    EXPECT_TRUE(first.sent.empty());
    EXPECT_EQ(first.after.selection, std::vector<std::uint32_t>{3});
    Prediction again = predictAction(first.after, {ActionKind::ClickCard, 3});
    EXPECT_TRUE(again.after.selection.empty()) << "a second click takes the choice back";

    Prediction done = predictAction(first.after, {ActionKind::PressButton, 0});
    ASSERT_EQ(done.sent.size(), 1u);
    GameState mirrored;
    ASSERT_TRUE(viewFromStateMessage(done.sent[0], TextSource::Sent, mirrored));
    expectSameGame(mirrored, done.after);
    EXPECT_EQ(codes(done.after.opponentHand), "91 a1 73 83 a3");
}

TEST(AutoplayClicks, EveryCardOfAHandIsHitWhereTheUserSeesIt) {
    const CardMetrics metrics = cardMetricsForPicture(647, 388);
    for (ClientSize client : {ClientSize{624, 455}, ClientSize{300, 455}}) {
        for (std::size_t size = 1; size <= deckSize; ++size) {
            GameState view;
            view.myHand.assign(size, makeCard(6, 0));
            std::vector<Rect> rects = handRects(view, metrics, client);
            ASSERT_EQ(rects.size(), size);
            for (std::size_t i = 0; i < size; ++i) {
                SCOPED_TRACE("card " + std::to_string(i) + " of " + std::to_string(size) + " in " +
                             std::to_string(client.width));
                Point point;
                bool visible = visibleCardPoint(rects, i, point);
                if (client.width == 624) {
                    EXPECT_TRUE(visible);
                }
                if (!visible)
                    continue;
                // The window hit-tests from the last card down: the first rectangle found is the card hit.
                std::size_t hit = size;
                for (std::size_t j = size; j-- > 0 && hit == size;)
                    if (point.x >= rects[j].left && point.x < rects[j].right && point.y >= rects[j].top &&
                        point.y < rects[j].bottom)
                        hit = j;
                EXPECT_EQ(hit, i);
            }
        }
    }
    std::vector<Rect> stacked(3, Rect{6, 300, 78, 397});
    Point point;
    EXPECT_FALSE(visibleCardPoint(stacked, 0, point));
    EXPECT_FALSE(visibleCardPoint(stacked, 1, point));
    EXPECT_TRUE(visibleCardPoint(stacked, 2, point));
    EXPECT_FALSE(visibleCardPoint(stacked, 3, point));
}
} // namespace
