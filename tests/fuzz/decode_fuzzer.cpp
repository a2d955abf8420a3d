// libFuzzer target: reading any received text either leaves the record exactly as it was or installs
// a sound state (the 36 cards at most once each, digits in range) that adopting keeps with its opponent.
#include "exchange/state_message.h"

#include <bitset>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {
bool sound(const GameState& s) {
    std::bitset<deckSize> seen;
    for (const CardList* list : {&s.deck, &s.table, &s.myHand, &s.opponentHand})
        for (Card c : *list) {
            if (!isValidCard(c) || seen.test(cardIndex(c)))
                return false;
            seen.set(cardIndex(c));
        }
    return s.localDefends <= 1 && s.trumpSuit < suitCount && s.throwInPhase <= 1;
}

bool same(const GameState& a, const GameState& b) {
    return a.deck == b.deck && a.table == b.table && a.myHand == b.myHand &&
           a.opponentHand == b.opponentHand && a.selection == b.selection &&
           a.localDefends == b.localDefends && a.trumpSuit == b.trumpSuit &&
           a.throwInPhase == b.throwInPhase && a.opponentContact == b.opponentContact;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(stateMarker);
    text.append(reinterpret_cast<const char*>(data), size);
    if (!isStateMessage(text.c_str()))
        return 0;
    GameState game;
    game.deck = {0x0106};
    game.selection = {0};
    game.opponentContact = 3;
    GameState received = game;
    if (readStateMessage(text.c_str(), received) != DecodeResult::Accepted) {
        if (!same(received, game))
            std::abort();
        return 0;
    }
    adoptState(game, std::move(received));
    if (!sound(game) || game.opponentContact != 3)
        std::abort();
    return 0;
}
