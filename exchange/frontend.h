// The seam between the portable core and the world outside it for a game: its window, its opponent and
// the user. The exchange calls them after each change of the game; the window and the plug-in call
// the window's own (redrawWindow, openGameWindow, gameWindowIsOpen, ...) too. The plug-in defines them
// for its one game (window/, plugin/); stand_in/ defines them as a fake that logs every call per game
// record, for the tests, the demo, the benchmarks and the development host's own copy of the core.
#pragma once

#include "engine/cards.h"

#include <cstdarg>
#include <cstddef>

// Writes the action button's caption; an empty caption means a disabled button.
void showActionButton(const GameState& game, const char* caption, bool enabled);
// Start and stop the win-blink timer (winBlinkTimerId, 100 ms) on the game's window. The window knows whether
// its timer runs: each call acts only when it changes that.
void startWinBlinkTimer(const GameState& game);
void stopWinBlinkTimer(const GameState& game);
// Repaints the whole table of the game's window in one transfer.
void redrawWindow(const GameState& game);

// Hands one text message to the host for delivery to the contact.
void sendTextToContact(const GameState& game, ContactHandle contact, const char* text);
// Formats printf-style into a text of at most traceTextSize bytes (longer results are cut), shows it
// in a message box captioned "trace" and waits until the user closes it.
inline constexpr std::size_t traceTextSize = 1024;
void showTraceBox(const GameState& game, const char* format, std::va_list args);

bool gameWindowIsOpen(const GameState& game);
// Opens the window for game.opponentContact; afterwards gameWindowIsOpen tells whether it worked.
void openGameWindow(const GameState& game);
// Flashes the game's window once when it is not the foreground window.
void flashGameWindowIfInBackground(const GameState& game);
