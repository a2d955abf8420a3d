// libFuzzer target: reading any received text either rejects it and leaves the record exactly as it was,
// or reads a state whose text, sent back and read again twice, comes back as the same state.
#include "exchange/state_message.h"

#include <cstdlib>
#include <string>

static bool same(const GameState& a, const GameState& b) {
    return a.deck == b.deck && a.table == b.table && a.myHand == b.myHand &&
           a.opponentHand == b.opponentHand && a.selection == b.selection &&
           a.localDefends == b.localDefends && a.trumpSuit == b.trumpSuit &&
           a.throwInPhase == b.throwInPhase && a.opponentContact == b.opponentContact;
}

// The reading back holds only a state whose cards are each one of the 36 and none twice and whose digits
// are in range; and reading changes nothing but the message's fields.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    GameState held;
    held.deck = {0x0106};
    held.selection = {0};
    held.opponentContact = 3;
    GameState read = held, back = held, again = held;
    const std::string text = stateMarker + std::string(reinterpret_cast<const char*>(data), size);
    const bool accepted = readStateMessage(text.c_str(), read) == DecodeResult::Accepted;
    // The text its receiver would send back reads as the opponent's view, and that one's as the receiver's.
    const bool readBack = readStateMessage(encodeStateMessage(read).text, back) == DecodeResult::Accepted &&
                          readStateMessage(encodeStateMessage(back).text, again) == DecodeResult::Accepted;
    if (accepted ? !readBack || !same(again, read) : !same(read, held))
        std::abort();
    return 0;
}
