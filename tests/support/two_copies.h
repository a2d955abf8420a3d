// Two copies of the portable core in one process, each with its own game, taking turns through the
// one process-wide state and exchanging real state messages, as two plug-ins would.
#pragma once

#include "engine/cards.h"

#include <cstdint>
#include <string>
#include <vector>

struct Side {
    GameState state;
    std::uint8_t blink = 0;
    bool windowOpen = false;
    ContactHandle self = 0; // how the other side knows this one
};

// Make a side's game the process-wide one, and store it back.
void enterSide(const Side& side);
void leaveSide(Side& side);

// An action: index 0..n-1 clicks that card of myHand, n presses the action button.
// Runs it on the entered side; true when the engine accepted it (anything was called).
bool runAction(std::uint32_t action);
// The actions the side's engine accepts now, found by trying each on a copy.
std::vector<std::uint32_t> acceptedActions(const Side& side);
// Delivers a text from sender to receiver through the receive path; returns what the receiver sent.
std::vector<std::string> deliver(const Side& sender, Side& receiver, const std::string& text);
