// Two deals that cross on the way, played out between two copies of the core, whichever way the texts
// travel.
#include "core_test.h"

// The side whose deal orders later adopts the other's and awaits an answer to each text it sent on its
// own; a side whose deal is unanswered drops a state that cannot be the first answer to it and sends
// its deal again, followed by its move. Once nothing is on its way both hold one game, and no late copy
// of the winning deal or of the winner's move undoes a move made since.
TEST(Crossing, TheLoserAwaitsTheAnswersToItsDealAndKeepsItsMoves) {
    // What, the steps (see play: "W>2" delivers to W a text it answers with two, "L=1" is one answer
    // still awaited by L; then everything on its way is delivered, what goes to L first) and the game
    // both hold before them, as W sees it.
    const char* const rows[][3] = {
        {"one text on our deal, our card laid before its answer", "Ld Wd L> L=1 Lm W>1 L> L=0", ""},
        {"the answer without our card", "Ld Wd L> W>1 L> L=0", ""},
        {"two texts: our deal and our first card on it", "La Lm Wd L> L=2 Lm W>1 W>1 L> L> L=0", ""},
        {"three: a resend of our card too", "La Lm Lr Wd L> L=3 W>1 W>1 W>1 L> Lm L> L> L=0", ""},
        {"the answer carries the winner's card, which we covered", "Wa Wm Ld W>2 L> L> L=1 Lm L> L> L=0", ""},
        {"...and the winner's card laid between two answers", "La Lm Wa W>1 L> L=2 Wm L> W>2 L> L> L=0", ""},
        {"the winner's first deal lost: its answer stands in", "Wd Lx Ld W>1 L> L=1 Lm W> L=1", ""},
        {"a close ends the wait", "Ld Wd L> L=1 Lc L=0", ""},
        {"a new deal of ours ends it", "La Lm Wd L> L=2 Lc La L=0", ""},
        {"a fresh deal of the winner's ends it", "Ld Wd L> L=1 Wc Wa L> L=0", ""},
        // The defender takes the one card laid on the deal: only the attacker draws, the last card.
        {"a first answer that drew one card is one", "La Lm W> W> Wm6 L>", ""},
        // The last state of a game won meets the loser's new deal: it cannot be a first answer to it.
        {"a finished game's last state is no answer to a new deal", "Wm Lc Ld L>1 W>", "||60|70 80|020"}};
    for (const auto& [what, steps, start] : rows) {
        resetCore();
        TwoSides two;
        adoptState(two.sides[0].state, gameFrom(start)); // the game to start from, and mirrored for L
        adoptState(two.sides[1].state, mirrored(gameFrom(start)));
        play(two, steps);
        while (!two.quiet())
            two.step(two.toward[1].empty() ? 0 : 1, ">");
        EXPECT_TRUE(two.agree()) << what << "\n L: " << describe(two.sides[1].state)
                                 << "\n W: " << describe(mirrored(two.sides[0].state));
    }
}
