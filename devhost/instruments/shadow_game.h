// The plug-in's game followed on the host's own copy of the portable core: the copy is given every
// text the plug-in receives and every move made through shadowPlay, so it foretells what the plug-in
// must show and send; the referee compares the sent texts and the window, and each received text must
// leave in the messenger's logs exactly the chat entry of an ordinary text, or none, and the "trace"
// boxes the core shows; any other chat entry or message box is a fault.
// The core is the oracle here, so a fault the plug-in shares with it goes unseen: the core's own tests
// keep literal expected values for the rules and the message.
#pragma once

#include "devhost/instruments/referee.h"
#include "devhost/messenger/host.h"
#include "engine/cards.h"

#include <deque>
#include <random>
#include <string>

struct ShadowGame {
    GameState game; // as the plug-in must hold it; its fake window stands for the real one
    Referee* referee = nullptr;
    std::mt19937 random;
    std::deque<std::string> foretold; // texts the plug-in must send next, in order
    // Inside a receipt, a move or a menu choice a text that was not foretold is a fault, unless it is
    // the deal a press of "new game" or the menu item makes.
    bool watching = false;
    bool dealMayFollow = false;
    std::size_t chatsJudged = 0, boxesJudged = 0; // the entries of the messenger's logs judged so far
};

// The messenger's receive observer and send handler call these (done: the chain has returned).
void shadowReceipt(ShadowGame& shadow, const HostText& text, bool done);
void shadowSent(ShadowGame& shadow, HostWord contact, const std::string& text);
// Chooses the plug-in's menu item for the contact, as the messenger's contact menu does.
void shadowChooseMenuItem(ShadowGame& shadow, HostWord contact, std::size_t item);
// One move of the user's, chosen at random among those the rules allow, made through the real window:
// a click on the card's visible strip, or a press of the button. Returns the card's code or the
// button's caption (ANSI), or "" when the user has no move (the game over included).
std::string shadowPlay(ShadowGame& shadow);
// The referee compares the game window, if there is one, with the game.
void shadowCheckWindow(ShadowGame& shadow, const std::string& where);
