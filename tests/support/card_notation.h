// Cards written in tests as in the state message: rank as a hex digit, then the suit ("91", "e0").
#pragma once

#include "engine/cards.h"

#include <string>

// One card from its two-character code.
Card card(const char* code);
// A list from codes separated by spaces: cards("72 e0").
CardList cards(const std::string& codes);
// The codes of a list, space-separated, for readable failure messages.
std::string codes(const CardList& list);
// Sets the process-wide game's four lists from codes, and its two flags.
void setGame(const char* deck, const char* table, const char* mine, const char* theirs,
             std::uint8_t localDefends = 0, std::uint8_t throwInPhase = 0);
