// libFuzzer target: reading any received text either rejects it and leaves the record exactly as it was,
// or reads a state whose text, sent back and read again twice, comes back as the same state.
#include "exchange/state_message.h"

#include <cstdlib>
#include <string>
#include <tuple>

// Every field a reading may touch, and the opponent's contact, which it must not.
static auto fields(const GameState& s) {
    return std::tie(s.deck, s.table, s.myHand, s.opponentHand, s.selection, s.localDefends, s.trumpSuit,
                    s.throwInPhase, s.opponentContact);
}

// The reading back holds only a state whose cards are each one of the 36 and none twice and whose digits
// are in range; and reading changes nothing but the message's fields.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const GameState held = {{0x0106}, {}, {}, {}, {0}, 0, 0, 0, 3, {}}; // a card, a choice, a contact
    GameState read = held, back = held, again = held;
    const std::string text = stateMarker + std::string(reinterpret_cast<const char*>(data), size);
    const bool accepted = readStateMessage(text.c_str(), read) == DecodeResult::Accepted;
    // The text its receiver would send back reads as the opponent's view, and that one's as the receiver's.
    const bool readBack = readStateMessage(encodeStateMessage(read).text, back) == DecodeResult::Accepted &&
                          readStateMessage(encodeStateMessage(back).text, again) == DecodeResult::Accepted;
    if (accepted ? !readBack || fields(again) != fields(read) : fields(read) != fields(held))
        std::abort();
    return 0;
}
