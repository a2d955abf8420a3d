// Card codes for tests, the demo and the development host.
#include "stand_in/card_notation.h"

#include "exchange/state_message.h"

#include <sstream>
#include <utility>

Card card(const char* code) { return makeCard(HexToDec(code[0]), HexToDec(code[1])); }

CardList cards(const std::string& codes) {
    CardList list;
    std::istringstream words(codes);
    for (std::string word; words >> word;)
        list.push_back(card(word.c_str()));
    return list;
}

std::string code(Card card) { return cardCode(card).text; }

std::string codes(const CardList& list) {
    std::string text;
    for (Card c : list)
        text += (text.empty() ? "" : " ") + code(c);
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

GameState gameFrom(const std::string& line) {
    std::istringstream in(line);
    std::string part[5];
    for (std::string& text : part)
        std::getline(in, text, '|');
    part[4].resize(3, '0');
    return gameStateOf({part[0].c_str(), part[1].c_str(), part[2].c_str(), part[3].c_str(), part[4][0] == '1',
                        static_cast<unsigned>(part[4][1] - '0'), part[4][2] == '1'});
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
