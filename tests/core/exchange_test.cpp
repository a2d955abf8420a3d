// Receiving a state message: binding the opponent, opening or flashing the window, adopting; the rule
// by which two deals that cross on the way settle.
#include "core_test.h"

// Each row: whether the window is open (in a game with peer) and whether it would open, the sender,
// the text; then the sender's hand adopted and every call, joined.
TEST(Exchange, ReceivingAState) {
    const ContactHandle peer = 9;
    const std::string example = "@@Kelvaron@@72e0-91c1-63a2-b0-020"; // its receiver attacks, all covered
    const std::string rejected = "@@Kelvaron@@72e0-91c1-63a2-b0--020",
                      notHex = "@@Kelvaron@@72e0-91c1-6za2-b0zz-020",
                      trace = "trace:HexToDec() function error. Wrong character.";
    const std::tuple<bool, bool, ContactHandle, std::string, std::string, std::string> rows[] = {
        {0, 1, peer, example, "63 a2", "open; button:beat off; redraw"}, // a first state opens the window
        {0, 1, peer, rejected, "", "open; button:new"},                  // a rejected one on a new game
        {0, 0, peer, example, "", "open"},                               // it cannot open
        {1, 1, peer + 1, example, "", ""},                               // in a game no one else is heard
        {1, 1, peer, rejected, "", "flash"},
        {1, 1, peer, notHex, "", "flash; " + trace}, // one trace box for many characters
        {0, 1, peer, notHex, "", "open; " + trace + "; button:new"},
        {1, 1, peer, example, "63 a2", "flash; button:beat off; redraw"}, // nothing is sent back
        {1, 1, peer, "@@Kelvaron@@--6070--100", "60 70", "flash; button:new; redraw; blink:start"}}; // won
    for (const auto& [open, opens, sender, text, theirsAfter, log] : rows) {
        resetCore();
        GameState game;
        fakeWindow(game) = {{}, open, opens};
        game.opponentContact = open ? peer : 0;
        receiveStateMessage(game, sender, text.c_str());
        EXPECT_EQ(game.opponentContact, peer) << text;
        EXPECT_EQ(codes(game.opponentHand) + " / " + takeLog(game), theirsAfter + " / " + log) << text;
    }
}

// Two copies of the core (see play) deal; the last step delivers a state to a side whose deal waits for
// an answer: it adopts the state (and so its deal counts as answered) or keeps its game, and sends back
// nothing, its deal, or its deal and the move it made since.
TEST(Exchange, CrossedDealsSettleOnTheDealWhoseTextOrdersFirst) {
    enum Answer { Nothing, OurDeal, OurDealAndMove };
    const std::tuple<const char*, std::string, bool, Answer> rows[] = {
        {"the peer's deal orders first: it wins", "La Wa L>", true, Nothing},
        {"ours first: theirs dropped, ours sent again", "Wa La W>", false, OurDeal},
        {"...followed by the card we laid since", "Wa Wm La W>", false, OurDealAndMove},
        {"theirs first wins after our card too", "La Lm Wa L>", true, Nothing},
        {"the very same text is no crossing", "Wa W^ W>", true, Nothing},
        {"a move on our deal is adopted", "Ld W> Wm L>", true, Nothing},
        {"...and a first bout that drew one card", "Ld W> Wm Lx W+ L>", true, Nothing},
        {"a later state is no first answer to our deal", "Ld W> Wm Lx W+ Lx W+ L>", false, OurDeal},
        {"a move on a crossing deal is dropped", "La Wa Wm Lx L>", false, OurDeal},
        {"once answered, a later deal is adopted", "Wd L> Lm W> Lc La W>", true, Nothing},
        {"once answered, any move is adopted", "Wd L> Lm W> Lc La Lm Wx W>", true, Nothing},
        {"another contact is not answered", "La Wa L?", false, Nothing}};
    for (const auto& [what, steps, adopted, answer] : rows) {
        resetCore();
        TwoSides two;
        const std::string last = steps.substr(steps.rfind(' ') + 1);
        play(two, steps.substr(0, steps.rfind(' ')));
        const GameState& game = two.sides[last[0] == 'W' ? 0 : 1].state;
        const std::string held = describe(game), text = two.toward[last[0] == 'W' ? 0 : 1].front();
        const std::vector<std::string> answers = play(two, last);
        // Adopted: the game is the one the text carries; dropped: the game is as it was.
        const std::string now = adopted ? encodeStateMessage(mirrored(game)).text : describe(game);
        EXPECT_EQ(now, adopted ? text : held) << what;
        EXPECT_EQ(game.crossing.ownDealAnswered, adopted) << what;
        const std::vector<std::string> expected[] = {
            {}, {game.crossing.ownDeal}, {game.crossing.ownDeal, encodeStateMessage(game).text}};
        EXPECT_EQ(answers, expected[answer]) << what;
    }
}
