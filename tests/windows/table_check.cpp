// Reading the game window back and comparing it with a game.
#include "table_check.h"

#include "data/colour_cards.h"
#include "engine/actions.h"
#include "engine/rules.h"
#include "plugin_fixture.h"
#include "support/card_notation.h"

#include <windows.h>

#include <sstream>

namespace {
constexpr std::uint32_t white = 0xFFFFFF;
constexpr std::uint32_t lightGrey = 0xC0C0C0;
constexpr std::uint32_t blinkA = 0xFFBEBE;
constexpr std::uint32_t blinkB = 0xFFFF64;

std::uint32_t faceColour(Card card) { return colourCardFace(cardRank(card), cardSuit(card)); }

struct Checker {
    const ClientCapture& screen;
    std::ostringstream why;
    bool expect(std::int32_t x, std::int32_t y, std::uint32_t colour, const std::string& what) {
        if (x < 0 || y < 0 || x >= screen.width || y >= screen.height)
            return true; // outside the client area: nothing to see
        std::uint32_t seen = screen.at(x, y);
        if (seen == colour)
            return true;
        why << what << " at (" << x << ", " << y << "): expected " << std::hex << colour << ", got " << seen;
        return false;
    }
};
} // namespace

std::uint32_t ClientCapture::at(std::int32_t x, std::int32_t y) const { return pixels[y * width + x]; }

ClientCapture captureClient() {
    ClientCapture capture;
    HWND window = gameWindowHandle();
    RECT client;
    GetClientRect(window, &client);
    capture.width = client.right;
    capture.height = client.bottom;
    capture.pixels.resize(static_cast<std::size_t>(capture.width) * capture.height);
    HDC windowDc = GetDC(window);
    HDC memory = CreateCompatibleDC(windowDc);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = capture.width;
    info.bmiHeader.biHeight = -capture.height; // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, section);
    BitBlt(memory, 0, 0, capture.width, capture.height, windowDc, 0, 0, SRCCOPY);
    GdiFlush();
    const std::uint32_t* source = static_cast<const std::uint32_t*>(bits);
    for (std::size_t i = 0; i < capture.pixels.size(); ++i)
        capture.pixels[i] = source[i] & 0xFFFFFF;
    SelectObject(memory, previous);
    DeleteObject(section);
    DeleteDC(memory);
    ReleaseDC(window, windowDc);
    return capture;
}

CardMetrics testPictureMetrics() { return cardMetricsForPicture(647, 388); }

std::string tableMismatch(const GameState& expected, bool buttonSet) {
    GameState saved = game;
    game = expected;
    ClientCapture screen = captureClient();
    Checker check{screen, {}};
    CardMetrics metrics = testPictureMetrics();
    ClientSize client = {screen.width, screen.height};
    bool same = true;

    std::vector<Rect> hand;
    layoutHand(hand, metrics, client);
    for (std::size_t i = 0; i < hand.size() && same; ++i)
        same = check.expect(hand[i].left + 2, hand[i].top + 40, faceColour(game.myHand[i]),
                            "own card " + codes({game.myHand[i]}));
    std::int32_t handTop = client.height - metrics.height - 37;
    if (same)
        same = check.expect(hand.empty() ? tableMargin + 2 : hand.back().right + 1, handTop + 40,
                            tableBackground, "right of the own hand");

    std::size_t backs = game.opponentHand.size();
    for (std::size_t i = 0; i < backs && same; ++i) {
        Rect back = opponentCardRect(i, backs, metrics, client);
        same =
            check.expect(back.left + 2, back.top + 40, cardBackGreen, "opponent's card " + std::to_string(i));
    }
    if (same) {
        std::int32_t x =
            backs ? opponentCardRect(backs - 1, backs, metrics, client).right + 1 : tableMargin + 2;
        same = check.expect(x, tableMargin + 40, tableBackground, "right of the opponent's hand");
    }

    Point trump = trumpCardPosition(metrics, client);
    Rect stock = stockRect(metrics, client);
    if (same)
        same = check.expect(trump.x + 30, trump.y + 10,
                            game.deck.empty() ? tableBackground : faceColour(game.deck[0]), "trump card");
    if (same)
        same = check.expect(stock.left + 3, stock.top + 3,
                            game.deck.size() > 1 ? cardBackGreen : tableBackground, "stock");

    std::size_t pairs = (game.table.size() + 1) / 2;
    std::int32_t step = tablePairStep(pairs, metrics, client);
    for (std::size_t k = 0; k < pairs && same; ++k) {
        Point at = tablePairPosition(k, step, metrics);
        same =
            check.expect(at.x + 2, at.y + 40, faceColour(game.table[2 * k]), "attack " + std::to_string(k));
        bool coverShows = k + 1 == pairs || step > metrics.width / 2 + 4;
        if (same && 2 * k + 1 < game.table.size() && coverShows)
            same = check.expect(at.x + metrics.width / 2 + 2, at.y + 40, faceColour(game.table[2 * k + 1]),
                                "cover " + std::to_string(k));
    }

    if (same) {
        Rect bubble = statusBubbleRect(metrics, client);
        std::uint32_t seen = screen.at(bubble.left + 20, bubble.top + 12);
        GameOutcome outcome = gameOutcome();
        bool right = outcome == InProgress ? seen == white
                     : outcome == Lost || outcome == Draw
                         ? seen == lightGrey
                         : seen == tableBackground || seen == blinkA || seen == blinkB;
        if (!right) {
            check.why << "status bubble for outcome " << int(outcome) << ": got " << std::hex << seen;
            same = false;
        }
    }
    if (same && buttonSet) {
        std::string caption = windowText(actionButtonHandle());
        if (caption != actionButtonCaption()) {
            check.why << "button caption '" << caption << "'";
            same = false;
        }
    }
    game = saved;
    return same ? std::string() : check.why.str();
}
