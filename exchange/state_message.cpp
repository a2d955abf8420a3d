// Encoding and decoding of the state message, and the small text tools the decoder uses.
#include "exchange/state_message.h"

#include <bitset>
#include <cstring>

namespace {
constexpr char groupEnd = '-';
constexpr std::size_t pieceCount = 5; // four card groups and the digits
constexpr std::size_t digitCount = 3;

// Appends one character, never past the longest message; a game holds at most the 36 cards, so
// nothing of a sound game is ever cut.
void appendChar(StateMessageText& message, std::size_t& length, char c) {
    if (length < maxStateMessageLength)
        message.text[length++] = c;
}

void appendGroup(StateMessageText& message, std::size_t& length, const CardList& cards) {
    for (Card card : cards) {
        CardCode code = cardCode(card);
        appendChar(message, length, code.text[0]);
        appendChar(message, length, code.text[1]);
    }
    appendChar(message, length, groupEnd);
}

// Every character that parseCardGroup and the first two digits will read is a hexadecimal digit.
bool allReadCharactersAreHex(const std::vector<char*>& pieces) {
    for (std::size_t group = 0; group + 1 < pieceCount; ++group) {
        std::size_t length = std::strlen(pieces[group]) / 2 * 2;
        for (std::size_t i = 0; i < length; ++i)
            if (HexToDec(pieces[group][i]) < 0)
                return false;
    }
    return HexToDec(pieces[4][0]) >= 0 && HexToDec(pieces[4][1]) >= 0;
}

// Each card one of the 36, none twice (which also bounds the total at 36).
bool cardsAreAPartOfOneDeck(const CardList* const groups[], std::size_t groupCount) {
    std::bitset<deckSize> seen;
    for (std::size_t g = 0; g < groupCount; ++g) {
        for (Card card : *groups[g]) {
            if (!isValidCard(card) || seen.test(cardIndex(card)))
                return false;
            seen.set(cardIndex(card));
        }
    }
    return true;
}
} // namespace

bool isStateMessage(const char* text) {
    return text != nullptr && std::strncmp(text, stateMarker, stateMarkerLength) == 0 &&
           text[stateMarkerLength] != '\0';
}

StateMessageText encodeStateMessage(const GameState& state) {
    StateMessageText message;
    std::size_t length = 0;
    for (char c : stateMarker)
        if (c != '\0')
            appendChar(message, length, c);
    appendGroup(message, length, state.deck);
    appendGroup(message, length, state.table);
    appendGroup(message, length, state.myHand);
    appendGroup(message, length, state.opponentHand);
    appendChar(message, length,
               state.localDefends ? '0' : '1'); // already inverted: does the receiver defend?
    appendChar(message, length, static_cast<char>('0' + state.trumpSuit % 10));
    appendChar(message, length, static_cast<char>('0' + state.throwInPhase % 10));
    message.text[length] = '\0';
    return message;
}

CardCode cardCode(Card card) {
    static const char hexDigits[] = "0123456789abcdef";
    return {{hexDigits[cardRank(card) & 0xf], static_cast<char>('0' + cardSuit(card) % 10), '\0'}};
}

DecodeResult readStateMessage(const char* text, GameState& into) {
    const char* body = text + stateMarkerLength;
    std::size_t bodyLength = std::strlen(body);
    if (bodyLength > maxStateBodyLength)
        return DecodeResult::Malformed;
    char work[maxStateBodyLength + 1];
    std::memcpy(work, body, bodyLength + 1);

    std::vector<char*> pieces;
    splitString(work, groupEnd, pieces);
    if (pieces.size() != pieceCount || std::strlen(pieces[4]) != digitCount)
        return DecodeResult::Malformed;
    if (!allReadCharactersAreHex(pieces))
        return DecodeResult::NotHexDigit;

    // Decoded into a scratch record; into changes only when every value is sound.
    GameState scratch;
    parseCardGroup(pieces[0], scratch.deck);
    parseCardGroup(pieces[1], scratch.table);
    parseCardGroup(pieces[2], scratch.opponentHand);
    parseCardGroup(pieces[3], scratch.myHand);
    int defends = HexToDec(pieces[4][0]);
    int trump = HexToDec(pieces[4][1]);
    const CardList* const groups[] = {&scratch.deck, &scratch.table, &scratch.opponentHand, &scratch.myHand};
    if (defends > 1 || trump >= static_cast<int>(suitCount) || !cardsAreAPartOfOneDeck(groups, 4))
        return DecodeResult::Malformed;

    into.deck = std::move(scratch.deck);
    into.table = std::move(scratch.table);
    into.opponentHand = std::move(scratch.opponentHand);
    into.myHand = std::move(scratch.myHand);
    into.localDefends = static_cast<std::uint8_t>(defends);
    into.trumpSuit = static_cast<std::uint8_t>(trump);
    into.throwInPhase = pieces[4][2] == '1';
    return DecodeResult::Accepted;
}

void adoptState(GameState& held, GameState&& received) {
    if (received.myHand != held.myHand)
        held.selection.clear(); // the indices meant cards of the hand just replaced
    held.deck = std::move(received.deck);
    held.table = std::move(received.table);
    held.opponentHand = std::move(received.opponentHand);
    held.myHand = std::move(received.myHand);
    held.localDefends = received.localDefends;
    held.trumpSuit = received.trumpSuit;
    held.throwInPhase = received.throwInPhase;
}

void splitString(char* text, char delimiter, std::vector<char*>& pieces) {
    char* start = text;
    for (char* found = std::strchr(start, delimiter); found; found = std::strchr(start, delimiter)) {
        *found = '\0';
        pieces.push_back(start);
        start = found + 1;
    }
    pieces.push_back(start);
}

void parseCardGroup(const char* group, CardList& cards) {
    cards.clear();
    std::size_t length = std::strlen(group);
    for (std::size_t i = 0; i + 1 < length; i += 2) {
        auto rank = static_cast<std::uint8_t>(HexToDec(group[i]));
        auto suit = static_cast<std::uint8_t>(HexToDec(group[i + 1]));
        cards.push_back(makeCard(rank, suit));
    }
}

int HexToDec(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}
