// Colours of the window tests' card picture colour_cards.png (made by scripts/make_test_card_picture.py):
// every face is one flat colour of its own, so a screenshot tells which card was drawn where.
#pragma once

#include <cstdint>

// The one-pixel gap columns between faces (0x00BBGGRR, as the platform's colour values).
inline constexpr std::uint32_t colourCardGap = 0x00FF00FF;

// The face colour of a card, 0x00BBGGRR; rank 6..14 as the engine numbers it, suit 0..3.
// Red and blue follow the rank, green the suit; the greens keep clear of the program's greys.
inline constexpr std::uint32_t colourCardFace(unsigned rank, unsigned suit) {
    constexpr std::uint32_t suitGreens[4] = {10, 60, 180, 240};
    const std::uint32_t column = rank - 6;
    return (200 - 15 * column) << 16 | suitGreens[suit] << 8 | (40 + 20 * column);
}
