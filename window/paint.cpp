// Painting the table from the game record and the card picture.
#include "window/paint.h"

#include "exchange/frontend.h"
#include "window/game_window.h"
#include "window/game_window_constants.h"
#include "window/gdi_guards.h"

#include <algorithm>

namespace {
constexpr DWORD opaqueBlack = 0xFF000000; // shows through wherever the picture is transparent
constexpr UINT centredLine = DT_CENTER | DT_VCENTER | DT_SINGLELINE;

RECT toRECT(const Rect& r) { return {r.left, r.top, r.right, r.bottom}; }

void drawCardBack(HDC target, int x, int y, CardMetrics metrics) {
    RECT card = {x, y, x + metrics.width, y + metrics.height};
    FillRect(target, &card, ui.cardBackBrush);
    FrameRect(target, &card, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

void drawOpponentHand(const GameState& state, HDC dc, CardMetrics metrics, ClientSize client) {
    std::size_t cards = state.opponentHand.size();
    for (std::size_t i = 0; i < cards; ++i) {
        Rect r = opponentCardRect(i, cards, metrics, client);
        Rectangle(dc, r.left, r.top, r.right, r.bottom);
    }
}

void drawMyHand(const GameState& state, HDC dc, HDC sheet) {
    std::vector<Rect> rects;
    layoutMyHand(state, rects);
    for (std::size_t i = 0; i < rects.size(); ++i) {
        drawCardFace(state.myHand[i], sheet, dc, rects[i].left, rects[i].top);
        // Framed before the next card is drawn, so an overlapping card hides part of the frame.
        if (std::find(state.selection.begin(), state.selection.end(), i) != state.selection.end()) {
            RECT frame = toRECT(rects[i]);
            FrameRect(dc, &frame, ui.selectionBrush);
        }
    }
}

void drawStock(const GameState& state, HDC dc, HDC sheet, CardMetrics metrics, ClientSize client) {
    if (state.deck.empty())
        return;
    Point trump = trumpCardPosition(metrics, client);
    drawCardFace(state.deck[0], sheet, dc, trump.x, trump.y);
    if (state.deck.size() <= 1)
        return;
    RECT stock = toRECT(stockRect(metrics, client));
    Rectangle(dc, stock.left, stock.top, stock.right, stock.bottom);
    wchar_t count[16];
    wsprintfW(count, L"%u", static_cast<unsigned>(state.deck.size()));
    SetTextColor(dc, stockCountColour);
    DrawTextW(dc, count, -1, &stock, centredLine);
}

void drawTable(const GameState& state, HDC dc, HDC sheet, CardMetrics metrics, ClientSize client) {
    std::size_t pairs = (state.table.size() + 1) / 2;
    std::int32_t step = tablePairStep(pairs, metrics, client);
    for (std::size_t k = 0; k < pairs; ++k) {
        Point at = tablePairPosition(k, step, metrics);
        drawCardFace(state.table[2 * k], sheet, dc, at.x, at.y);
        if (2 * k + 1 < state.table.size())
            drawCardFace(state.table[2 * k + 1], sheet, dc, at.x + metrics.width / 2, at.y);
    }
}
} // namespace

void drawCardFace(Card card, HDC sheet, HDC target, int x, int y) {
    UINT width, height;
    cardPictureSize(width, height);
    CardMetrics metrics = cardMetricsForPicture(width, height);
    Rect source;
    if (!cardFaceSource(card, metrics, width, height, source)) {
        drawCardBack(target, x, y, metrics);
        return;
    }
    BitBlt(target, x, y, source.right - source.left, source.bottom - source.top, sheet, source.left,
           source.top, SRCCOPY);
}

void drawStatusBubble(HDC dc, const char* text) {
    RECT bubble = toRECT(statusBubbleRect(currentCardMetrics(), currentClientSize()));
    RoundRect(dc, bubble.left, bubble.top, bubble.right, bubble.bottom, bubbleCornerSize, bubbleCornerSize);
    SetTextColor(dc, statusTextColour);
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, wideText(text).c_str(), -1, &bubble, centredLine);
}

void layoutMyHand(const GameState& state, std::vector<Rect>& rects) {
    layoutHand(state, rects, currentCardMetrics(), currentClientSize());
}

void paintScene(const GameState& state, HDC dc) {
    if (!ui.cardPicture)
        return;
    GdiObjectGuard<HBITMAP> sheetBitmap;
    if (GdipCreateHBITMAPFromBitmap(ui.cardPicture, &sheetBitmap.handle, opaqueBlack) != gdiplus::ok ||
        !sheetBitmap.handle)
        return;
    MemoryDcGuard sheet(dc);
    if (!sheet.dc)
        return;
    SelectionGuard sheetSelected(sheet.dc, sheetBitmap.handle);

    CardMetrics metrics = currentCardMetrics();
    ClientSize client = currentClientSize();
    if (const char* status = statusLineText(state)) {
        // The bubble is white in the context's own brush, grey when the game is lost or drawn.
        SelectionGuard grey(dc, statusBubbleGreyed(state) ? GetStockObject(LTGRAY_BRUSH) : nullptr);
        drawStatusBubble(dc, status);
    }
    SelectionGuard cardBacks(dc, ui.cardBackBrush);
    drawOpponentHand(state, dc, metrics, client);
    drawMyHand(state, dc, sheet.dc);
    drawStock(state, dc, sheet.dc, metrics, client);
    drawTable(state, dc, sheet.dc, metrics, client);
}

void redrawWindow(const GameState& state) {
    if (!ui.gameWindow)
        return;
    WindowDcGuard window(ui.gameWindow);
    if (!window.dc)
        return;
    RECT client = {};
    GetClientRect(ui.gameWindow, &client);
    GdiObjectGuard<HBITMAP> image(CreateCompatibleBitmap(window.dc, client.right, client.bottom));
    MemoryDcGuard offscreen(window.dc);
    if (!image.handle || !offscreen.dc)
        return;
    SelectionGuard imageSelected(offscreen.dc, image.handle);
    if (auto background = reinterpret_cast<HBRUSH>(GetClassLongPtrW(ui.gameWindow, GCLP_HBRBACKGROUND)))
        FillRect(offscreen.dc, &client, background);
    paintScene(state, offscreen.dc);
    BitBlt(window.dc, 0, 0, client.right, client.bottom, offscreen.dc, 0, 0, SRCCOPY);
}
