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

// What the rules allow now, without changing anything: whether a click on the card at index would
// be accepted (laid, or chosen or unchosen for a throw-in), and the action button's caption (empty
// when the button does nothing).
bool cardClickAccepted(std::uint32_t index);
const char* actionButtonCaption();
