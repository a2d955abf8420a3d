// Reads the game window back from the screen and compares it with a game, at a few points of every
// part of the table, the faces as the card picture holds them. The auto-player checks each state it
// reads with it, and the window tests check what they made the plug-in draw. Colours are 0x00BBGGRR.
#pragma once

#include "engine/cards.h"
#include "layout/table_layout.h"
#include "window/game_window_constants.h"

#include <windows.h>

#include <cstdint>
#include <string>

// The game window's client size (0 by 0 without a window).
ClientSize gameClientSize();
// A copy of a device context's top left width by height pixels: a DIB section of that bit depth (24 or
// 32) whose rows lie top-down at *bits; null on any error.
HBITMAP screenCopy(HDC dc, LONG width, LONG height, WORD bitsPerPixel, void** bits);
// A point inside the status bubble, clear of its rounded corners and of the centred text.
Point bubblePoint(CardMetrics metrics);

// Empty when the game window shows this game: both hands (the chosen cards framed), the stock and the
// trump card, the table and the status bubble; otherwise the first difference, a point to compare that
// lies outside the client area among them. picturePath (ANSI) is the card picture the
// plug-in shows; it is read once and kept.
std::string tableMismatch(const std::string& picturePath, const GameState& expected);
