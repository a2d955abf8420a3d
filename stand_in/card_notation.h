// Cards written as in the state message, rank as a hex digit, then the suit ("91", "e0"): for tests,
// the demo and the development host's output.
#pragma once

#include "engine/cards.h"

#include <string>

// One card from its two-character code.
Card card(const char* code);
// A list from codes separated by spaces: cards("72 e0").
CardList cards(const std::string& codes);
// The code of one card.
std::string code(Card card);
// The codes of a list, space-separated, for readable failure messages.
std::string codes(const CardList& list);
// A game as one side holds it, in card codes, for table-driven tests.
struct GameView {
    const char* deck;
    const char* table;
    const char* mine;
    const char* theirs;
    bool defends = false;
    std::uint8_t trump = 2;
    bool throwIn = false;
};
GameState gameStateOf(const GameView& view);
// The game that describe() wrote as line, its chosen indices left out: "72 e0|91|63 a2|b0|120".
GameState gameFrom(const std::string& line);
// The same game as the other side holds it: the hands exchanged, the other side defending.
GameState mirrored(GameState state);
// A whole game on one line, for comparing and for failure messages:
// "deck|table|mine|theirs|<defends><trump><throw-in>|<chosen indices>", e.g. "72 e0|91||b0|120|".
std::string describe(const GameState& state);
// The text that makes its receiver hold this game: the other side sends it, holding it mirrored.
std::string stateMessageFor(const GameView& view);
