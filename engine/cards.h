// Card values, card lists and the game record every function of the core works on.
// Portable: no platform header; the window and the opponent are reached through frontend.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// rank (6..14, 11 jack .. 14 ace) in the low byte, suit (0..3) in the high byte.
using Card = std::uint16_t;
using CardList = std::vector<Card>;
using ContactHandle = std::uintptr_t;

inline constexpr std::uint8_t lowestRank = 6;
inline constexpr std::uint8_t aceRank = 14;
inline constexpr std::uint8_t suitCount = 4;
inline constexpr unsigned deckSize = 36;
inline constexpr unsigned fullHand = 6;
// Room for the text of a state message (at most 91 characters) and its end.
inline constexpr std::size_t dealTextCapacity = 96;

inline std::uint8_t cardRank(Card card) { return static_cast<std::uint8_t>(card & 0xff); }
inline std::uint8_t cardSuit(Card card) { return static_cast<std::uint8_t>(card >> 8); }
inline Card makeCard(unsigned rank, unsigned suit) { return static_cast<Card>(rank + 256 * suit); }

// True for the 36 values the engine produces; anything else came from a malformed message.
inline bool isValidCard(Card card) {
    return cardRank(card) >= lowestRank && cardRank(card) <= aceRank && cardSuit(card) < suitCount;
}

// Position 0..35 of a valid card in the unshuffled deck (suit-major), for sets of cards.
inline unsigned cardIndex(Card card) { return cardSuit(card) * 9u + (cardRank(card) - lowestRank); }

// What a side remembers so that two deals that cross on the way settle on one game on both sides,
// without a late copy of the winning deal or of the opponent's move undoing a move made since.
struct DealCrossing {
    // The text of the last deal this side sent (menu item or "new game"), empty when none, and whether
    // the opponent has answered it: a sound state of theirs adopted since.
    char ownDeal[dealTextCapacity] = {};
    bool ownDealAnswered = false;
    // Texts sent to the opponent from that deal on while it is unanswered. Should the opponent's deal
    // win the crossing, the opponent drops each of them and answers each with its deal again, followed
    // by its current state if it has moved.
    unsigned textsSentOnOwnDeal = 0;
    // The opponent's deal that won a crossing, and how many of those answers are still on their way.
    char winningDeal[dealTextCapacity] = {};
    unsigned awaitedAnswers = 0;
    // The last text of the opponent's that was adopted, and whether the text received just before was
    // an awaited answer: the opponent's state that may follow it was adopted already.
    char lastAdopted[dealTextCapacity] = {};
    bool answerJustArrived = false;
};

struct GameState {
    CardList deck;         // the stock; [0] is the face-up trump card, cards are drawn from the end
    CardList table;        // attack, cover, attack, cover, ...; odd size: the last attack is uncovered
    CardList myHand;       // kept in sortHand order
    CardList opponentHand; // known in full, drawn face down
    std::vector<std::uint32_t> selection; // indices into myHand chosen for a throw-in, in order of choice
    std::uint8_t trumpSuit = 0;
    std::uint8_t localDefends = 0; // 1: the local player defends this bout
    std::uint8_t throwInPhase = 0; // 1: the defender takes and the attacker may add cards
    ContactHandle opponentContact = 0;
    DealCrossing crossing;
};
