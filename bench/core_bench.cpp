// Speed of the portable core: encoding, decoding, and whole self-played games.
#include "exchange/show_and_send.h"
#include "engine/deal.h"
#include "engine/rules.h"
#include "exchange/state_message.h"
#include "stand_in/fake_frontend.h"

#include <benchmark/benchmark.h>

#include <random>

namespace {
std::mt19937 generator(1);
int benchRandom() { return static_cast<int>(generator() & 0x7fff); }

GameState freshGame() {
    resetCore();
    randomSource = benchRandom;
    GameState game;
    dealFreshGame(game, 0);
    return game;
}

void BM_Encode(benchmark::State& state) {
    GameState game = freshGame();
    for (auto _ : state)
        benchmark::DoNotOptimize(encodeStateMessage(game));
}
BENCHMARK(BM_Encode);

void BM_Decode(benchmark::State& state) {
    GameState game = freshGame();
    std::string text = encodeStateMessage(game).text;
    for (auto _ : state)
        benchmark::DoNotOptimize(readStateMessage(text.c_str(), game));
}
BENCHMARK(BM_Decode);

// One side plays both roles through the real actions, choosing the first accepted move each time;
// the state is mirrored through the message after every move, as the peer would see it.
void BM_SelfPlayedGame(benchmark::State& state) {
    for (auto _ : state) {
        GameState game = freshGame();
        FakeWindow& window = fakeWindow(game);
        window.open = true;
        unsigned moves = 0;
        while (gameOutcome(game) == InProgress && moves < 5000) {
            window.calls.clear();
            for (std::uint32_t i = 0; i < game.myHand.size() && window.calls.empty() && !game.throwInPhase;
                 ++i)
                onCardClicked(game, i);
            if (window.calls.empty())
                onActionButton(game);
            std::vector<std::string> sent = sentTexts(game);
            if (!sent.empty()) {
                readStateMessage(sent.back().c_str(), game); // hand over to the other player
            } else {
                std::swap(game.myHand, game.opponentHand); // nothing to do here: the other player moves
                game.localDefends ^= 1;
            }
            ++moves;
        }
        forgetFakeWindow(game);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SelfPlayedGame);
} // namespace

BENCHMARK_MAIN();
