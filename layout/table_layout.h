// Where everything lies on the game table, and the status line: plain functions of the game record,
// the card picture's size and the client area, with no device context. Painting and hit testing
// both use them, and the native tests check them directly.
#pragma once

#include "engine/cards.h"
#include "engine/rules.h"

#include <cstdint>
#include <vector>

// Right and bottom lie one pixel beyond the drawn area, as in the platform's drawing calls.
struct Rect {
    std::int32_t left, top, right, bottom;
};
struct Point {
    std::int32_t x, y;
};

// One face of the card picture: 9 columns (ranks 6 to ace) by 4 rows (suits).
struct CardMetrics {
    std::int32_t width;  // picture width / 9 + 1
    std::int32_t height; // picture height / 4
};
struct ClientSize {
    std::int32_t width, height;
};

inline constexpr std::int32_t tableMargin = 6;
inline constexpr std::int32_t bottomStripOffset = 31; // the button and the status bubble start here
inline constexpr std::int32_t bottomStripHeight = 25;
inline constexpr std::int32_t bubbleCornerSize = 20;
// The own hand ends this far above the client area's bottom: 6 pixels above the status bubble.
inline constexpr std::int32_t handBottomGap = 37;

CardMetrics cardMetricsForPicture(std::uint32_t pictureWidth, std::uint32_t pictureHeight);

// The block of the picture that holds card's face, cut to the picture: where the ace column of a
// picture not 9 x width - 1 pixels wide reaches past its right edge, the face loses its last columns.
// False (nothing to copy) for a card outside the 36 or a face that lies wholly outside the picture.
bool cardFaceSource(Card card, CardMetrics metrics, std::uint32_t pictureWidth, std::uint32_t pictureHeight,
                    Rect& source);

// Distance between the left edges of neighbouring cards of a hand of n cards; never below 0.
std::int32_t handStep(std::size_t cards, CardMetrics metrics, ClientSize client);
// Appends one rectangle per card of myHand, in hand order.
void layoutHand(const GameState& game, std::vector<Rect>& rects, CardMetrics metrics, ClientSize client);
// The i-th face-down card of the opponent's hand.
Rect opponentCardRect(std::size_t index, std::size_t cards, CardMetrics metrics, ClientSize client);

Rect actionButtonRect(std::uint32_t pictureWidth, std::int32_t clientHeight);
Rect statusBubbleRect(CardMetrics metrics, ClientSize client);
Point trumpCardPosition(CardMetrics metrics, ClientSize client);
// The stock lies crosswise over the lower part of the trump card.
Rect stockRect(CardMetrics metrics, ClientSize client);

// Distance between neighbouring attack/cover pairs on the table; never below 0.
std::int32_t tablePairStep(std::size_t pairs, CardMetrics metrics, ClientSize client);
// The attacking card of pair k; its cover lies half a card to the right.
Point tablePairPosition(std::size_t pair, std::int32_t pairStep, CardMetrics metrics);

// The status line for the current game; null when the game is won (the blink shows the win message).
const char* statusLineText(const GameState& game);
// Lost and drawn games show the status bubble light grey.
bool statusBubbleGreyed(const GameState& game);
