// libFuzzer target: any received text either leaves the game exactly as it was or installs a sound
// state (the 36 cards at most once each, digits in range), with at most one "trace" box.
#include "exchange/state_message.h"
#include "support/recording_frontend.h"

#include <algorithm>
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
    game = GameState{};
    game.deck = {0x0106};
    game.selection = {0};
    game.opponentContact = 3;
    GameState before = game;
    frontendCalls.clear();
    bool accepted = decodeStateMessage(text.c_str());
    auto traceBoxes = std::count_if(frontendCalls.begin(), frontendCalls.end(),
                                    [](const std::string& call) { return call.rfind("trace:", 0) == 0; });
    if (traceBoxes > 1 || (accepted ? !sound(game) || game.opponentContact != 3 : !same(game, before)))
        std::abort();
    return 0;
}
