// Starting a game from the contact menu or by a contact's first state: the window, its title, the
// first state message, the menu item while a game is open, a rejected first state, a missing card
// picture, and the receive chain's calls that carry no text.
#include "plugin_fixture.h"

#include "engine/texts.h"
#include "exchange/state_message.h"

#include <algorithm>

namespace {
constexpr char picturePath[] = "Plugins\\cards.png";
constexpr char movedPicturePath[] = "Plugins\\cards.png.away";

// Moves the card picture away for the life of the guard.
struct PictureAway {
    PictureAway() { EXPECT_TRUE(MoveFileA(picturePath, movedPicturePath)) << GetLastError(); }
    ~PictureAway() { MoveFileA(movedPicturePath, picturePath); }
};

std::string titleFor(const std::string& name) { return windowTitlePrefix + name; }

constexpr int showCommandShow = 5;

HostWord noDisplayName(HostWord, HostWord) { return 0; }
// What the messenger returns for a missing service: 0x80000000 in its 32-bit edition, and
// 0x8000000000000000 in its 64-bit one.
constexpr std::uint64_t messengerServiceNotFound = sizeof(void*) == 8 ? 0x8000000000000000u : 0x80000000u;
} // namespace

TEST_F(PluginTest, ContactMenuOpensTheWindowDealsAndSendsOneState) {
    loadPlugin();
    choosePlayGame(alice);
    HWND window = gameWindowHandle();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(IsWindowVisible(window));
    // Regression: the window was shown with SW_SHOWNORMAL (1) instead of the plain show command.
    EXPECT_EQ(hostShowCommands(), std::vector<int>{showCommandShow});
    EXPECT_EQ(windowText(window), titleFor("Alice"));
    EXPECT_EQ(hostWindowList(1), std::vector<HostHandle>{window});

    // The deal itself and the button are checked by the auto-player in every game it starts.
    ASSERT_EQ(hostSentTexts().size(), 1u);
    EXPECT_EQ(hostSentTexts()[0].contact, alice);
}

TEST_F(PluginTest, LongDisplayNameIsShortenedInTheTitle) {
    std::string longName(300, 'n');
    HostWord carol = hostAddContact(longName);
    loadPlugin();
    choosePlayGame(carol);
    std::string title = windowText(gameWindowHandle());
    EXPECT_EQ(title.size(), 255u);
    EXPECT_EQ(title, titleFor(std::string(239, 'n')));
}

// Regression: a host without the display-name service answers with its "not found" value, which the
// title read as a text; in the 64-bit edition that value is 0x8000000000000000, which the plug-in and
// the development host took for 0x80000000.
TEST_F(PluginTest, MissingDisplayNameLeavesTheTitleWithoutAName) {
    const std::pair<const char*, bool> hosts[] = {{"service answers null", true}, {"service missing", false}};
    for (auto [what, serviceAnswersNull] : hosts) {
        SCOPED_TRACE(what);
        hostReset();
        alice = hostAddContact("Alice");
        if (serviceAnswersNull) {
            hostCreateService("CList/GetContactDisplayName", noDisplayName);
        } else {
            hostRemoveService("CList/GetContactDisplayName");
            // What the plug-in gets is the messenger's value for its edition, a word with only the
            // top bit set: read as a pointer it would fault.
            auto result = static_cast<std::uint64_t>(
                static_cast<std::uintptr_t>(hostCallService("CList/GetContactDisplayName", alice, 0)));
            EXPECT_EQ(result, messengerServiceNotFound) << std::hex << "got 0x" << result;
        }
        loadPlugin();
        choosePlayGame(alice);
        ASSERT_NE(gameWindowHandle(), nullptr);
        EXPECT_EQ(windowText(gameWindowHandle()), titleFor(""));
        hostShutdown();
    }
}

// The window's own menu, its texts Russian on any code page: the web page opens with the plain show
// command, the About box is shown.
TEST_F(PluginTest, MenuCommandsOpenTheWebPageAndTheAboutBox) {
    loadPlugin();
    choosePlayGame(alice);
    HWND window = gameWindowHandle();
    ASSERT_NE(window, nullptr);
    HMENU menu = GetMenu(window);
    HMENU help = GetSubMenu(menu, 0);
    wchar_t text[64] = L"";
    GetMenuStringW(menu, 0, text, 64, MF_BYPOSITION);
    EXPECT_STREQ(text, L"Справка");
    EXPECT_EQ(GetMenuItemCount(help), 2);
    const struct {
        int item;
        UINT command;
        const wchar_t* text;
        bool opensPage;
    } items[] = {{0, IDM_WEB_PAGE, L"&Веб-страница", true}, {1, IDM_ABOUT, L"О программе", false}};
    for (const auto& row : items) {
        SCOPED_TRACE(row.command);
        ASSERT_EQ(GetMenuItemID(help, row.item), row.command);
        GetMenuStringW(help, row.item, text, 64, MF_BYPOSITION);
        EXPECT_STREQ(text, row.text);
        hostClearLogs();
        std::size_t opensBefore = hostShellOpens().size();
        // What choosing the item sends: the command id, notification 0 (a menu), no control.
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(row.command, 0), 0);
        ASSERT_EQ(hostShellOpens().size(), opensBefore + row.opensPage);
        ASSERT_EQ(hostMessageBoxes().size(), row.opensPage ? 0u : 1u);
        if (row.opensPage) {
            const HostShellOpen& open = hostShellOpens().back();
            EXPECT_EQ(open.verb, "open");
            EXPECT_EQ(open.file, hostPluginInfo()->homepage);
            EXPECT_TRUE(open.parametersNull);
            EXPECT_EQ(open.directory, "");
            // Regression: the page was opened with SW_SHOWNORMAL (1).
            EXPECT_EQ(open.showCommand, showCommandShow);
        } else {
            EXPECT_EQ(hostMessageBoxes()[0].caption, aboutCaption);
        }
        EXPECT_TRUE(hostSentTexts().empty()) << "the menu sends nothing to the opponent";
    }
}

// The menu item of the game's own opponent also sends the game again, to bring back a lost state.
TEST_F(PluginTest, MenuItemBringsTheOpenGameToTheFrontAndSendsItAgainOnlyToTheOpponent) {
    loadPlugin();
    choosePlayGame(alice);
    HWND window = gameWindowHandle();
    ASSERT_EQ(hostSentTexts().size(), 1u);
    std::string deal = hostSentTexts()[0].text;
    hostClearLogs();
    choosePlayGame(bob);
    EXPECT_EQ(gameWindowHandle(), window);
    EXPECT_EQ(windowText(window), titleFor("Alice"));
    EXPECT_TRUE(hostSentTexts().empty()) << "another contact's item only brings the window to the front";
    choosePlayGame(alice);
    ASSERT_EQ(hostSentTexts().size(), 1u);
    EXPECT_EQ(hostSentTexts()[0].contact, alice);
    EXPECT_EQ(hostSentTexts()[0].text, deal);

    // Alice is still the opponent: Bob is not heard. A game of hers that crossed our unanswered deal is
    // dropped, and the deal goes to her again. Its stock must not begin as our deal's does (with our
    // trump card), or it would be a move on our deal: a fixed card made that 1 run in 36.
    const std::string ourTrump = deal.substr(stateMarkerLength, 2);
    const std::string crossing =
        stateMarker + std::string(ourTrump == "e3" ? "d3" : "e3") + "-91-63a2-b0-120";
    std::string captionBefore = windowText(actionButtonHandle());
    hostClearLogs();
    hostReceiveText(bob, crossing.c_str());
    EXPECT_TRUE(hostSentTexts().empty());
    hostReceiveText(alice, crossing.c_str());
    EXPECT_EQ(windowText(actionButtonHandle()), captionBefore);
    ASSERT_EQ(hostSentTexts().size(), 1u);
    EXPECT_EQ(hostSentTexts()[0].text, deal);
    EXPECT_TRUE(hostChatLog().empty());
}

// Regression: the button stayed blank, and still dealt a game when pressed.
TEST_F(PluginTest, WindowOpenedByARejectedStateOffersANewGame) {
    loadPlugin();
    hostReceiveText(alice, "@@Kelvaron@@72-91-63a2-b0--120");
    ASSERT_NE(gameWindowHandle(), nullptr);
    EXPECT_EQ(windowText(actionButtonHandle()), captionNewGame);
    EXPECT_TRUE(IsWindowEnabled(actionButtonHandle()));
}

TEST_F(PluginTest, MissingCardPictureShowsTheBoxAndOpensNothingUntilItIsBack) {
    loadPlugin();
    {
        PictureAway away;
        choosePlayGame(alice);
        EXPECT_EQ(gameWindowHandle(), nullptr);
        ASSERT_EQ(hostMessageBoxes().size(), 1u);
        EXPECT_EQ(hostMessageBoxes()[0].caption, gameName);
        EXPECT_EQ(hostMessageBoxes()[0].text, pictureLoadError);
        EXPECT_TRUE(hostSentTexts().empty());
        EXPECT_TRUE(hostWindowList(1).empty());
    }
    choosePlayGame(alice);
    EXPECT_NE(gameWindowHandle(), nullptr);
    EXPECT_EQ(hostSentTexts().size(), 1u);
    EXPECT_EQ(hostMessageBoxes().size(), 1u);
}

// Regression: the picture was only looked for relative to the current directory, which the
// messenger's file dialogs move; then no game could open at all.
TEST_F(PluginTest, CardPictureIsFoundBesideTheDllWhenTheCurrentDirectoryMoved) {
    loadPlugin();
    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryA("Plugins"));
    choosePlayGame(alice);
    SetCurrentDirectoryA(previous);
    EXPECT_NE(gameWindowHandle(), nullptr);
    EXPECT_TRUE(hostMessageBoxes().empty());
}

// Regression: the receive filter was attached only to the contacts of the start, so a contact added
// later could neither start a game (its answers reached the chat) nor open one.
TEST_F(PluginTest, ContactAddedAfterLoadStartsAGameWithTheFilterInPlace) {
    loadPlugin();
    HostWord carol = hostAddContact("Carol", true, false); // a host that does not announce it
    choosePlayGame(carol);
    EXPECT_EQ(modulesOn(carol), std::vector<std::string>{"Kelvaron"});
    const auto& calls = hostPluginServiceCalls();
    auto attached = std::find_if(calls.begin(), calls.end(), [&](const HostServiceCall& c) {
        return c.name == "Proto/AddToContact" && c.wParam == carol;
    });
    auto sent = std::find_if(calls.begin(), calls.end(),
                             [](const HostServiceCall& c) { return c.name == "Proto/CallContactService"; });
    ASSERT_NE(sent, calls.end());
    EXPECT_LT(attached, sent) << "the filter comes before the first state";
    hostReceiveText(carol, "@@Kelvaron@@72-91-63a2-b0-120");
    EXPECT_TRUE(hostChatLog().empty());
}

TEST_F(PluginTest, ContactAddedAfterLoadOpensAGameWithItsFirstState) {
    loadPlugin();
    HostWord carol = hostAddContact("Carol");
    hostReceiveText(carol, "@@Kelvaron@@72-91-63a2-b0-120");
    ASSERT_NE(gameWindowHandle(), nullptr);
    EXPECT_EQ(windowText(gameWindowHandle()), titleFor("Carol"));
    EXPECT_EQ(windowText(actionButtonHandle()), captionTake);
    EXPECT_TRUE(hostChatLog().empty());
}

TEST_F(PluginTest, CallsWithoutARecordEventOrTextArePassedOnUnread) {
    loadPlugin();
    ReceivedEvent noText = {0, 0, nullptr, 0};
    CallRecord noEvent = {alice, "/RecvMessage", 0, 0};
    CallRecord withNoText = {alice, "/RecvMessage", 0, reinterpret_cast<HostWord>(&noText)};
    const HostWord lParams[] = {0, reinterpret_cast<HostWord>(&noEvent),
                                reinterpret_cast<HostWord>(&withNoText)};
    for (int window = 0; window < 2; ++window) {
        for (HostWord lParam : lParams) {
            std::size_t before = hostPluginServiceCalls().size();
            hostCallService("Kelvaron/RecvMessage", 7, lParam);
            ASSERT_EQ(hostPluginServiceCalls().size(), before + 1);
            const HostServiceCall& call = hostPluginServiceCalls().back();
            EXPECT_EQ(call.name, "Proto/ChainRecv");
            EXPECT_EQ(call.wParam, 7);
            EXPECT_EQ(call.lParam, lParam);
            EXPECT_EQ(gameWindowHandle() != nullptr, window == 1);
        }
        choosePlayGame(alice);
    }
}
