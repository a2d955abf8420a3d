// Card codes for tests, the demo and the development host.
#include "stand_in/card_notation.h"

#include "exchange/state_message.h"

#include <sstream>

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

GameState gameStateOf(const GameView& v) {
    return {cards(v.deck), cards(v.table), cards(v.mine), cards(v.theirs), std::vector<std::uint32_t>(),
            v.trump,       v.defends,      v.throwIn,     ContactHandle(), DealCrossing()};
}

GameState gameFrom(const std::string& line) {
    std::istringstream in(line + "||||000"); // a line of one list, or none, holds no flags: "000"
    std::string part[5];
    for (std::string& text : part)
        std::getline(in, text, '|');
    return gameStateOf({part[0].c_str(), part[1].c_str(), part[2].c_str(), part[3].c_str(), part[4][0] == '1',
                        static_cast<std::uint8_t>(part[4][1] - '0'), part[4][2] == '1'});
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
