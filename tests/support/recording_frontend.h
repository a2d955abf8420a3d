// A recording stand-in for the game window, the host and the user, for tests of the portable core.
// Every call the core makes outward is logged as one short line, in order.
#pragma once

#include "engine/cards.h"

#include <string>
#include <vector>

// Lines: "button:<caption>:on" or ":off", "blink:start", "blink:stop", "redraw",
// "send:<contact>:<text>", "trace:<text>", "open", "flash".
extern std::vector<std::string> frontendCalls;
// Whether the fake game window exists, and whether openGameWindow() succeeds.
extern bool fakeWindowOpen;
extern bool fakeWindowOpens;
// Whether the fake window's win-blink timer runs; like the window, it logs only changes.
extern std::uint8_t winBlinkRunning;

// Returns the calls logged so far and starts a fresh log.
std::vector<std::string> takeFrontendCalls();
// The texts handed to sendTextToContact since the log was last taken, in order.
std::vector<std::string> sentTexts();

// A fresh process: empty game, no blink, no window, an empty log, the given scripted random values
// (then zeros), as after load.
void resetCore(std::vector<int> randomValues = {});
// A source whose every shuffle draw gives j = i, leaving the unshuffled deck as it is.
void scriptIdentityShuffle();
