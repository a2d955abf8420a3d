// Two deals that cross on the way, played out between two copies of the core: whichever way the texts
// travel, once nothing is on its way both hold one game, and no late copy of the winning deal or of the
// winner's move undoes a move made since.
#include "engine/deal.h"
#include "exchange/exchange.h"
#include "exchange/show_and_send.h"
#include "exchange/state_message.h"
#include "stand_in/card_notation.h"
#include "stand_in/fake_frontend.h"
#include "stand_in/two_copies.h"

#include <gtest/gtest.h>

#include <deque>
#include <random>
#include <sstream>

namespace {
// The sides by the part they play: the winner's deals order before the loser's.
enum { Winner, Loser };

struct Crossing {
    Side sides[2];
    std::deque<std::string> toward[2];
    unsigned deals[2] = {};

    Crossing() {
        sides[Winner].self = 1;
        sides[Loser].self = 2;
        for (unsigned s : {Winner, Loser}) {
            sides[s].state.opponentContact = sides[1 - s].self;
            fakeWindow(sides[s].state).open = true;
        }
    }
    ~Crossing() {
        for (Side& side : sides)
            forgetFakeWindow(side.state);
    }
    void post(unsigned from) {
        for (const std::string& text : sentTexts(sides[from].state))
            toward[1 - from].push_back(text);
        takeCalls(sides[from].state);
    }
    // Shuffles whose trump cards, the first codes of the texts, order each winner's deal first: 6 of
    // suit 0 for the winner, king of suit 3 for the loser.
    void deal(unsigned side, bool defends) {
        const unsigned seeds[2][2] = {{16, 130}, {77, 13}};
        std::mt19937 random(seeds[side][deals[side]++ % 2]);
        std::vector<int> draws;
        for (unsigned i = 1; i < deckSize; ++i)
            draws.push_back(static_cast<int>(random() & 0x7fff));
        scriptRandom(draws);
        GameState& game = sides[side].state;
        fakeWindow(game).open = true; // the menu item opens a closed window first
        newGame(game, defends ? 1 : 0);
        post(side);
    }
    void deliver(unsigned to) {
        std::string text = toward[to].front();
        toward[to].pop_front();
        for (const std::string& answer : ::deliver(sides[1 - to], sides[to], text))
            toward[1 - to].push_back(answer);
        takeCalls(sides[to].state);
    }
    bool agree() const { return describe(sides[Loser].state) == describe(mirrored(sides[Winner].state)); }
};

// Each step names a side, W or L, then: "a" or "d" deals with that side attacking or defending, "m"
// makes its first possible move, "r" chooses the menu item again, "c" closes its window, ">" delivers
// the oldest text on its way to it and "x" loses it. "L=n": n answers are still awaited by the loser.
void play(Crossing& crossing, const GameView* start, const std::string& steps) {
    if (start) {
        crossing.sides[Winner].state = gameStateOf(*start);
        crossing.sides[Loser].state = mirrored(crossing.sides[Winner].state);
        for (unsigned s : {Winner, Loser})
            crossing.sides[s].state.opponentContact = crossing.sides[1 - s].self;
    }
    std::istringstream words(steps);
    for (std::string step; words >> step;) {
        unsigned side = step[0] == 'W' ? Winner : Loser;
        GameState& game = crossing.sides[side].state;
        switch (step[1]) {
        case 'a':
        case 'd':
            crossing.deal(side, step[1] == 'd');
            break;
        case 'm': {
            std::vector<std::uint32_t> moves = acceptedActions(game);
            ASSERT_FALSE(moves.empty()) << step << ": no move";
            runAction(game, moves[0]);
            crossing.post(side);
            break;
        }
        case 'r':
            resendGameTo(game, game.opponentContact);
            crossing.post(side);
            break;
        case 'c':
            emptyGameOnClose(game);
            fakeWindow(game).open = false;
            break;
        case '>':
        case 'x':
            ASSERT_FALSE(crossing.toward[side].empty()) << step << ": nothing on its way";
            if (step[1] == '>')
                crossing.deliver(side);
            else
                crossing.toward[side].pop_front();
            break;
        case '=':
            EXPECT_EQ(game.crossing.awaitedAnswers, std::stoul(step.substr(2))) << "at " << step;
            break;
        }
    }
}
} // namespace

TEST(Crossing, TheLoserAwaitsTheAnswersToItsDealAndKeepsItsMoves) {
    const GameView lastCard = {"", "", "60", "70 80"}; // the winner lays it and has won
    struct Row {
        const char* what;
        const char* steps; // then everything on its way is delivered, what goes to the loser first
        const GameView* start = nullptr; // the game both hold before the steps, as the winner sees it
    } rows[] = {
        {"one text on our deal, our card laid before its answer", "Ld Wd L> L=1 Lm W> L> L=0"},
        {"the answer without our card", "Ld Wd L> W> L> L=0"},
        {"two texts: our deal and our first card on it", "La Lm Wd L> L=2 Lm W> W> L> L> L=0"},
        {"three: a resend of our card too", "La Lm Lr Wd L> L=3 W> W> W> L> Lm L> L> L=0"},
        {"the answer carries the winner's card, which we covered", "Wa Wm Ld W> L> L> L=1 Lm L> L> L=0"},
        {"...and the winner's card laid between two answers", "La Lm Wa W> L> L=2 Wm L> W> L> L> L=0"},
        {"the winner's first deal lost: its answer stands in", "Wd Lx Ld W> L> L=1 Lm W> L=1"},
        {"a close ends the wait", "Ld Wd L> L=1 Lc L=0"},
        {"a new deal of ours ends it", "La Lm Wd L> L=2 Lc La L=0"},
        {"a fresh deal of the winner's ends it", "Ld Wd L> L=1 Wc Wa L> L=0"},
        // The last state of a game won meets the loser's new deal: it cannot be a first answer to it.
        {"a finished game's last state is no answer to a new deal", "Wm Lc Ld L> W>", &lastCard},
    };
    for (const Row& row : rows) {
        resetCore();
        Crossing crossing;
        play(crossing, row.start, row.steps);
        while (!crossing.toward[Winner].empty() || !crossing.toward[Loser].empty())
            crossing.deliver(crossing.toward[Loser].empty() ? Winner : Loser);
        EXPECT_TRUE(crossing.agree()) << row.what << "\n loser:  " << describe(crossing.sides[Loser].state)
                                      << "\n winner: " << describe(mirrored(crossing.sides[Winner].state));
    }
}
