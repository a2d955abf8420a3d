// The rules as tables: the deal, refilling, hand order, beating, the end of the game, the button's caption,
// the status line, and every input of the player with the exact calls that follow it.
#include "core_test.h"

// Games are written as describe() writes them: "deck|table|mine|theirs|<defends><trump><throw-in>|<chosen>".

TEST(Deal, NewGameShufflesDealsTheAttackerFirstAndAnnouncesItTheWinnerAttacksNext) {
    // Draw i gives j = i, which keeps the built order, except that draw 2 is 0 once cut to 15 bits: the
    // 6 and the 8 of suit 0 change places. The attacker, here the opponent, draws indices 30..35, then
    // the defender 24..29. A pending throw-in choice is dropped; a blink left from a won game stops
    // before the redraw.
    resetCore();
    scriptShuffle(2, 0x8000);
    GameState game;
    game.selection = {4, 5};
    fakeWindow(game).blinkRunning = 1;
    newGame(game, 1);
    EXPECT_EQ(describe(game), "80 70 60 90 a0 b0 c0 d0 e0 61 71 81 91 a1 b1 c1 d1 e1 62 72 82 92 a2 b2||"
                              "c2 d2 e2 63 73 83|93 a3 b3 c3 d3 e3|100|");
    EXPECT_EQ(takeLog(game), "button::off; blink:stop; redraw; send");

    // A finished game, the first random value (its parity the coin after a draw, ignored otherwise), and
    // whether the local player defends in the new game.
    const std::tuple<const char*, int, const char*> finished[] = {
        {"|||63 73|020", 0, "0"}, {"||63 73||020", 1, "1"}, {"||||020", 2, "1"}, {"||||020", 1, "0"}};
    for (const auto& [before, coin, defends] : finished) {
        resetCore({coin});
        game = gameFrom(before);
        onActionButton(game);
        EXPECT_EQ(std::to_string(game.localDefends) + ", stock " + std::to_string(game.deck.size()),
                  defends + std::string(", stock 24"))
            << before << ", coin " << coin;
    }
}

TEST(Deal, RefillHandsAndHandOrder) {
    // The attacker's and the defender's hand sizes and the stock's: what each hand draws and what stays in
    // the stock. Rows 1-3 fill both hands (row 3 from a stock just big enough), rows 4-6 the one not full;
    // in the rest the stock cannot fill both: the hands are equalised, the rest split, a part kept back
    // (the rows 0 0 n give the split of n). Regression, the last two rows: two empty hands beside one or
    // two stock cards left the attacker without a card and the game could never end.
    const std::string rows[] = {
        "0 0 36: 6 6 24", "2 4 20: 4 2 14", "2 4 6: 4 2 0", "6 3 5: 0 3 2", "8 2 3: 0 3 0",  "7 0 10: 0 6 4",
        "3 6 2: 2 0 0",   "4 5 1: 1 0 0",   "2 4 5: 3 1 1", "4 2 5: 1 3 1", "3 3 5: 2 1 2",  "1 5 3: 3 0 0",
        "5 4 1: 0 1 0",   "5 5 1: 0 0 1",   "3 3 2: 1 0 1", "3 3 3: 1 1 1", "3 3 4: 2 1 1",  "0 0 3: 1 1 1",
        "0 0 6: 3 1 2",   "0 0 7: 3 2 2",   "0 0 8: 4 2 2", "0 0 9: 4 2 3", "0 0 10: 5 2 3", "0 0 11: 5 3 3",
        "0 0 2: 1 1 0",   "0 0 1: 1 0 0"};
    auto refilled = [](GameState game) { return refillHands(game), game; };
    for (const std::string& row : rows) {
        unsigned a, d, n; // the attacker's (here the local player's), the defender's and the stock's
        std::istringstream(row) >> a >> d >> n;
        const auto start = gameFrom(wholeDeck.substr(3 * (a + d), 3 * n) + "||" + wholeDeck.substr(0, 3 * a) +
                                    "|" + wholeDeck.substr(3 * a, 3 * d) + "|020");
        // The same refill with the attacker's hand the opponent's.
        const GameState game = refilled(start), peer = refilled(mirrored(start));
        EXPECT_EQ(row.substr(0, row.find(':') + 2) + std::to_string(game.myHand.size() - a) + " " +
                      std::to_string(game.opponentHand.size() - d) + " " + std::to_string(game.deck.size()),
                  row);
        EXPECT_EQ(describe(mirrored(peer)), describe(game)) << row;
    }

    // The trump suit and a hand, sorted: the worked example; no trumps (suits 0, 1, 3); trumps only; two
    // cards; a card of no suit keeps to the end.
    const std::string hands[] = {"1: a1 60 e2 71 90 c3 > 60 90 e2 c3 71 a1", "2: e3 60 b1 71 > 60 71 b1 e3",
                                 "3: e3 63 b3 > 63 b3 e3", "0: e0 61 > 61 e0", "1: 64 a1 60 > 60 a1 64"};
    for (const std::string& row : hands) {
        CardList hand = cards(row.substr(3, row.find('>') - 3));
        sortHand(hand, static_cast<std::uint8_t>(row[0] - '0'));
        EXPECT_EQ(row.substr(0, row.find('>') + 2) + codes(hand), row);
    }
}

TEST(Rules, CanBeat) {
    // Table, card, whether it covers, with trump 2: nothing uncovered; every attack covered; any trump
    // over a plain card; the same suit higher, equal, lower; another plain suit, even an ace; trumps over
    // a trump; only the last card counts.
    const std::tuple<const char*, const char*, bool> rows[] = {
        {"", "e2", false},   {"91 a1", "e2", false}, {"91", "62", true},      {"91", "a1", true},
        {"91", "91", false}, {"91", "81", false},    {"91", "e0", false},     {"92", "a2", true},
        {"92", "82", false}, {"92", "e1", false},    {"60 70 91", "a1", true}};
    for (const auto& [table, card, covers] : rows)
        EXPECT_EQ(canBeat(gameFrom("|" + std::string(table) + "|||020"), ::card(card)), covers)
            << "table [" << table << "], card " << card;
}

// The outcome (the random games check that the peer sees the same end); the button's caption; the status
// line, null when won (the blink shows the win), its bubble greyed exactly when lost or drawn. A stock card
// keeps the game going whatever the hands; the phase does not count once a hand is empty; a last card that
// can still cover keeps it going, one that cannot, or an even table, ends it. "Ваш оппонент ходит." in
// Windows-1251: the opponent attacks next.
TEST(Rules, OutcomeCaptionAndStatusLine) {
    const std::tuple<const char*, GameOutcome, const char*, const char*> rows[] = {
        {"60|||71 81|020", InProgress, "", statusYourMove},
        {"||||020", Draw, captionNewGame, statusDraw},
        {"|||71 81|120", Won, captionNewGame, nullptr},
        {"||71 81||020", Lost, captionNewGame, statusLost},
        {"|91|63 73||121", Lost, captionNewGame, statusLost},
        {"|91||a1|020", InProgress, "", statusOpponentDefends},
        {"|91||81|020", Won, captionNewGame, nullptr},
        {"|91|a1||120", InProgress, captionTake, statusDefend},
        {"|91 a1|71||020", Lost, captionNewGame, statusLost},
        {"||71 61|81|020", InProgress, "", statusYourMove},
        {"72|91|63|60|021", InProgress, captionDone, statusChooseThrowIn},
        {"72|91|63|60|121", InProgress, "", statusWaitForThrowIn},
        {"72|91 a1|63|60|020", InProgress, captionBeatOff, statusYourMove},
        {"72|91|63|60|020", InProgress, "", statusOpponentDefends},
        {"72|91 a1 93|63|60|120", InProgress, captionTake, statusDefend},
        {"72|91 a1|63|60|120", InProgress, "",
         "\xc2\xe0\xf8 \xee\xef\xef\xee\xed\xe5\xed\xf2 \xf5\xee\xe4\xe8\xf2."},
        {"72||63|60|120", InProgress, "", statusOpponentAttacks}};
    for (const auto& [text, outcome, caption, status] : rows) {
        const GameState game = gameFrom(text);
        EXPECT_EQ(gameOutcome(game), outcome) << text;
        EXPECT_STREQ(actionButtonCaption(game), caption) << text;
        EXPECT_STREQ(statusLineText(game), status) << text;
        EXPECT_EQ(statusBubbleGreyed(game), outcome == Lost || outcome == Draw) << text;
    }
}

// Each row: a game, then the inputs in turn: a card index clicks that card, "B" presses the action button,
// "M" chooses the opponent's contact menu item and "M+" another contact's, a text received from the
// opponent, or "?" and one from another contact; then the game afterwards (nothing when unchanged) and
// every call that followed, where "send" carries the game as it stands afterwards. A game is held with
// the opponent in an open window; with no game ("") the window is closed, and "X" makes it fail to open.
TEST(Actions, InputsWithTheCallsThatFollow) {
    const std::string laid = "button::off; redraw; send",
                      chosenAndDone = "redraw; redraw; button::off; redraw; send";
    const std::string example = "@@Kelvaron@@72e0-91c1-63a2-b0-020", // its receiver attacks, all covered
        rejected = "@@Kelvaron@@72e0-91c1-63a2-b0--020", notHex = "@@Kelvaron@@72e0-91c1-6za2-b0zz-020";
    const std::string trace = "trace:HexToDec() function error. Wrong character.",
                      playing = "72|91|63|60|020";
    const std::string rows[][4] = {
        // Attack on an empty table; a cover; any rank on the table, the cover cards' too, beyond six pairs.
        {"72 e0||60 81 a1|63 73 83|020", "1", "72 e0|81|60 a1|63 73 83|020|", laid},
        {"72 e0|91|63 a1 62|73 83|120", "1", "72 e0|91 a1|63 62|73 83|120|", laid},
        {"d2|60 70 61 71 62 72 63 73 80 83 91 a1|a3 e0|b0|020", "0",
         "d2|60 70 61 71 62 72 63 73 80 83 91 a1 a3|e0|b0|020|", laid},
        // The card that empties the hand wins and starts the blink in the same action.
        {"||81|63 73|020", "0", "|81||63 73|020|", "button:new; redraw; blink:start; send"},
        // A throw-in choice toggles (not the ace: its rank is not on the table) and only redraws.
        {"72|91 a1|90 93 a3 e0|60|021", "3, 2, 0, 1, 0", "72|91 a1|90 93 a3 e0|60|021|2 1",
         "redraw; redraw; redraw; redraw"},
        // Beat off: the attacker equalises with d3 and takes b3 c3 in the split, the defender 61, e0 stays
        // back; the roles swap. Then with an empty stock.
        {"72 e0 61 b3 c3 d3|91 a1 93 a3|63 e2|73 83 b0|020", "B", "72 e0||63 b3 c3 d3 e2|b0 61 73 83|120|",
         laid},
        {"|91 a1|63 83|73|020", "B", "||63 83|73|120|", laid},
        // Take: the attacker's 10 matches the cover card, so the throw-in starts; with nothing to throw in
        // the table goes at once into the hand, then the attacker refills.
        {"72|91 a1 b1|63|a3 60|120", "B", "72|91 a1 b1|63|a3 60|121|", laid},
        {"72 e0 d0|91 a1 b1|63|83 60|120", "B", "72||91 a1 b1 63|60 d0 e0 83|120|", laid},
        // A confirmed throw-in moves exactly the chosen cards, in either order, and the table; with
        // nothing chosen the table alone, then both refill.
        {"|91 a1|60 90 70 80 a3 e3|b0|021", "1, 4, B", "||60 70 80 e3|90 b0 91 a1 a3|020|", chosenAndDone},
        {"|91 a1|60 90 70 80 a3 e3|b0|021", "4, 1, B", "||60 70 80 e3|90 b0 91 a1 a3|020|", chosenAndDone},
        {"72 e0 61|91 a1|60 90 70 80 83|b0|021", "B", "72||60 70 80 90 83|b0 e0 61 91 a1|020|", laid},
        // The menu item sends a running game again, to its opponent only; a finished one not at all.
        {playing, "M", "", "send"},
        {playing, "M+", "", ""},
        {"|||71|020", "M", "", ""},
        // A first state opens the window for its sender, even a rejected one, which shows the new game's
        // button; a window that cannot open takes nothing. One trace box for many wrong characters.
        {"", example, "72 e0|91 c1|b0|63 a2|020|", "open; button:beat off; redraw"},
        {"", rejected, "", "open; button:new"},
        {"", "X, " + example, "", "open"},
        {"", notHex, "", "open; " + trace + "; button:new"},
        // In a game no one else is heard; a state is adopted and shown, and nothing is sent back.
        {playing, "?" + example, "", ""},
        {playing, rejected, "", "flash"},
        {playing, notHex, "", "flash; " + trace},
        {playing, example, "72 e0|91 c1|b0|63 a2|020|", "flash; button:beat off; redraw"},
        {playing, "@@Kelvaron@@--6070--100", "|||60 70|100|", "flash; button:new; redraw; blink:start"},
        // A state that comes again keeps the throw-in choice; one with another hand drops it.
        {"72|91|90 93 e0|60|021", "1, 0, @@Kelvaron@@72-91-60-9093e0-021", "72|91|90 93 e0|60|021|1 0",
         "redraw; redraw; flash; button:done; redraw"},
        {"72|91|90 93 e0|60|021", "1, 0, @@Kelvaron@@72-91-6093-90e0-021", "72|91|90 e0|60 93|021|",
         "redraw; redraw; flash; button:done; redraw"},
        // Refused, changing and calling nothing: the defender's cards and button with nothing uncovered;
        // cards that cannot cover; the attacker's cards and button while a card lies uncovered; cards of a
        // rank not on the table; the defender's cards and button during a throw-in; a throw-in card of a
        // rank not on the table; indices just and far beyond the hand.
        {"72|91 a1|b1 e2|63|120", "0, 1, B", "", ""},
        {"72|91|81 e0|63|120", "0, 1", "", ""},
        {"72|91|93 e0|63|020", "0, 1, B", "", ""},
        {"72|91 a1|b3 e0|63|020", "0, 1", "", ""},
        {"72|91|93 e0|63|121", "0, 1, B", "", ""},
        {"72|91 a1|b3 93|63|021", "0", "", ""},
        {"72||93 e0|63|020", "2, 4294967295", "", ""}};
    for (const auto& [before, inputs, after, log] : rows) {
        resetCore();
        GameState game = gameFrom(before);
        const ContactHandle opponent = 7, another = 8;
        game.opponentContact = before.empty() ? 0 : opponent;
        fakeWindow(game).open = !before.empty();
        std::istringstream each(inputs);
        for (std::string input; std::getline(each >> std::ws, input, ',');) {
            if (input == "X")
                fakeWindow(game).opens = false;
            else if (input[0] == '@' || input[0] == '?')
                receiveStateMessage(game, input[0] == '?' ? another : opponent, &input[input[0] == '?']);
            else if (input[0] == 'M')
                resendGameTo(game, input == "M" ? opponent : another);
            else
                input == "B" ? onActionButton(game) : onCardClicked(game, std::stoul(input));
        }
        // The game, every call, and the opponent, bound by a first state.
        EXPECT_EQ(describe(game) + " / " + takeLog(game) + " / " + std::to_string(game.opponentContact),
                  (after.empty() ? describe(gameFrom(before)) : after) + " / " + log + " / 7")
            << before << " after " << inputs;
    }
}
