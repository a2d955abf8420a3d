// What the core's tests share: the headers, the built deck, a scripted shuffle, a game's fake-window
// log as one short line, and two copies of the core with the texts on their way between them.
#pragma once

#include "engine/deal.h"
#include "engine/rules.h"
#include "engine/texts.h"
#include "exchange/exchange.h"
#include "exchange/show_and_send.h"
#include "layout/table_layout.h"
#include "stand_in/card_notation.h"
#include "stand_in/two_copies.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <map>
#include <sstream>

// The 36 cards in the order a deal builds them, suit-major, 6 to ace.
inline const std::string wholeDeck = "60 70 80 90 a0 b0 c0 d0 e0 61 71 81 91 a1 b1 c1 d1 e1 62 72 82 92 "
                                     "a2 b2 c2 d2 e2 63 73 83 93 a3 b3 c3 d3 e3";

// The state message that carries the game as it stands.
inline std::string textOf(const GameState& game) { return encodeStateMessage(game).text; }

// Scripts the next shuffle: every draw i gives j = i, which keeps the built order, but draw k gives
// drawn; 0 makes card k of the built deck the trump card, the first card of the deal's text.
inline void scriptShuffle(int k, int drawn = 0) {
    std::vector<int> draws;
    for (int i = 1; i < static_cast<int>(deckSize); ++i)
        draws.push_back(i == k ? drawn : i);
    scriptRandom(draws);
}

// The calls logged for game since the last look, joined by "; ". The button's captions read "new",
// "done", "beat off" and "take", and a text that carries the game as it stands now reads "send".
inline std::string takeLog(GameState& game) {
    const std::map<std::string, std::string> shorter = {
        {std::string("button:") + captionNewGame + ":on", "button:new"},
        {std::string("button:") + captionDone + ":on", "button:done"},
        {std::string("button:") + captionBeatOff + ":on", "button:beat off"},
        {std::string("button:") + captionTake + ":on", "button:take"},
        {"send:" + std::to_string(game.opponentContact) + ":" + textOf(game), "send"}};
    std::string line;
    for (const std::string& call : takeCalls(game))
        line += (line.empty() ? "" : "; ") + (shorter.count(call) ? shorter.at(call) : call);
    return line;
}

// Every card the game holds, in order of value.
inline std::string cardsHeld(const GameState& game) {
    CardList held = cards(codes(game.deck) + " " + codes(game.table) + " " + codes(game.myHand) + " " +
                          codes(game.opponentHand));
    std::sort(held.begin(), held.end());
    return codes(held);
}

// Two copies of the core, W (0) and L (1), and the texts on their way to each, oldest first. A side's
// window opens when it deals or a text first comes to it.
struct TwoSides {
    Side sides[2] = {{{}, 100}, {{}, 101}};
    std::deque<std::string> toward[2];

    ~TwoSides() { forgetFakeWindows(); }
    bool quiet() const { return toward[0].empty() && toward[1].empty(); }
    // Both hold one game; a throw-in choice is the chooser's own until it is confirmed.
    bool agree() const { return textOf(sides[1].state) == textOf(mirrored(sides[0].state)); }
    // Side s takes a step, and what it sends goes on its way: "a" or "d" deals with s attacking or
    // defending; "m" makes its first possible move, "m" and a number that action (see runAction); "r"
    // chooses the menu item again; "c" closes the window; ">" delivers the oldest text on its way to s,
    // "x" loses it. Returns what a delivery answered. A move only moves cards (but those beaten off), and
    // a delivery never parts two sides that agree.
    std::vector<std::string> step(unsigned s, const std::string& what) {
        GameState& game = sides[s].state;
        std::vector<std::string> answers;
        if (what == "a" || what == "d") {
            game.opponentContact = sides[1 - s].self; // the menu item opens the window for the other side
            fakeWindow(game).open = true;
            newGame(game, what == "d");
        } else if (what[0] == 'm') {
            const std::uint32_t action =
                what.size() > 1 ? std::stoul(what.substr(1)) : acceptedActions(game).at(0);
            GameState kept = game;
            if (action == game.myHand.size() && !game.localDefends && !game.throwInPhase)
                kept.table.clear(); // beaten off
            runAction(game, action);
            // Every deal and every state adopted holds each card once, and a move keeps it so.
            EXPECT_EQ(cardsHeld(game), cardsHeld(kept)) << "only beaten-off cards leave";
        } else if (what == "r") {
            resendGameTo(game, game.opponentContact);
        } else if (what == "c") {
            emptyGameOnClose(game);
            fakeWindow(game).open = false;
        } else {
            const std::string text = toward[s].at(0); // throws when nothing is on its way
            const bool agreed = agree();
            toward[s].pop_front();
            if (what != "x")
                answers = deliver(sides[1 - s], sides[s], text);
            EXPECT_TRUE(!agreed || agree()) << "a delivery parted two sides that agreed: " << text;
        }
        for (const std::string& text : sentTexts(game))
            toward[1 - s].push_back(text);
        takeCalls(game);
        return answers;
    }
};

// Runs the steps, each a side (W or L) and a step of it (see TwoSides::step), where a delivery ">" is
// followed by the number of texts it answers, when not none; "L=n": n answers are still awaited by L.
// W's deals (trump cards 60 and 70 in turn) order before L's (d3 and e3).
inline void play(TwoSides& two, const std::string& steps) {
    std::istringstream words(steps);
    unsigned deals[2] = {};
    for (std::string word, before; words >> word; before += word + " ") {
        const unsigned side = word[0] == 'W' ? 0 : 1;
        const unsigned long number = word[1] == '=' || word[1] == '>' ? std::stoul("0" + word.substr(2)) : 0;
        if (word[1] == 'a' || word[1] == 'd')
            scriptShuffle(34 * side + deals[side]++ % 2);
        if (word[1] == '=') {
            EXPECT_EQ(two.sides[side].state.crossing.awaitedAnswers, number)
                << "awaited at " << before << word;
        } else {
            const std::size_t answered = two.step(side, word[1] == '>' ? ">" : word.substr(1)).size();
            EXPECT_EQ(answered, number) << "texts answered at " << before << word;
        }
    }
}
