// The local player's two inputs (a card click, the action button) and what keeps the window in step.
#pragma once

#include <cstdint>

// index: position in myHand of the clicked card. Refused moves change nothing and call nothing.
void onCardClicked(std::uint32_t index);
void onActionButton();
// Sets the button's caption and enabled state from the state.
void updateActionButton();
// Runs the win-blink timer exactly while the game is won.
void syncWinBlink();
