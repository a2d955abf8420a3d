// Two copies of the portable core in one process, each with its own game record and fake window,
// exchanging real state messages, as two plug-ins would.
#pragma once

#include "stand_in/fake_frontend.h"

// A side's record must stay where it is while it plays: its fake window is found by its address.
struct Side {
    GameState state;
    ContactHandle self = 0; // how the other side knows this one
};

// An action: index 0..n-1 clicks that card of myHand, n presses the action button. Runs it on the
// game; true when the engine accepted it (anything was called).
bool runAction(GameState& game, std::uint32_t action);
// The actions the engine accepts now in game, found by trying each on a copy.
std::vector<std::uint32_t> acceptedActions(const GameState& game);
// Delivers a text from sender to receiver through the receive path; returns what the receiver sent.
std::vector<std::string> deliver(const Side& sender, Side& receiver, const std::string& text);
