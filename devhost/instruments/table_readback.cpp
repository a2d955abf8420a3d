// Reading the game window back and comparing it with a game laid out by the portable core.
#include "devhost/instruments/table_readback.h"

#include "devhost/instruments/instruments.h"
#include "engine/rules.h"
#include "exchange/state_message.h"
#include "window/gdi_guards.h"

#include <windows.h>

#include <algorithm>
#include <sstream>
#include <utility>
#include <vector>

namespace {
// The background the plug-in converts its card picture over.
constexpr DWORD opaqueBlack = 0xFF000000;
constexpr std::uint32_t rgbBits = 0xFFFFFF;

// A DIB pixel (0x00RRGGBB) as a colour value (0x00BBGGRR).
std::uint32_t colourOf(std::uint32_t pixel) {
    return (pixel & 0xFF) << 16 | (pixel & 0xFF00) | (pixel >> 16 & 0xFF);
}

// The card picture as the plug-in blits it: converted over opaque black, 0x00BBGGRR per pixel.
struct Picture {
    std::string path;
    std::uint32_t width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
};

// A top-down DIB of that size, the top row first; at 32 bits its pixels are 0x00RRGGBB (colourOf turns
// them round).
BITMAPINFO topDownInfo(LONG width, LONG height, WORD bitsPerPixel = 32) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = bitsPerPixel;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

const Picture& pictureAt(const std::string& path) {
    static Picture picture;
    if (picture.path == path)
        return picture;
    picture = Picture{path, 0, 0, {}};
    GdiplusSessionGuard session;
    GdiplusImageGuard image;
    GdiObjectGuard<HBITMAP> bitmap;
    UINT width = 0, height = 0;
    if (!session.started ||
        GdipCreateBitmapFromFile(widened(path, CP_ACP).c_str(), &image.image) != gdiplus::ok ||
        GdipGetImageWidth(image.image, &width) != gdiplus::ok ||
        GdipGetImageHeight(image.image, &height) != gdiplus::ok ||
        GdipCreateHBITMAPFromBitmap(image.image, &bitmap.handle, opaqueBlack) != gdiplus::ok)
        return picture;
    BITMAPINFO info = topDownInfo(static_cast<LONG>(width), static_cast<LONG>(height));
    std::vector<std::uint32_t> pixels(std::size_t{width} * height);
    WindowDcGuard screen(nullptr);
    if (GetDIBits(screen.dc, bitmap.handle, 0, height, pixels.data(), &info, DIB_RGB_COLORS) !=
        static_cast<int>(height))
        return picture;
    for (std::uint32_t& pixel : pixels)
        pixel = colourOf(pixel & rgbBits);
    picture.width = width;
    picture.height = height;
    picture.pixels = std::move(pixels);
    return picture;
}

// The client area copied from the screen once, and the first difference from what is expected.
struct Checker {
    ClientSize client = gameClientSize();
    std::vector<std::uint32_t> pixels;
    std::ostringstream why;
    bool same = true;

    Checker() {
        if (client.width <= 0 || client.height <= 0)
            return;
        WindowDcGuard screen(static_cast<HWND>(hostGameWindow()));
        void* bits = nullptr;
        GdiObjectGuard<HBITMAP> copy(screenCopy(screen.dc, client.width, client.height, 32, &bits));
        if (!copy.handle)
            return;
        const auto* first = static_cast<const std::uint32_t*>(bits);
        pixels.assign(first, first + std::size_t(client.width) * std::size_t(client.height));
    }
    bool inside(std::int32_t x, std::int32_t y) const {
        return x >= 0 && y >= 0 && x < client.width && y < client.height && !pixels.empty();
    }
    std::uint32_t seen(std::int32_t x, std::int32_t y) const {
        return colourOf(pixels[std::size_t(y) * std::size_t(client.width) + std::size_t(x)] & rgbBits);
    }
    void expect(std::int32_t x, std::int32_t y, std::uint32_t colour, const std::string& what) {
        if (!same)
            return;
        if (!inside(x, y)) {
            why << what << " at (" << x << ", " << y << ") lies outside the client area of " << client.width
                << " by " << client.height;
            same = false;
        } else if (seen(x, y) != colour) {
            why << what << " at (" << x << ", " << y << "): expected " << std::hex << colour << ", got "
                << seen(x, y);
            same = false;
        }
    }
};

// Compares the part of card's face that shows (width by height from its top left corner at `at`) with
// the picture: a grid over the rank and suit in the corner, the left edge halfway down (a chosen
// card's frame there), and the middle when the whole face shows. A card the picture holds no face for
// shows a back.
void expectFace(Checker& check, const Picture& picture, Card card, Point at, std::int32_t shownWidth,
                std::int32_t shownHeight, const std::string& what, bool framed = false) {
    CardMetrics metrics = cardMetricsForPicture(picture.width, picture.height);
    Rect source;
    if (!cardFaceSource(card, metrics, picture.width, picture.height, source)) {
        check.expect(at.x + 2, at.y + 2, cardBackGreen, what + " " + cardCode(card).text + " (a back)");
        return;
    }
    shownWidth = std::min(shownWidth, source.right - source.left);
    shownHeight = std::min(shownHeight, source.bottom - source.top);
    auto sample = [&](std::int32_t dx, std::int32_t dy) {
        if (dx >= shownWidth || dy >= shownHeight)
            return;
        std::uint32_t colour =
            picture.pixels[std::size_t(source.top + dy) * picture.width + std::size_t(source.left + dx)];
        check.expect(at.x + dx, at.y + dy, colour, what + " " + cardCode(card).text);
    };
    for (std::int32_t dx : {2, 5, 8, 11})
        for (std::int32_t dy = 4; dy <= 40; dy += 3)
            sample(dx, dy);
    if (framed)
        check.expect(at.x, at.y + metrics.height / 2, selectionBlue,
                     what + " " + cardCode(card).text + "'s frame");
    else
        sample(0, metrics.height / 2);
    if (shownWidth == metrics.width && shownHeight == metrics.height)
        sample(metrics.width / 2, metrics.height / 2);
}
} // namespace

ClientSize gameClientSize() {
    RECT client = {};
    GetClientRect(static_cast<HWND>(hostGameWindow()), &client);
    return {client.right, client.bottom};
}

HBITMAP screenCopy(HDC dc, LONG width, LONG height, WORD bitsPerPixel, void** bits) {
    BITMAPINFO info = topDownInfo(width, height, bitsPerPixel);
    GdiObjectGuard<HBITMAP> copy(CreateDIBSection(dc, &info, DIB_RGB_COLORS, bits, nullptr, 0));
    MemoryDcGuard memory(dc);
    if (!copy.handle || !memory.dc)
        return nullptr;
    {
        SelectionGuard selected(memory.dc, copy.handle);
        BitBlt(memory.dc, 0, 0, width, height, dc, 0, 0, SRCCOPY);
    }
    GdiFlush();
    return std::exchange(copy.handle, nullptr);
}

Point bubblePoint(CardMetrics metrics) {
    Rect bubble = statusBubbleRect(metrics, gameClientSize());
    return {bubble.left + 20, bubble.top + 12};
}

std::string tableMismatch(const std::string& picturePath, const GameState& expected) {
    const Picture& picture = pictureAt(picturePath);
    if (picture.pixels.empty())
        return "cannot read the card picture " + picturePath;
    if (!hostGameWindow())
        return "no game window";
    Checker check;
    if (check.pixels.empty())
        return "cannot copy the game window from the screen";
    const CardMetrics metrics = cardMetricsForPicture(picture.width, picture.height);
    const ClientSize client = check.client;
    // A point inside a card back.
    constexpr std::int32_t backX = 2, backY = 40;

    std::vector<Rect> hand;
    layoutHand(expected, hand, metrics, client);
    for (std::size_t i = 0; i < hand.size(); ++i) {
        // Later cards lie over earlier ones.
        std::int32_t shown = i + 1 < hand.size() ? hand[i + 1].left - hand[i].left : metrics.width;
        const auto& chosen = expected.selection;
        bool framed = std::find(chosen.begin(), chosen.end(), i) != chosen.end();
        expectFace(check, picture, expected.myHand[i], {hand[i].left, hand[i].top}, shown, metrics.height,
                   "own card", framed);
    }
    std::int32_t handTop = client.height - metrics.height - handBottomGap;
    check.expect(hand.empty() ? tableMargin + 2 : hand.back().right + 1, handTop + backY, tableBackground,
                 "right of the own hand");

    std::size_t backs = expected.opponentHand.size();
    for (std::size_t i = 0; i < backs; ++i) {
        Rect back = opponentCardRect(i, backs, metrics, client);
        check.expect(back.left + backX, back.top + backY, cardBackGreen,
                     "opponent's card " + std::to_string(i));
    }
    std::int32_t afterBacks =
        backs ? opponentCardRect(backs - 1, backs, metrics, client).right + 1 : tableMargin + 2;
    check.expect(afterBacks, tableMargin + backY, tableBackground, "right of the opponent's hand");

    // The stock lies over the lower part of the trump card.
    Point trump = trumpCardPosition(metrics, client);
    Rect stock = stockRect(metrics, client);
    if (expected.deck.empty())
        check.expect(trump.x + 30, trump.y + 10, tableBackground, "no trump card");
    else
        expectFace(check, picture, expected.deck[0], trump, metrics.width,
                   expected.deck.size() > 1 ? stock.top - trump.y : metrics.height, "trump card");
    check.expect(stock.left + 3, stock.top + 3, expected.deck.size() > 1 ? cardBackGreen : tableBackground,
                 "stock");

    // Each cover lies over the right half of its attack card, and each pair over the one before.
    std::size_t pairs = (expected.table.size() + 1) / 2;
    std::int32_t step = tablePairStep(pairs, metrics, client);
    for (std::size_t k = 0; k < pairs; ++k) {
        Point at = tablePairPosition(k, step, metrics);
        std::int32_t toNext = k + 1 < pairs ? step : metrics.width + metrics.width / 2;
        bool covered = 2 * k + 1 < expected.table.size();
        expectFace(check, picture, expected.table[2 * k], at,
                   std::min(toNext, covered ? metrics.width / 2 : metrics.width), metrics.height, "attack");
        if (covered)
            expectFace(check, picture, expected.table[2 * k + 1], {at.x + metrics.width / 2, at.y},
                       std::min(metrics.width, toNext - metrics.width / 2), metrics.height, "cover");
    }

    Point bubble = bubblePoint(metrics);
    GameOutcome outcome = gameOutcome(expected);
    if (outcome == InProgress) {
        check.expect(bubble.x, bubble.y, bubbleInPlay, "status bubble in play");
    } else if (outcome != Won) {
        check.expect(bubble.x, bubble.y, bubbleAfterGame, "status bubble after the game");
    } else if (check.inside(bubble.x, bubble.y)) {
        std::uint32_t seen = check.seen(bubble.x, bubble.y);
        if (seen != winBlinkColourA && seen != winBlinkColourB)
            check.expect(bubble.x, bubble.y, tableBackground,
                         "status bubble of a won game (or a blink colour)");
    }
    return check.why.str();
}
