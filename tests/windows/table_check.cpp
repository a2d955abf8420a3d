// Reading the game window back and comparing it with a game.
#include "table_check.h"

#include "engine/actions.h"
#include "engine/rules.h"
#include "plugin_fixture.h"
#include "support/card_notation.h"

#include <windows.h>

#include <sstream>

namespace {
// Collects the first difference between the screen and what is expected at a point.
struct Checker {
    ClientSize client = clientSize();
    std::ostringstream why;
    bool same = true;
    void expect(std::int32_t x, std::int32_t y, std::uint32_t colour, const std::string& what) {
        if (!same || x < 0 || y < 0 || x >= client.width || y >= client.height)
            return; // outside the client area: nothing to see
        std::uint32_t seen = clientPixel(x, y);
        if (seen != colour) {
            why << what << " at (" << x << ", " << y << "): expected " << std::hex << colour << ", got "
                << seen;
            same = false;
        }
    }
};
} // namespace

std::uint32_t faceColour(Card card) { return colourCardFace(cardRank(card), cardSuit(card)); }
std::uint32_t faceColour(const char* code) { return faceColour(card(code)); }

ClientSize clientSize() {
    RECT client;
    GetClientRect(gameWindowHandle(), &client);
    return {client.right, client.bottom};
}

std::vector<Rect> myHandRects(const char* hand) {
    GameState saved = game;
    game.myHand = cards(hand);
    std::vector<Rect> rects;
    layoutHand(rects, testMetrics, clientSize());
    game = saved;
    return rects;
}

Point bubblePoint() {
    Rect bubble = statusBubbleRect(testMetrics, clientSize());
    return {bubble.left + 20, bubble.top + 12};
}

std::string tableMismatch(const GameState& expected, bool buttonSet) {
    GameState saved = game;
    game = expected;
    Checker check;
    const CardMetrics& metrics = testMetrics;
    ClientSize client = check.client;

    std::vector<Rect> hand;
    layoutHand(hand, metrics, client);
    for (std::size_t i = 0; i < hand.size(); ++i)
        check.expect(hand[i].left + 2, hand[i].top + 40, faceColour(game.myHand[i]),
                     "own card " + codes({game.myHand[i]}));
    std::int32_t handTop = client.height - metrics.height - 37;
    check.expect(hand.empty() ? tableMargin + 2 : hand.back().right + 1, handTop + 40, tableBackground,
                 "right of the own hand");

    std::size_t backs = game.opponentHand.size();
    for (std::size_t i = 0; i < backs; ++i) {
        Rect back = opponentCardRect(i, backs, metrics, client);
        check.expect(back.left + 2, back.top + 40, cardBackGreen, "opponent's card " + std::to_string(i));
    }
    std::int32_t afterBacks =
        backs ? opponentCardRect(backs - 1, backs, metrics, client).right + 1 : tableMargin + 2;
    check.expect(afterBacks, tableMargin + 40, tableBackground, "right of the opponent's hand");

    Point trump = trumpCardPosition(metrics, client);
    Rect stock = stockRect(metrics, client);
    check.expect(trump.x + 30, trump.y + 10, game.deck.empty() ? tableBackground : faceColour(game.deck[0]),
                 "trump card");
    check.expect(stock.left + 3, stock.top + 3, game.deck.size() > 1 ? cardBackGreen : tableBackground,
                 "stock");

    std::size_t pairs = (game.table.size() + 1) / 2;
    std::int32_t step = tablePairStep(pairs, metrics, client);
    for (std::size_t k = 0; k < pairs; ++k) {
        Point at = tablePairPosition(k, step, metrics);
        check.expect(at.x + 2, at.y + 40, faceColour(game.table[2 * k]), "attack " + std::to_string(k));
        bool coverShows = k + 1 == pairs || step > metrics.width / 2 + 4;
        if (2 * k + 1 < game.table.size() && coverShows)
            check.expect(at.x + metrics.width / 2 + 2, at.y + 40, faceColour(game.table[2 * k + 1]),
                         "cover " + std::to_string(k));
    }

    Point bubble = bubblePoint();
    GameOutcome outcome = gameOutcome();
    if (outcome == InProgress) {
        check.expect(bubble.x, bubble.y, white, "status bubble in play");
    } else if (outcome != Won) {
        check.expect(bubble.x, bubble.y, lightGrey, "status bubble after the game");
    } else {
        std::uint32_t seen = clientPixel(bubble.x, bubble.y);
        if (seen != blinkA && seen != blinkB)
            check.expect(bubble.x, bubble.y, tableBackground,
                         "status bubble of a won game (or a blink colour)");
    }
    std::string caption = windowText(actionButtonHandle());
    if (check.same && buttonSet && caption != actionButtonCaption())
        check.why << "button caption '" << caption << "', expected '" << actionButtonCaption() << "'";
    game = saved;
    return check.why.str();
}
