// Plays one game between two copies of the engine, exchanging real state messages, and prints it
// move by move. Usage: self_play [seed]
#include "exchange/show_and_send.h"
#include "engine/deal.h"
#include "engine/rules.h"
#include "exchange/state_message.h"
#include "stand_in/card_notation.h"
#include "stand_in/fake_frontend.h"
#include "stand_in/two_copies.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>

namespace {
std::mt19937 generator;
int demoRandom() { return static_cast<int>(generator() & 0x7fff); }

const char* outcomeName(GameOutcome outcome) {
    switch (outcome) {
    case Won:
        return "won";
    case Lost:
        return "lost";
    case Draw:
        return "drew";
    default:
        return "plays on";
    }
}

// What an accepted action did, told from the state before it and the action.
void describe(char player, const GameState& before, std::uint32_t action) {
    if (action < before.myHand.size()) {
        std::string card = codes({before.myHand[action]});
        if (before.throwInPhase)
            std::printf("%c picks %s to throw in\n", player, card.c_str());
        else if (before.localDefends)
            std::printf("%c covers %s with %s\n", player, codes({before.table.back()}).c_str(), card.c_str());
        else
            std::printf("%c lays %s\n", player, card.c_str());
    } else if (before.throwInPhase) {
        std::printf("%c throws in; the defender takes the table\n", player);
    } else if (before.localDefends) {
        std::printf("%c takes the table [%s]\n", player, codes(before.table).c_str());
    } else {
        std::printf("%c beats off [%s] (stock %zu)\n", player, codes(before.table).c_str(),
                    before.deck.size());
    }
}
} // namespace

int main(int argc, char** argv) {
    unsigned seed = argc > 1 ? static_cast<unsigned>(std::strtoul(argv[1], nullptr, 10))
                             : static_cast<unsigned>(std::time(nullptr));
    generator.seed(seed);
    resetCore();
    randomSource = demoRandom;

    Side sides[2];
    sides[0].self = 1;
    sides[1].self = 2;
    const char names[2] = {'A', 'B'};
    GameState& first = sides[0].state;
    first.opponentContact = sides[1].self;
    fakeWindow(first).open = true;
    newGame(first, nextRandom15() % 2 == 0 ? 1 : 0);
    std::vector<std::string> sent = sentTexts(first);
    std::printf("Seed %u. Trump suit %u; A %s first.\n", seed, sides[0].state.trumpSuit,
                sides[0].state.localDefends ? "defends" : "attacks");
    std::printf("A holds %s\n", codes(sides[0].state.myHand).c_str());
    std::printf("B holds %s\n", codes(sides[0].state.opponentHand).c_str());

    unsigned mover = 0;
    for (unsigned moves = 1; moves < 5000; ++moves) {
        for (const std::string& text : sent) {
            std::printf("    %c -> %c  %s\n", names[mover], names[1 - mover], text.c_str());
            deliver(sides[mover], sides[1 - mover], text);
        }
        GameOutcome outcome = gameOutcome(sides[0].state);
        if (outcome != InProgress) {
            std::printf("Game over after %u moves: A %s, B %s.\n", moves, outcomeName(outcome),
                        outcomeName(gameOutcome(sides[1].state)));
            return 0;
        }
        std::vector<std::uint32_t> options = acceptedActions(sides[mover].state);
        if (options.empty()) {
            mover = 1 - mover;
            options = acceptedActions(sides[mover].state);
        }
        std::uint32_t action = options[generator() % options.size()];
        GameState before = sides[mover].state;
        runAction(sides[mover].state, action);
        sent = sentTexts(sides[mover].state);
        describe(names[mover], before, action);
    }
    std::printf("The game did not end.\n");
    return 1;
}
