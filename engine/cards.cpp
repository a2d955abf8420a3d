// The process-wide game record.
#include "engine/cards.h"

GameState game;
