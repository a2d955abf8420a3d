// The state message: one ASCII line that carries the whole game between the two copies of the plug-in.
// "@@Kelvaron@@", the deck, table, sender's hand and receiver's hand as dash-terminated groups of
// two-character card codes, then the defender, trump and throw-in digits.
#pragma once

#include "engine/cards.h"

#include <vector>

inline constexpr char stateMarker[] = "@@Kelvaron@@";
inline constexpr std::size_t stateMarkerLength = sizeof(stateMarker) - 1;
// The longest state message: the marker, all 36 cards, four group ends and three digits.
inline constexpr std::size_t maxStateMessageLength = stateMarkerLength + 2 * deckSize + 4 + 3;
// The decoder's working copy of the text after the marker holds at most this many characters.
inline constexpr std::size_t maxStateBodyLength = 255;
inline constexpr char hexDigitErrorText[] = "HexToDec() function error. Wrong character.";

// True for a text longer than the marker that starts with it (case-sensitive).
bool isStateMessage(const char* text);
// A state message as the sender writes it, NUL-terminated.
struct StateMessageText {
    char text[maxStateMessageLength + 1];
};
static_assert(sizeof(StateMessageText::text) <= dealTextCapacity, "a deal's text fits the game record");
StateMessageText encodeStateMessage(const GameState& state);
// The two characters that stand for a card in the message: the rank as a hexadecimal digit, then the
// suit digit ("e0" is the ace of suit 0).
struct CardCode {
    char text[3];
};
CardCode cardCode(Card card);

// What reading a state message found. A character that is not a hexadecimal digit where one is read
// is told apart: the receiver shows one "trace" box for it.
enum class DecodeResult { Accepted, Malformed, NotHexDigit };
// Reads a state message as its receiver sees it (hands exchanged) into the stock, table, hands and
// the three flags of into when the whole of it is valid; otherwise into is left as it was.
DecodeResult readStateMessage(const char* text, GameState& into);
// Replaces the game of held with the one read into received. The throw-in choice stays only while the
// hand it indexes stays the same, so a state sent again changes nothing the receiver shows.
void adoptState(GameState& held, GameState&& received);

// Cuts text at every delimiter (overwritten with NUL) and appends the pieces, which point into text.
void splitString(char* text, char delimiter, std::vector<char*>& pieces);
// Clears cards and fills it from consecutive two-character codes; a lone last character is ignored.
void parseCardGroup(const char* group, CardList& cards);
// The value of one hexadecimal digit, or -1 for any other character.
int HexToDec(char digit);
