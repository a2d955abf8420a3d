// Shared set-up for the tests of Kelvaron.dll in the development host.
#include "plugin_fixture.h"

#include "exchange/state_message.h"
#include "support/recording_frontend.h"

void PluginTest::SetUp() {
    hostReset();
    alice = hostAddContact("Alice");
    bob = hostAddContact("Bob");
}

void PluginTest::TearDown() {
    if (hostPluginLoaded())
        hostShutdown();
    EXPECT_EQ(hostUnexpectedCalls().size(), 0u) << "the plug-in called a link-table entry it has no use for";
}

void PluginTest::loadPlugin() {
    HostLoadResult result = hostLoadPlugin();
    ASSERT_EQ(result, HostLoadResult::Loaded) << hostLoadResultName(result);
}

std::string windowText(HWND window) {
    char text[512] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

HWND gameWindowHandle() { return static_cast<HWND>(hostGameWindow()); }

HWND actionButtonHandle() {
    HWND window = gameWindowHandle();
    return window ? GetDlgItem(window, 1020) : nullptr;
}

GameState peerViewOf(const std::string& sentText) {
    GameState saved = game;
    game = GameState{};
    EXPECT_TRUE(decodeStateMessage(sentText.c_str())) << sentText;
    GameState peer = game;
    game = saved;
    return peer;
}

void choosePlayGame(HostWord contact) {
    std::vector<std::size_t> items = hostVisibleMenuItems(contact);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(hostChooseMenuItem(contact, items[0]), 1);
}

std::uint32_t clientPixel(int x, int y) {
    HWND window = gameWindowHandle();
    HDC dc = GetDC(window);
    COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
}
