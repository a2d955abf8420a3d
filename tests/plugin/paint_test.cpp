// What the window draws, read back pixel by pixel, with a card picture whose 36 faces are told apart
// by colour; and real clicks on the drawn cards.
#include "plugin_fixture.h"

#include "data/colour_cards.h"
#include "devhost/instruments/referee.h"
#include "engine/texts.h"
#include "stand_in/card_notation.h"
#include "window/gdi_guards.h"

#include <set>

namespace {
// A display name typical of the code page, in the host's ANSI code page as the host would hold it.
std::wstring typicalDisplayName() { return GetACP() == 1251 ? L"Алёна" : L"Zoë"; }

// How many pixels of the status bubble, clear of its outline and rounded corners, differ from the
// Unicode `text` drawn centred on one line into it in `ink` over `fill` (0x00BBGGRR): the same reference
// on every code page, so both runs draw the same pixels.
int pixelsUnlikeBubbleText(const wchar_t* text, std::uint32_t fill, std::uint32_t ink) {
    Rect area = statusBubbleRect(testMetrics, gameClientSize());
    HWND window = gameWindowHandle();
    RECT client;
    GetClientRect(window, &client);
    WindowDcGuard screen(window);
    GdiObjectGuard<HBITMAP> shownImage(CreateCompatibleBitmap(screen.dc, client.right, client.bottom));
    GdiObjectGuard<HBITMAP> drawnImage(CreateCompatibleBitmap(screen.dc, client.right, client.bottom));
    GdiObjectGuard<HBRUSH> fillBrush(CreateSolidBrush(fill));
    MemoryDcGuard shown(screen.dc);
    MemoryDcGuard drawn(screen.dc);
    SelectObject(shown.dc, shownImage.handle);
    SelectObject(drawn.dc, drawnImage.handle);
    BitBlt(shown.dc, 0, 0, client.right, client.bottom, screen.dc, 0, 0, SRCCOPY);
    RECT r = {area.left, area.top, area.right, area.bottom};
    FillRect(drawn.dc, &r, fillBrush.handle);
    SetTextColor(drawn.dc, ink);
    SetBkMode(drawn.dc, TRANSPARENT);
    DrawTextW(drawn.dc, text, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    int differing = 0;
    for (int y = area.top + 1; y < area.bottom - 1; ++y)
        for (int x = area.left + bubbleCornerSize / 2; x < area.right - bubbleCornerSize / 2; ++x)
            differing += GetPixel(shown.dc, x, y) != GetPixel(drawn.dc, x, y);
    return differing;
}

// Sends a real left click at a client point.
void clickAt(int x, int y) { ASSERT_TRUE(hostClickGameWindow(x, y)); }

std::string lastSentTable() {
    if (hostSentTexts().empty())
        return "(nothing sent)";
    return codes(peerViewOf(hostSentTexts().back().text).table);
}

class Painting : public PluginTest {
  protected:
    void SetUp() override {
        PluginTest::SetUp();
        loadPlugin();
    }
    void receive(const GameView& view) {
        hostReceiveText(alice, stateMessageFor(view).c_str());
        ASSERT_NE(gameWindowHandle(), nullptr);
    }
};
} // namespace

TEST_F(Painting, EveryPartOfTheTableFromTheRightSourceBlock) {
    // The whole table, after the redraw and after the paint notice: a crowded one, a stock of one card
    // (the trump alone), an empty stock, a lost game and a draw (grey status bubbles).
    const GameView views[] = {
        {"72 e1 61", "91 a1 b1", "60 d0 e0 83 e3 c2", "63 73 93 a3", false, 2, false},
        {"72", "", "60 70", "63 73", true, 2, false},
        {"", "", "60 70", "63 73", true, 2, false},
        {"", "", "60 70", "", false, 2, false},
        {"", "", "", "", false, 2, false},
    };
    Referee referee([](const std::string& fault) { ADD_FAILURE() << fault; });
    for (const GameView& view : views) {
        receive(view);
        referee.checkWindow(cardPicturePath, gameStateOf(view), "the redraw");
        // Through the paint notice (background erased by the class) instead of the redraw.
        InvalidateRect(gameWindowHandle(), nullptr, TRUE);
        UpdateWindow(gameWindowHandle());
        referee.checkWindow(cardPicturePath, gameStateOf(view), "the paint notice");
    }
    // What the comparison does not look at, in the first game.
    receive(views[0]);
    ClientSize client = gameClientSize();
    // Each face whole, the ace and king columns included: the ace block starts after the shared gap column.
    std::vector<Rect> hand = myHandRects(views[0].mine);
    const char* mine[] = {"60", "d0", "e0", "83", "e3", "c2"};
    for (std::size_t i = 0; i < hand.size(); ++i) {
        bool ace = cardRank(card(mine[i])) == 14;
        int firstFaceColumn = ace ? 1 : 0;
        int gapColumn = ace ? 0 : testMetrics.width - 1;
        EXPECT_EQ(clientPixel(hand[i].left + testMetrics.width - 2 + firstFaceColumn, hand[i].bottom - 1),
                  faceColour(mine[i]))
            << mine[i];
        EXPECT_EQ(clientPixel(hand[i].left + gapColumn, hand[i].top + 40), colourCardGap) << mine[i];
    }
    Rect back = opponentCardRect(0, 4, testMetrics, client);
    EXPECT_EQ(clientPixel(back.left, back.top + 40), outlineBlack) << "the outline of a card back";
    Rect stock = stockRect(testMetrics, client);
    int whitePixels = 0;
    for (int x = stock.left + 1; x < stock.right - 1; ++x)
        for (int y = stock.top + 1; y < stock.bottom - 1; ++y)
            whitePixels += clientPixel(x, y) == stockCountColour;
    EXPECT_GT(whitePixels, 10) << "the number 3 in white";
    // The status bubble's outline.
    Rect bubble = statusBubbleRect(testMetrics, client);
    EXPECT_EQ(clientPixel((bubble.left + bubble.right) / 2, bubble.top), outlineBlack);
}

TEST_F(Painting, ChosenCardsAreFramedInBlueWhereTheyShow) {
    // Attacker in the throw-in phase with a crowded hand: the cards overlap.
    const char* hand = "60 70 80 90 a0 b0 c0 d0 e0 61 71 91 a1";
    receive({"72", "93 a3", hand, "63", false, 2, true});
    std::vector<Rect> rects = myHandRects(hand);
    ASSERT_LT(rects[1].left - rects[0].left, testMetrics.width) << "the hand must overlap for this test";
    clickAt(rects[3].left + 2, rects[3].top + 40);    // 90: rank 9 lies on the table
    clickAt(rects[12].left + 30, rects[12].top + 40); // a1, the last card
    clickAt(rects[0].left + 2, rects[0].top + 40);    // 60: not on the table, not chosen
    EXPECT_TRUE(hostSentTexts().empty()) << "choosing is private until it is confirmed";
    EXPECT_EQ(clientPixel(rects[3].left, rects[3].top + 40), selectionBlue);
    EXPECT_EQ(clientPixel(rects[3].left + 5, rects[3].top), selectionBlue);
    EXPECT_EQ(clientPixel(rects[3].right - 1, rects[3].top + 40), faceColour("a0"))
        << "covered by the next card";
    EXPECT_EQ(clientPixel(rects[12].right - 1, rects[12].top + 40), selectionBlue);
    EXPECT_EQ(clientPixel(rects[0].left, rects[0].top + 40), faceColour("60"));
    // A second click unchooses.
    clickAt(rects[3].left + 2, rects[3].top + 40);
    EXPECT_EQ(clientPixel(rects[3].left, rects[3].top + 40), faceColour("90"));
}

TEST_F(Painting, WonGameBlinksTheBubbleUntilAnotherGameOrTheWindowsEnd) {
    receive({"", "", "", "60 70", false, 2, false}); // won: no bubble until the first tick
    Point bubble = bubblePoint(testMetrics);
    EXPECT_EQ(clientPixel(bubble.x, bubble.y), tableBackground);

    // Each tick draws the win message in the other colour.
    HWND window = gameWindowHandle();
    SendMessageA(window, WM_TIMER, winBlinkTimerId, 0);
    std::uint32_t first = clientPixel(bubble.x, bubble.y);
    SendMessageA(window, WM_TIMER, winBlinkTimerId, 0);
    std::uint32_t second = clientPixel(bubble.x, bubble.y);
    SendMessageA(window, WM_TIMER, winBlinkTimerId, 0);
    std::uint32_t third = clientPixel(bubble.x, bubble.y);
    EXPECT_EQ(std::set<std::uint32_t>({first, second}),
              std::set<std::uint32_t>({winBlinkColourA, winBlinkColourB}))
        << std::hex << first << " " << second;
    EXPECT_EQ(third, first);
    // Another timer's notice draws nothing.
    SendMessageA(window, WM_TIMER, 77, 0);
    EXPECT_EQ(clientPixel(bubble.x, bubble.y), third);
    // The real timer runs too.
    hostPumpMessages(250);
    std::uint32_t ticking = clientPixel(bubble.x, bubble.y);
    EXPECT_TRUE(ticking == winBlinkColourA || ticking == winBlinkColourB) << std::hex << ticking;

    // Regression: closing mid-blink stopped the timer but left its flag set, so a won game adopted into
    // the next window showed no win message at all.
    ASSERT_TRUE(hostCloseGameWindow());
    receive({"", "", "", "60 70", false, 2, false});
    hostPumpMessages(250);
    ticking = clientPixel(bubble.x, bubble.y);
    EXPECT_TRUE(ticking == winBlinkColourA || ticking == winBlinkColourB) << std::hex << ticking;

    // A game in progress after a won one stops the timer itself, not only its drawing.
    receive({"72", "", "60 70", "63 73", true, 2, false});
    hostPumpMessages(250);
    EXPECT_EQ(clientPixel(bubble.x, bubble.y), bubbleInPlay);
    EXPECT_FALSE(KillTimer(gameWindowHandle(), winBlinkTimerId)) << "the blink timer still runs";
}

TEST_F(Painting, ClicksReachTheCardDrawnOnTop) {
    const char* hand = "60 70 80 90 a0 b0 c0 d0 e0 61 71 91 a1";
    receive({"72", "", hand, "63", false, 2, false});
    std::vector<Rect> r = myHandRects(hand);
    struct Row {
        const char* what;
        int x, y;
        const char* laid; // the card that goes to the table, or null for none
    } rows[] = {
        {"overlap of cards 3 and 4 goes to the later card", r[4].left + 5, r[3].top + 40, "a0"},
        {"uncovered strip of card 3", r[3].left + 1, r[3].top + 40, "90"},
        {"top-left corner of the first card", r[0].left, r[0].top, "60"},
        {"bottom row of the last card", r[12].right - 1, r[12].bottom - 1, "a1"},
        {"right edge of the last card is outside", r[12].right, r[12].top + 40, nullptr},
        {"bottom edge is outside", r[5].left + 2, r[5].bottom, nullptr},
        {"above the hand", r[5].left + 2, r[5].top - 1, nullptr},
        {"beside the hand on the left", r[0].left - 1, r[0].top + 40, nullptr},
    };
    for (const Row& row : rows) {
        hostClearLogs();
        receive({"72", "", hand, "63", false, 2, false}); // attacker facing an empty table: any card goes
        clickAt(row.x, row.y);
        if (row.laid)
            EXPECT_EQ(lastSentTable(), row.laid) << row.what;
        else
            EXPECT_TRUE(hostSentTexts().empty()) << row.what << ": sent " << lastSentTable();
    }
}

TEST_F(Painting, ButtonSitsAtTheBottomLeftAsOpenedAndAfterEveryResize) {
    receive({"72", "", "60 70", "63 73", true, 2, false});
    // First as opened: the button is placed at once, without waiting for the user to resize.
    for (SIZE outer : {SIZE{0, 0}, SIZE{800, 600}, SIZE{500, 400}}) {
        if (outer.cx)
            SetWindowPos(gameWindowHandle(), nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER);
        RECT client, button;
        GetClientRect(gameWindowHandle(), &client);
        GetWindowRect(actionButtonHandle(), &button);
        MapWindowPoints(nullptr, gameWindowHandle(), reinterpret_cast<POINT*>(&button), 2);
        EXPECT_EQ(button.left, 6) << outer.cx;
        EXPECT_EQ(button.top, client.bottom - 31) << outer.cx;
        EXPECT_EQ(button.right - button.left, 71 + 35) << outer.cx;
        EXPECT_EQ(button.bottom - button.top, 25) << outer.cx;
        Point bubble = bubblePoint(testMetrics);
        EXPECT_EQ(clientPixel(bubble.x, bubble.y), bubbleInPlay) << "redrawn at " << outer.cx;
    }
}

// Regression: the texts were handed to ANSI calls as Windows-1251 bytes, which every system with
// another code page shows garbled. Run under code pages 1251 and 1252.
TEST_F(PluginTest, ShownTextsReadTheSameOnAnyCodePage) {
    std::wstring name = typicalDisplayName();
    HostWord contact = hostAddContact(narrowed(name, CP_ACP));
    loadPlugin();
    // The receiver defends against an uncovered 9 with two cards in the stock.
    hostReceiveText(contact, "@@Kelvaron@@72e0-91-63a2-b0-120");
    HWND window = gameWindowHandle();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(wideWindowText(window), L"Игра в дурака с " + name) << "code page " << GetACP();
    EXPECT_EQ(wideWindowText(actionButtonHandle()), L"Беру");

    EXPECT_EQ(pixelsUnlikeBubbleText(L"Отбивайтесь.", bubbleInPlay, statusTextColour), 0);

    SendMessageW(window, WM_COMMAND, IDM_ABOUT, 0);
    ASSERT_EQ(hostMessageBoxes().size(), 1u);
    const HostMessageBox& box = hostMessageBoxes()[0];
    EXPECT_EQ(box.wideCaption, L"О программе");
    EXPECT_EQ(
        box.wideText.rfind(L"\tКарточная игра в дурака v0.0.0.6\n\nВеб-страница: kelvaron.example.org\n", 0),
        0u)
        << "the About box's first lines";
    EXPECT_NE(box.wideText.find(L"\nДата компиляции: "), std::wstring::npos);
    EXPECT_NE(box.wideText.find(L"\n\n© 2026 Kelvaron developers\n\n"), std::wstring::npos);
}

// The picture in the messenger's Plugins folder comes first; the one beside the DLL is only the fallback.
TEST_F(PluginTest, CardPictureInThePluginsFolderWinsOverTheOneBesideTheDll) {
    // A copy of the DLL with the real card picture beside it; Plugins\cards.png has the coloured faces.
    ASSERT_EQ(hostLoadPlugin("elsewhere\\Kelvaron.dll"), HostLoadResult::Loaded);
    hostReceiveText(alice, stateMessageFor({"72", "", "60 70", "63 73", true, 2, false}).c_str());
    ASSERT_NE(gameWindowHandle(), nullptr);
    Rect first = myHandRects("60 70")[0];
    EXPECT_EQ(clientPixel(first.left + 30, first.top + 40), faceColour("60"));
}
