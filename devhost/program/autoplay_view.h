// The auto-player's own picture of the game and its decisions, as plain functions of a game record
// kept apart from the plug-in's. They run the rules of devhost.exe's own copy of the portable core.
#pragma once

#include "engine/cards.h"
#include "engine/rules.h"
#include "layout/table_layout.h"

#include <random>
#include <string>
#include <vector>

// Whose state message: the local plug-in's own (sent to the peer) or the peer's (received).
enum class TextSource { Sent, Received };

// Reads a state message as the local side sees the game: a received text as the core adopts it, a
// sent one mirrored back (hands exchanged, defender inverted). False, view unchanged, for a text
// that is not a sound state message.
bool viewFromStateMessage(const std::string& text, TextSource source, GameState& view);
// What the plug-in holding view does with a text the opponent sent: a sound state is adopted, or it
// belongs to a game that crossed the view's own unanswered deal and is dropped with an answer.
struct ReceiptForecast {
    bool sound = false;
    bool adopted = false;
    bool freshDeal = false;          // the text is a new deal
    std::vector<std::string> answer; // the texts sent back
};
ReceiptForecast forecastReceipt(const GameState& view, const std::string& text);

// True when the view offers this side any action (a card or the button), a finished game included.
bool sideHasMove(const GameState& view);

enum class ActionKind { None, ClickCard, PressButton };
struct Action {
    ActionKind kind = ActionKind::None;
    std::uint32_t card = 0; // index into myHand for ClickCard
};

// The throw-in cards the attacker chose at the start of a throw-in phase, clicked one per step.
struct ThrowInPlan {
    bool chosen = false;
    std::vector<std::uint32_t> cards;
    std::size_t next = 0;
};

inline constexpr double coverProbability = 0.8;
inline constexpr double layProbability = 0.7;
inline constexpr double throwInProbability = 0.5;

// The seeded policy's next action for a game in progress, among the actions the rules accept; None
// when this side has no move or the game is over. A defender covers with a random card that beats with
// coverProbability, else takes; an attacker lays a random allowed card with layProbability when the button
// also offers to beat off (always when it does not), else beats off; in the throw-in phase each throwable
// card is chosen with throwInProbability, one click a step, then the choice is confirmed.
Action chooseAction(const GameState& view, std::mt19937& random, ThrowInPlan& plan);
// What the action does, for the output line: "lays 91", "covers 91 with a1", "takes the table",
// "chooses 93 for a throw-in", "throws in", "beats off", "starts a new game".
std::string describeAction(const GameState& view, const Action& action);

// What the core does with the action on the view, selection included: the game after it and the
// texts it sends (none for a throw-in choice or a refused action).
struct Prediction {
    GameState after;
    std::vector<std::string> sent;
};
Prediction predictAction(const GameState& view, const Action& action);

// The deal the core makes from these values of rand(), as its dealer holds it. With tossesCoin the
// first value is the coin (even: the dealer defends), as from the menu item or after a drawn game;
// otherwise the dealer defends as given (after a won or lost game).
GameState dealFromRandomValues(const std::vector<int>& values, bool tossesCoin, std::uint8_t dealerDefends);

// A client point of a window that size on the card at index of the view's own hand, with the card
// picture the build ships: within the strip that the next card, which lies over it, leaves showing.
Point cardClickPoint(const GameState& view, std::size_t index, ClientSize client);
