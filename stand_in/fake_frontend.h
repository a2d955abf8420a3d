// A fake window, host and user for each game record, standing in for the plug-in's, for the tests,
// the demo, the benchmarks and the development host's own copy of the core: every call the core makes
// outward for a record is logged as one short line, in order, with that record's fake window.
#pragma once

#include "engine/cards.h" // and so the integer types and vectors

#include <string>

struct FakeWindow {
    // "button:<caption>:on" or ":off", "blink:start", "blink:stop", "redraw", "send:<contact>:<text>",
    // "trace:<text>", "open", "flash".
    std::vector<std::string> calls;
    bool open = false; // whether the window exists
    bool opens = true; // whether openGameWindow succeeds
    // Whether the win-blink timer runs; like the real window, only a change of it is logged.
    std::uint8_t blinkRunning = 0;
};

// The fake window of a game record, made (closed, no blink, empty log) on its first use. Records
// are told apart by their address: a copy of a game has a window of its own.
FakeWindow& fakeWindow(const GameState& game);
// Forgets the window of one record (before the record goes, or to start it afresh), or of every one.
void forgetFakeWindow(const GameState& game);
void forgetFakeWindows();

// Returns the calls logged for the record so far and starts a fresh log.
std::vector<std::string> takeCalls(const GameState& game);
// The texts handed to sendTextToContact for the record since its log was last taken, in order.
std::vector<std::string> sentTexts(const GameState& game);

// The random source yields these values, then zeros.
void scriptRandom(std::vector<int> values);
// As after load: no fake windows, and the scripted random values (then zeros).
void resetCore(std::vector<int> randomValues = {});
