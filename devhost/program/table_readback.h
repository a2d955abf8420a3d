// Reads the game window back from the screen and compares it with a game, at a few points of every
// part of the table, the faces as the card picture holds them. The auto-player checks each state it
// reads with it, and the window tests check what they made the plug-in draw.
#pragma once

#include "engine/cards.h"
#include "layout/table_layout.h"

#include <cstdint>
#include <string>

// What the window paints besides the faces, 0x00RRGGBB.
inline constexpr std::uint32_t tableBackground = 0x7F7F7F;
inline constexpr std::uint32_t cardBackGreen = 0x007800;
inline constexpr std::uint32_t white = 0xFFFFFF;
inline constexpr std::uint32_t black = 0x000000;
inline constexpr std::uint32_t lightGrey = 0xC0C0C0;
inline constexpr std::uint32_t selectionBlue = 0x0000FF;
inline constexpr std::uint32_t blinkA = 0xFFBEBE;
inline constexpr std::uint32_t blinkB = 0xFFFF64;
inline constexpr unsigned blinkTimerId = 1268;

// The game window's client size (0 by 0 without a window).
ClientSize gameClientSize();
// A pixel of the game window's client area as 0x00RRGGBB, read back from the screen.
std::uint32_t clientPixel(int x, int y);
// A point inside the status bubble, clear of its rounded corners and of the centred text.
Point bubblePoint(CardMetrics metrics);

// Empty when the game window shows this game: both hands, the stock and the trump card, the table
// and the status bubble; otherwise the first difference. picturePath (ANSI) is the card picture the
// plug-in shows; it is read once and kept.
std::string tableMismatch(const std::string& picturePath, const GameState& expected);
