// Card codes for tests, the demo and the development host.
#include "stand_in/card_notation.h"

#include "exchange/state_message.h"

#include <sstream>
#include <utility>

namespace {
unsigned digit(char c) { return c <= '9' ? c - '0' : c - 'a' + 10; }
} // namespace

Card card(const char* code) { return makeCard(digit(code[0]), digit(code[1])); }

CardList cards(const std::string& codes) {
    CardList list;
    std::istringstream words(codes);
    std::string word;
    while (words >> word)
        list.push_back(card(word.c_str()));
    return list;
}

std::string code(Card card) { return cardCode(card).text; }

std::string codes(const CardList& list) {
    std::string text;
    for (Card c : list) {
        if (!text.empty())
            text += ' ';
        text += cardCode(c).text;
    }
    return text;
}

GameState gameStateOf(const GameView& view) {
    GameState state;
    state.deck = cards(view.deck);
    state.table = cards(view.table);
    state.myHand = cards(view.mine);
    state.opponentHand = cards(view.theirs);
    state.localDefends = view.defends;
    state.trumpSuit = static_cast<std::uint8_t>(view.trump);
    state.throwInPhase = view.throwIn;
    return state;
}

std::ostream& operator<<(std::ostream& out, const GameView& view) {
    return out << "deck [" << view.deck << "] table [" << view.table << "] mine [" << view.mine
               << "] theirs [" << view.theirs << "] defends " << view.defends << " trump " << view.trump
               << " throw-in " << view.throwIn;
}

GameState mirrored(GameState state) {
    std::swap(state.myHand, state.opponentHand);
    state.localDefends = !state.localDefends;
    return state;
}

std::string describe(const GameState& state) {
    std::string text = codes(state.deck) + "|" + codes(state.table) + "|" + codes(state.myHand) + "|" +
                       codes(state.opponentHand) + "|" + std::to_string(state.localDefends) +
                       std::to_string(state.trumpSuit) + std::to_string(state.throwInPhase) + "|";
    for (std::uint32_t index : state.selection)
        text += (text.back() == '|' ? "" : " ") + std::to_string(index);
    return text;
}

// The other side holds the game mirrored, and sends it so.
std::string stateMessageFor(const GameView& view) {
    return encodeStateMessage(mirrored(gameStateOf(view))).text;
}
