// The game window read back from the screen against the game, the win blink, the button's place, and
// the shown texts under a Russian and a Western code page. Clicks on the cards are the whole games'
// (tests/hosts): each lays a card by the strip that a later card leaves uncovered.
#include "plugin_test.h"

#include "window/gdi_guards.h"

// Plugins\cards.png is a picture whose 36 faces differ in colour; the DLL is loaded from elsewhere\,
// where the real picture lies beside it, so every comparison also shows that the Plugins folder's
// picture comes first.
namespace {
const CardMetrics metrics = cardMetricsForPicture(cardPictureWidth, cardPictureHeight);
const GameView playing = {"72", "", "60 70", "63 73", true, 2, false},
               won = {"", "", "", "60 70", false, 2, false};

std::uint32_t pixel(Point at) { return GetPixel(WindowDcGuard(window()).dc, at.x, at.y); }

// How many pixels of the status bubble, clear of its outline and rounded corners, differ from the
// Unicode text drawn centred on one line over the in-play fill: the same reference on every code page.
int pixelsUnlikeBubbleText(const wchar_t* text) {
    Rect area = statusBubbleRect(metrics, gameClientSize());
    RECT r = {area.left, area.top, area.right, area.bottom};
    WindowDcGuard screen(window());
    MemoryDcGuard drawn(screen.dc);
    GdiObjectGuard<HBITMAP> image(CreateCompatibleBitmap(screen.dc, r.right, r.bottom));
    SelectionGuard selected(drawn.dc, image.handle);
    FillRect(drawn.dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetBkMode(drawn.dc, TRANSPARENT);
    DrawTextW(drawn.dc, text, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    int differing = 0;
    for (int y = r.top + 1; y < r.bottom - 1; ++y)
        for (int x = r.left + bubbleCornerSize / 2; x < r.right - bubbleCornerSize / 2; ++x)
            differing += GetPixel(screen.dc, x, y) != GetPixel(drawn.dc, x, y);
    return differing;
}

class Window : public PluginTest {
  protected:
    Referee referee{[](const std::string& fault) { ADD_FAILURE() << fault; }};
    void SetUp() override {
        PluginTest::SetUp();
        ASSERT_TRUE(loaded("elsewhere\\Kelvaron.dll"));
    }
    void receive(const GameView& view) { hostReceiveText(alice, stateMessageFor(view).c_str()); }
    void expectShown(const GameView& view, const char* where) {
        referee.checkWindow(cardPicturePath, gameStateOf(view), where);
    }
};
} // namespace

// After the redraw and after the paint notice (the background erased by the class): a table with an
// uncovered attack, two pairs, a stock of one card (the trump alone), an empty stock, a lost game and a
// draw (grey bubbles); the stock's count, which the comparison does not look at, in white. At every
// resize, which redraws the table, the button is placed anew: 6 from the left, 31 above the bottom,
// 25 high, as wide as a card less one and half that again.
TEST_F(Window, EveryPartOfTheTableAsTheGameHoldsItAndTheButtonBelow) {
    const GameView views[] = {{"72 e1 61", "91 a1 b1", "60 d0 e0 83 e3 c2", "63 73 93 a3", false, 2, false},
                              {"72", "91 a1 b1 c1", "60 70", "63 73", true, 2, false},
                              {"", "", "60 70", "63 73", true, 2, false},
                              {"", "", "60 70", "", false, 2, false},
                              {"", "", "", "", false, 2, false}};
    for (const GameView& view : views) {
        receive(view);
        expectShown(view, "the redraw");
        InvalidateRect(window(), nullptr, TRUE);
        UpdateWindow(window());
        expectShown(view, "the paint notice");
    }
    receive(views[0]);
    Rect stock = stockRect(metrics, gameClientSize());
    int white = 0;
    for (int x = stock.left + 1; x < stock.right - 1; ++x)
        for (int y = stock.top + 1; y < stock.bottom - 1; ++y)
            white += pixel({x, y}) == stockCountColour;
    EXPECT_GT(white, 10) << "the number 3 in white";
    receive(playing);
    for (int width : {0, 800, 500}) {
        if (width)
            SetWindowPos(window(), nullptr, 0, 0, width, width * 3 / 4, SWP_NOMOVE | SWP_NOZORDER);
        RECT client, place;
        GetClientRect(window(), &client);
        GetWindowRect(button(), &place);
        MapWindowPoints(nullptr, window(), reinterpret_cast<POINT*>(&place), 2);
        EXPECT_EQ(
            line(place.left, client.bottom - place.top, place.right - place.left, place.bottom - place.top),
            "6 31 106 25")
            << "left, above the bottom, width and height, " << width << " wide";
        expectShown(playing, "the resize");
    }
}

// Each tick draws the win message in the other colour, on the real timer too, until a game in progress
// stops the timer; a second win in the window and a win in the next window blink again.
TEST_F(Window, WonGameBlinksUntilAnotherGameOrTheWindowsEnd) {
    receive(won);
    Point at = bubblePoint(metrics);
    std::string ticks = line(pixel(at));
    for (unsigned timer : {winBlinkTimerId, winBlinkTimerId, winBlinkTimerId, winBlinkTimerId + 1}) {
        SendMessageA(window(), WM_TIMER, timer, 0);
        ticks += " " + line(pixel(at));
    }
    EXPECT_TRUE(
        ticks == line(tableBackground, winBlinkColourA, winBlinkColourB, winBlinkColourA, winBlinkColourA) ||
        ticks == line(tableBackground, winBlinkColourB, winBlinkColourA, winBlinkColourB, winBlinkColourB))
        << "before the first tick, after three and after another timer's: " << ticks;
    auto blinks = [&](unsigned ms) {
        hostPumpMessages(ms);
        return pixel(at) == winBlinkColourA || pixel(at) == winBlinkColourB;
    };
    // The same game again leaves the running timer as it is: a tick already due comes at once.
    Sleep(150);
    receive(won);
    EXPECT_TRUE(blinks(0)) << "the timer was set anew";
    receive(playing);
    hostPumpMessages(250);
    EXPECT_EQ(pixel(at), bubbleInPlay);
    EXPECT_FALSE(KillTimer(window(), winBlinkTimerId)) << "the blink timer still runs";
    receive(won);
    EXPECT_TRUE(blinks(250)) << "the second win in the window";
    // Regression: closing mid-blink stopped the timer but left its flag set, so a won game adopted into
    // the next window showed no win message at all.
    hostCloseGameWindow();
    receive(won);
    EXPECT_TRUE(blinks(250)) << "the win in the next window";
}

// Regression: the texts were handed to ANSI calls as Windows-1251 bytes, which every system with
// another code page shows garbled. Run under code pages 1251 and 1252: the title with a name typical of
// the code page, the button, the status, the window's menu and the About box it opens; its web-page
// item opens the home page with the plain show command (regression: it was SW_SHOWNORMAL, 1).
TEST_F(Window, ShownTextsReadTheSameOnAnyCodePage) {
    const std::wstring name = GetACP() == 1251 ? L"Алёна" : L"Zoë";
    // The receiver defends against an uncovered 9 with two cards in the stock.
    hostReceiveText(hostAddContact(narrowed(name, CP_ACP)), "@@Kelvaron@@72e0-91-63a2-b0-120");
    ASSERT_NE(window(), nullptr);
    auto menuText = [](HMENU menu, UINT position) {
        wchar_t text[64] = L"";
        GetMenuStringW(menu, position, text, 64, MF_BYPOSITION);
        return std::wstring(text);
    };
    HMENU menu = GetMenu(window()), help = GetSubMenu(menu, 0);
    EXPECT_EQ(line(wideWindowText(window()), wideWindowText(button()),
                   pixelsUnlikeBubbleText(L"Отбивайтесь."), menuText(menu, 0), GetMenuItemCount(help),
                   GetMenuItemID(help, 0), menuText(help, 0), GetMenuItemID(help, 1), menuText(help, 1)),
              line(L"Игра в дурака с " + name, "Беру 0 Справка 2 40003 &Веб-страница 40002 О программе"))
        << "the title, the button, the status's pixels unlike the text and the menu, code page " << GetACP();
    // Choosing an item sends its command id with notification 0 (a menu) and no control.
    SendMessageW(window(), WM_COMMAND, MAKEWPARAM(40003, 0), 0);
    ASSERT_EQ(line(hostShellOpens().size(), hostMessageBoxes().size()), "1 0");
    const HostShellOpen& open = hostShellOpens()[0];
    EXPECT_EQ(line(open.verb, open.file, open.parametersNull, "[" + open.directory + "]", open.showCommand),
              line("open", hostPluginInfo()->homepage, "1 [] 5"));
    SendMessageW(window(), WM_COMMAND, MAKEWPARAM(40002, 0), 0);
    ASSERT_EQ(hostMessageBoxes().size(), 1u);
    const std::wstring head =
        L"О программе: \tКарточная игра в дурака v0.0.0.6\n\nВеб-страница: kelvaron.example.org\n"
        L"Дата рождения проекта: Декабрь 2026\nДата компиляции: ";
    std::wstring about = hostMessageBoxes()[0].wideCaption + L": " + hostMessageBoxes()[0].wideText;
    EXPECT_EQ(about.replace(head.size(), 11, L"Mmm dd yyyy"),
              head + L"Mmm dd yyyy\n\n© 2026 Kelvaron developers\n\nСпасибо нашему первому тестеру за помощь "
                     L"в тестировании.");
    EXPECT_EQ(sent(), "") << "the menu sends nothing to the opponent";
}
