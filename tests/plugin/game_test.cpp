// A game from the contact menu to the shutdown: the window, its title, the deal and its coin, the menu
// item while a game is open, a missing card picture, calls that carry no text, and the window's end.
#include "plugin_test.h"

#include "exchange/state_message.h"

#include <cstdlib>

// Carol was added while the messenger ran by a host that did not announce her. Regression: the receive
// filter was attached only to the contacts of the start, so she could neither start a game (her answers
// reached the chat) nor open one. Regression: the window was shown with SW_SHOWNORMAL (1) instead of
// the plain show command, 5. The opponent's menu item sends the game again, to bring back a lost state;
// another contact's only brings the window to the front. Her states flash the window in the background.
TEST_F(PluginTest, ContactMenuOpensTheWindowAndTheOpponentsItemSendsTheGameAgain) {
    ASSERT_TRUE(loaded());
    HostWord carol = hostAddContact("Carol", true, false);
    hostClearLogs();
    choose(carol);
    EXPECT_EQ(
        line(uses(), IsWindowVisible(window()), hostShowCommands().size(), hostShowCommands().at(0),
             hostWindowList(1).at(0) == window(), wideWindowText(window())),
        "Proto/IsProtoOnContact(Carol, p); Proto/AddToContact(Carol, p); Utils/AddToWindowList(0, p); "
        "CList/GetContactDisplayName(Carol, 0); Proto/CallContactService(0, p) 1 1 5 1 Игра в дурака с Carol")
        << "uses, shown, show commands, listed, title";
    const std::string deal = hostSentTexts().at(0).text;
    hostClearLogs();
    choose(bob);
    choose(carol);
    EXPECT_EQ(sent(), "Carol " + deal);
    // A game of Carol's that crossed our unanswered deal is dropped, and the deal goes to her again. Its
    // stock must not begin as our deal's does (with our trump card), or it would be a move on our deal.
    const std::string crossing =
        stateMarker + std::string(deal.substr(12, 2) == "e3" ? "d3" : "e3") + "-91-63a2-b0-120";
    HWND other = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 9, 9, nullptr, nullptr,
                                 nullptr, nullptr);
    for (HWND front : {window(), other}) {
        SetForegroundWindow(front);
        hostClearLogs();
        hostReceiveText(carol, crossing.c_str());
        EXPECT_EQ(line(hostChatLog().size(), hostWindowFlashes(), sent()),
                  line(0, front == window() ? 0 : 1, "Carol " + deal))
            << "texts in the chat, flashes and what was sent, the game window in front "
            << (front == window());
    }
    DestroyWindow(other);
}

// The dealer defends when the C runtime's next rand() is even; msvcrt keeps one sequence per thread,
// which the host shares: its first draw is 41 after srand(1), 48 after srand(3). The deal goes to the
// host as a call record for the opponent; its defender digit is the receiver's. Regression: the deals
// were seeded with the time alone, so two messengers loaded in the same second dealt the same games.
TEST_F(PluginTest, DealDrawsItsCoinFromTheRuntimeAndEveryLoadSeedsItAnew) {
    std::string deals[2];
    for (std::string& deal : deals) {
        hostShutdown();
        SetUp();
        ASSERT_TRUE(loaded());
        choose(alice);
        deal = sent();
    }
    EXPECT_NE(deals[0], deals[1]);
    // What the plug-in hands the host to send, in place of the host's own sending.
    static std::string handedOver;
    hostCreateService(hostnames::callContactService, [](HostWord wParam, HostWord lParam) -> HostWord {
        auto record = reinterpret_cast<const CallRecord*>(lParam);
        handedOver = line(word(wParam), word(record->contact), record->service, word(record->wParam),
                          reinterpret_cast<const char*>(record->lParam));
        return 1;
    });
    for (auto [seed, defenderDigit] : {std::pair{1u, '1'}, std::pair{3u, '0'}}) {
        hostCloseGameWindow();
        std::srand(seed);
        choose(alice);
        EXPECT_EQ(line(handedOver.substr(0, 31), handedOver[handedOver.size() - 3]),
                  line("0 Alice /SendMsg 0 @@Kelvaron@@", defenderDigit))
            << handedOver;
    }
}

// Regression: a host without the display-name service answers with its "not found" value, which the
// title read as a text; in the 64-bit edition that value is 0x8000000000000000, which the plug-in took
// for 0x80000000. A name longer than the title holds is cut to 239 bytes.
TEST_F(PluginTest, TitleNamesTheOpponentShortenedOrNotAtAll) {
    for (int service : {0, 1, 2}) { // present, answering null, missing
        SetUp();
        HostWord carol = hostAddContact(std::string(300, 'n'));
        if (service == 1)
            hostCreateService(hostnames::getContactDisplayName,
                              [](HostWord, HostWord) -> HostWord { return 0; });
        if (service == 2)
            hostRemoveService(hostnames::getContactDisplayName);
        ASSERT_TRUE(loaded());
        choose(carol);
        EXPECT_EQ(wideWindowText(window()), L"Игра в дурака с " + std::wstring(service ? 0 : 239, L'n'));
        hostShutdown();
    }
}

// Regression: the picture was only looked for relative to the current directory, which the messenger's
// file dialogs move; then no game could open at all. It is found beside the DLL as well.
TEST_F(PluginTest, MissingCardPictureShowsTheBoxAndOpensNothingUntilItIsBack) {
    ASSERT_TRUE(loaded());
    hostClearLogs();
    ASSERT_TRUE(MoveFileA(cardPicturePath, "cards.png.away"));
    choose(alice);
    MoveFileA("cards.png.away", cardPicturePath);
    ASSERT_EQ(hostMessageBoxes().size(), 1u);
    EXPECT_EQ(line(uses(), hostResourceCounts().live, hostMessageBoxes()[0].wideCaption,
                   hostMessageBoxes()[0].wideText),
              line("Proto/IsProtoOnContact(Alice, p)", HostResourceTally{},
                   "Игра в дурака Не удалось загрузить изображение cards.png."))
        << "uses (nothing sent, no window listed), what is held, the box";
    ASSERT_TRUE(SetCurrentDirectoryA("Plugins"));
    choose(alice);
    SetCurrentDirectoryA("..");
    EXPECT_EQ(line(window() != nullptr, hostSentTexts().size(), hostMessageBoxes().size()), "1 1 1")
        << "a window, texts sent and message boxes";
}

TEST_F(PluginTest, CallsWithoutARecordEventOrTextArePassedOnUnread) {
    ASSERT_TRUE(loaded());
    ReceivedEvent noText = {0, 0, nullptr, 0};
    CallRecord noEvent = {alice, "/RecvMessage", 0, 0},
               withNoText = {alice, "/RecvMessage", 0, HostWord(&noText)};
    for (HostWord lParam : {HostWord{0}, HostWord(&noEvent), HostWord(&withNoText)}) {
        hostClearLogs();
        hostCallService("Kelvaron/RecvMessage", 7, lParam);
        EXPECT_EQ(line(uses(), hostPluginLinkUses().at(0).lParam == lParam),
                  "Proto/ChainRecv(7, " + word(lParam) + ") 1");
    }
}

// The window's end, by the user or at the host's shutdown, and the shutdown without a window: the window
// leaves the host's list and gives back every handle it held (four brushes and the picture), the peer is
// told nothing, and GDI+, started once at load, stops after the window and its picture are gone.
TEST_F(PluginTest, WindowEndsBeforeGdiplusStopsAndGivesBackWhatItHeld) {
    const std::string broadcast = "Utils/BroadcastToWindowList(1, p)",
                      leave = "Utils/RemoveFromWindowList(1, p)";
    for (auto [open, closedByUser, seen] :
         {std::tuple{true, false, broadcast + "; " + leave}, std::tuple{true, true, leave + "; " + broadcast},
          std::tuple{false, false, broadcast}}) {
        SetUp();
        ASSERT_TRUE(loaded());
        if (open)
            choose(alice);
        hostPumpMessages(0);
        EXPECT_EQ(line(hostResourceCounts().live),
                  line(HostResourceTally{open ? 4u : 0u, 0, 0, open ? 1u : 0u}));
        hostClearLogs();
        if (closedByUser)
            hostCloseGameWindow();
        hostShutdown();
        HostResourceCounts counts = hostResourceCounts();
        EXPECT_EQ(line(uses(), counts.gdiplusStartups, counts.gdiplusShutdowns, counts.liveAtGdiplusShutdown,
                       counts.gameWindowAtGdiplusShutdown, hostWindowList(1).size(), window() != nullptr),
                  line(seen, 1, 1, HostResourceTally{}, "0 0 0"))
            << "uses, GDI+ starts and stops, what was held and whether a window was there when it stopped, "
               "windows listed and left; open "
            << open << ", closed by the user " << closedByUser;
    }
}
