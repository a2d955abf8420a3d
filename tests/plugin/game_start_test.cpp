// Starting a game from the contact menu: the window, its title, the first state message, the menu
// item while a game is open, a missing card picture, a contact added later, and the receive chain's
// calls that carry no text. A first state that opens the window is the hostile run's.
#include "plugin_fixture.h"

#include "engine/texts.h"
#include "exchange/state_message.h"

namespace {
constexpr char movedPicturePath[] = "Plugins\\cards.png.away";

// Moves the card picture away for the life of the guard.
struct PictureAway {
    PictureAway() { EXPECT_TRUE(MoveFileA(cardPicturePath, movedPicturePath)) << GetLastError(); }
    ~PictureAway() { MoveFileA(movedPicturePath, cardPicturePath); }
};

std::string titleFor(const std::string& name) { return windowTitlePrefix + name; }

constexpr int showCommandShow = 5;

HostWord noDisplayName(HostWord, HostWord) { return 0; }
// What the messenger returns for a missing service: 0x80000000 in its 32-bit edition, and
// 0x8000000000000000 in its 64-bit one.
constexpr std::uint64_t messengerServiceNotFound = sizeof(void*) == 8 ? 0x8000000000000000u : 0x80000000u;
} // namespace

// The menu item of the game's own opponent also sends the game again, to bring back a lost state;
// another contact's only brings the window to the front.
TEST_F(PluginTest, ContactMenuOpensTheWindowAndTheOpponentsItemSendsTheGameAgain) {
    loadPlugin();
    choosePlayGame(alice);
    HWND window = gameWindowHandle();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(IsWindowVisible(window));
    // Regression: the window was shown with SW_SHOWNORMAL (1) instead of the plain show command.
    EXPECT_EQ(hostShowCommands(), std::vector<int>{showCommandShow});
    EXPECT_EQ(hostWindowList(1), std::vector<HostHandle>{window});
    ASSERT_EQ(hostSentTexts().size(), 1u);
    EXPECT_EQ(hostSentTexts()[0].contact, alice);
    const std::string deal = hostSentTexts()[0].text;
    hostClearLogs();
    choosePlayGame(bob);
    EXPECT_EQ(gameWindowHandle(), window);
    EXPECT_EQ(windowText(window), titleFor("Alice"));
    EXPECT_TRUE(hostSentTexts().empty());
    choosePlayGame(alice);
    ASSERT_EQ(hostSentTexts().size(), 1u);
    EXPECT_EQ(hostSentTexts()[0].contact, alice);
    EXPECT_EQ(hostSentTexts()[0].text, deal);

    // A game of Alice's that crossed our unanswered deal is dropped, and the deal goes to her again. Its
    // stock must not begin as our deal's does (with our trump card), or it would be a move on our deal:
    // a fixed card made that 1 run in 36.
    const std::string ourTrump = deal.substr(stateMarkerLength, 2);
    const std::string crossing =
        stateMarker + std::string(ourTrump == "e3" ? "d3" : "e3") + "-91-63a2-b0-120";
    std::string captionBefore = windowText(actionButtonHandle());
    hostClearLogs();
    hostReceiveText(alice, crossing.c_str());
    EXPECT_EQ(windowText(actionButtonHandle()), captionBefore);
    ASSERT_EQ(hostSentTexts().size(), 1u);
    EXPECT_EQ(hostSentTexts()[0].text, deal);
    EXPECT_TRUE(hostChatLog().empty());
}

// Regression: a host without the display-name service answers with its "not found" value, which the
// title read as a text; in the 64-bit edition that value is 0x8000000000000000, which the plug-in and
// the development host took for 0x80000000.
TEST_F(PluginTest, TitleNamesTheOpponentShortenedOrNotAtAll) {
    enum class NameService { Present, AnswersNull, Missing };
    const struct {
        NameService service;
        std::string name, titleName;
    } rows[] = {{NameService::Present, std::string(300, 'n'), std::string(239, 'n')}, // 255 characters
                {NameService::AnswersNull, "Carol", ""},
                {NameService::Missing, "Carol", ""}};
    for (const auto& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.service));
        SetUp();
        HostWord carol = hostAddContact(row.name);
        if (row.service == NameService::AnswersNull) {
            hostCreateService("CList/GetContactDisplayName", noDisplayName);
        } else if (row.service == NameService::Missing) {
            hostRemoveService("CList/GetContactDisplayName");
            // What the plug-in gets is the messenger's value for its edition, a word with only the
            // top bit set: read as a pointer it would fault.
            auto result = static_cast<std::uint64_t>(
                static_cast<std::uintptr_t>(hostCallService("CList/GetContactDisplayName", carol, 0)));
            EXPECT_EQ(result, messengerServiceNotFound) << std::hex << "got 0x" << result;
        }
        loadPlugin();
        choosePlayGame(carol);
        ASSERT_NE(gameWindowHandle(), nullptr);
        EXPECT_EQ(windowText(gameWindowHandle()), titleFor(row.titleName));
        hostShutdown();
    }
}

// The window's own menu, its texts Russian on any code page; the web page opens with the plain show
// command. The About box it opens is read by ShownTextsReadTheSameOnAnyCodePage.
TEST_F(PluginTest, MenuCommandsOpenTheWebPageAndTheAboutBox) {
    loadPlugin();
    choosePlayGame(alice);
    HWND window = gameWindowHandle();
    ASSERT_NE(window, nullptr);
    HMENU help = GetSubMenu(GetMenu(window), 0);
    wchar_t text[64] = L"";
    GetMenuStringW(GetMenu(window), 0, text, 64, MF_BYPOSITION);
    EXPECT_STREQ(text, L"Справка");
    EXPECT_EQ(GetMenuItemCount(help), 2);
    const std::pair<UINT, const wchar_t*> items[] = {{IDM_WEB_PAGE, L"&Веб-страница"},
                                                     {IDM_ABOUT, L"О программе"}};
    for (int item = 0; item < 2; ++item) {
        EXPECT_EQ(GetMenuItemID(help, item), items[item].first);
        GetMenuStringW(help, item, text, 64, MF_BYPOSITION);
        EXPECT_STREQ(text, items[item].second);
    }
    std::size_t opensBefore = hostShellOpens().size();
    // What choosing the item sends: the command id, notification 0 (a menu), no control.
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDM_WEB_PAGE, 0), 0);
    ASSERT_EQ(hostShellOpens().size(), opensBefore + 1);
    const HostShellOpen& open = hostShellOpens().back();
    EXPECT_EQ(open.verb, "open");
    EXPECT_EQ(open.file, hostPluginInfo()->homepage);
    EXPECT_TRUE(open.parametersNull);
    EXPECT_EQ(open.directory, "");
    // Regression: the page was opened with SW_SHOWNORMAL (1).
    EXPECT_EQ(open.showCommand, showCommandShow);
    EXPECT_TRUE(hostMessageBoxes().empty());
    EXPECT_EQ(hostSentTexts().size(), 1u) << "the menu sends nothing to the opponent";
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
    // Regression: the picture was only looked for relative to the current directory, which the
    // messenger's file dialogs move; then no game could open at all.
    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryA("Plugins"));
    choosePlayGame(alice);
    SetCurrentDirectoryA(previous);
    EXPECT_NE(gameWindowHandle(), nullptr);
    EXPECT_EQ(hostSentTexts().size(), 1u);
    EXPECT_EQ(hostMessageBoxes().size(), 1u) << "a second box";
}

// Regression: the receive filter was attached only to the contacts of the start, so a contact added
// later could neither start a game (its answers reached the chat) nor open one.
TEST_F(PluginTest, ContactAddedAfterLoadStartsAGameWithTheFilterInPlace) {
    loadPlugin();
    HostWord carol = hostAddContact("Carol", true, false); // a host that does not announce it
    choosePlayGame(carol);
    EXPECT_EQ(modulesOn(carol), std::vector<std::string>{"Kelvaron"});
    std::vector<std::size_t> attached = pluginCallsTo("Proto/AddToContact", carol);
    std::vector<std::size_t> sent = pluginCallsTo("Proto/CallContactService");
    ASSERT_FALSE(attached.empty() || sent.empty());
    EXPECT_LT(attached[0], sent[0]) << "the filter comes before the first state";
    hostReceiveText(carol, "@@Kelvaron@@72-91-63a2-b0-120");
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
