// The process-wide game record and the win-blink flag.
#include "engine/cards.h"

GameState game;
std::uint8_t winBlinkRunning = 0;
