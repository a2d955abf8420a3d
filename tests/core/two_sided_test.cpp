// Two copies of the core play 2,000 random games against each other through state messages delivered
// in random interleavings, every fourth begun by two deals that cross.
#include "core_test.h"

#include <random>

static std::mt19937 engineRandom;
static int seededRandom() { return static_cast<int>(engineRandom() & 0x7fff); }

// Each step delivers the oldest text of one direction or has a side make a move its own view allows,
// chosen at random, so that in a crossing either side may move before the other deal or the answers to
// its own have come. Besides what every step checks (TwoSides::step: only beaten-off cards leave, a
// delivery never parts two sides that agree): whenever nothing is on its way both hold one game and
// exactly one side may move; receiving answers only a crossing; every game ends, and both sides agree
// who won.
TEST(TwoSided, RandomGamesBetweenTwoCopiesStayConsistentAndEnd) {
    randomSource = seededRandom;
    const GameOutcome peerSees[] = {InProgress, Lost, Won, Draw};
    const unsigned games = 2000, stepLimit = 6000;
    for (unsigned seed = 1; seed <= games && !HasFailure(); ++seed) {
        engineRandom.seed(seed);
        std::mt19937 policy(seed * 7919u);
        TwoSides two;
        const bool crossed = seed % 4 == 0;
        for (unsigned dealer = 0; dealer <= unsigned(crossed); ++dealer)
            two.step(dealer, seededRandom() % 2 == 0 ? "d" : "a");
        for (unsigned step = 0;; ++step) {
            ASSERT_LT(step, stepLimit) << "the game did not end";
            std::vector<std::uint32_t> moves[2]; // none once the game is over
            for (unsigned s : {0, 1})
                if (gameOutcome(two.sides[s].state) == InProgress)
                    moves[s] = acceptedActions(two.sides[s].state);
            if (two.quiet()) {
                ASSERT_TRUE(two.agree()) << "the two sides hold different games";
                const GameOutcome outcome = gameOutcome(two.sides[0].state);
                if (outcome != InProgress) {
                    EXPECT_EQ(gameOutcome(two.sides[1].state), peerSees[outcome]);
                    break;
                }
                ASSERT_NE(moves[0].empty(), moves[1].empty()) << "stuck or both sides may move";
            }
            unsigned chosen = policy() % 4; // 0 and 1 deliver toward that side, 2 and 3 have side 0 or 1 move
            while (chosen < 2 ? two.toward[chosen].empty() : moves[chosen - 2].empty())
                chosen = policy() % 4;
            if (chosen < 2)
                EXPECT_TRUE(two.step(chosen, ">").empty() || crossed) << "receiving answers only a crossing";
            else
                two.step(chosen - 2,
                         "m" + std::to_string(moves[chosen - 2][policy() % moves[chosen - 2].size()]));
        }
    }
}
