// What the portable core asks of the world outside it: the game window, the opponent and the user.
// The Windows layers define these functions; the native tests define them to record every call.
#pragma once

#include "engine/cards.h"

#include <cstdarg>
#include <cstddef>

// Writes the action button's caption; an empty caption means a disabled button.
void showActionButton(const char* caption, bool enabled);
// Start and stop the win-blink timer (winBlinkTimerId, 100 ms) on the game window. The window knows whether
// its timer runs (winBlinkRunning): each call acts only when it changes that.
void startWinBlinkTimer();
void stopWinBlinkTimer();
// Repaints the whole table of the game window in one transfer.
void redrawWindow();

// Sends the whole game state to the opponent: the exchange layer encodes it and hands it to the host.
// The last step after every move that changes the game.
void sendStateToOpponent();
// The same for a new deal, which the exchange layer also remembers until the opponent answers it.
void sendDealToOpponent();
// Hands one text message to the host for delivery to the contact.
void sendTextToContact(ContactHandle contact, const char* text);
// Formats printf-style into a text of at most traceTextSize bytes (longer results are cut), shows it
// in a message box captioned "trace" and waits until the user closes it.
inline constexpr std::size_t traceTextSize = 1024;
void showTraceBox(const char* format, std::va_list args);

bool gameWindowIsOpen();
// Opens the game window for game.opponentContact; afterwards gameWindowIsOpen() tells whether it worked.
void openGameWindow();
// Flashes the game window once when it is not the foreground window.
void flashGameWindowIfInBackground();
