// Reads the game window back from the screen, when the card picture is the colour test picture (every
// face one flat colour of its own): single pixels, and the whole table compared with a game.
#pragma once

#include "data/colour_cards.h"
#include "engine/cards.h"
#include "layout/table_layout.h"

#include <cstdint>
#include <string>
#include <vector>

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

// The card metrics of the 647 by 388 test picture.
inline const CardMetrics testMetrics = cardMetricsForPicture(647, 388);

std::uint32_t faceColour(Card card);
std::uint32_t faceColour(const char* code);
// The game window's client size, and where the cards of a hand lie in it.
ClientSize clientSize();
std::vector<Rect> myHandRects(const char* hand);
// A point inside the status bubble, clear of its rounded corners and of the centred text.
Point bubblePoint();

// Empty when the window shows exactly this game (hands, stock and trump, table, status bubble, and,
// unless the window has not adopted a game yet, the button caption); otherwise what differs first.
std::string tableMismatch(const GameState& expected, bool buttonSet = true);
