// Speed of the portable core: encoding, decoding, and whole self-played games.
#include "engine/actions.h"
#include "engine/deal.h"
#include "engine/rules.h"
#include "exchange/state_message.h"
#include "support/recording_frontend.h"

#include <benchmark/benchmark.h>

#include <random>

namespace {
std::mt19937 generator(1);
int benchRandom() { return static_cast<int>(generator() & 0x7fff); }

void dealFreshGame() {
    resetCore();
    randomSource = benchRandom;
    fakeWindowOpen = true;
    newGame(0);
}

void BM_Encode(benchmark::State& state) {
    dealFreshGame();
    for (auto _ : state)
        benchmark::DoNotOptimize(encodeStateMessage());
}
BENCHMARK(BM_Encode);

void BM_Decode(benchmark::State& state) {
    dealFreshGame();
    std::string text = encodeStateMessage().text;
    for (auto _ : state)
        benchmark::DoNotOptimize(decodeStateMessage(text.c_str()));
}
BENCHMARK(BM_Decode);

// One side plays both roles through the real actions, choosing the first accepted move each time;
// the state is mirrored through the message after every move, as the peer would see it.
void BM_SelfPlayedGame(benchmark::State& state) {
    for (auto _ : state) {
        dealFreshGame();
        unsigned moves = 0;
        while (gameOutcome() == InProgress && moves < 5000) {
            frontendCalls.clear();
            for (std::uint32_t i = 0; i < game.myHand.size() && frontendCalls.empty() && !game.throwInPhase;
                 ++i)
                onCardClicked(i);
            if (frontendCalls.empty())
                onActionButton();
            std::vector<std::string> sent = sentTexts();
            if (!sent.empty()) {
                decodeStateMessage(sent.back().c_str()); // hand over to the other player
            } else {
                std::swap(game.myHand, game.opponentHand); // nothing to do here: the other player moves
                game.localDefends ^= 1;
            }
            ++moves;
        }
        frontendCalls.clear();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SelfPlayedGame);
} // namespace

BENCHMARK_MAIN();
