// Reads the game window back from the screen and compares it with the game it should show, when the
// card picture is the colour test picture (every face one flat colour of its own).
#pragma once

#include "engine/cards.h"
#include "layout/table_layout.h"

#include <cstdint>
#include <string>
#include <vector>

inline constexpr std::uint32_t tableBackground = 0x7F7F7F;
inline constexpr std::uint32_t cardBackGreen = 0x007800;

// The client area of the game window, 0x00RRGGBB per pixel, captured in one transfer.
struct ClientCapture {
    std::int32_t width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
    std::uint32_t at(std::int32_t x, std::int32_t y) const;
};
ClientCapture captureClient();

// The card metrics of the 647 by 388 test picture.
CardMetrics testPictureMetrics();

// Empty when the window shows exactly this game (hands, stock and trump, table, status bubble, and,
// unless the window has not adopted a game yet, the button caption); otherwise what differs first.
std::string tableMismatch(const GameState& expected, bool buttonSet = true);
