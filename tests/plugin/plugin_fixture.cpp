// Shared set-up for the tests of Kelvaron.dll in the development host.
#include "plugin_fixture.h"

#include "data/colour_cards.h"
#include "exchange/state_message.h"
#include "stand_in/fake_frontend.h"

#include <utility>

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

HWND gameWindowHandle() { return static_cast<HWND>(hostGameWindow()); }

HWND actionButtonHandle() {
    HWND window = gameWindowHandle();
    return window ? GetDlgItem(window, actionButtonId) : nullptr;
}

GameState peerViewOf(const std::string& sentText) {
    GameState peer;
    EXPECT_EQ(readStateMessage(sentText.c_str(), peer), DecodeResult::Accepted) << sentText;
    return peer;
}

std::vector<std::string> modulesOn(HostWord contact) {
    for (const HostContact& known : hostContacts())
        if (known.handle == contact)
            return known.modules;
    ADD_FAILURE() << "no contact " << contact;
    return {};
}

std::vector<std::size_t> pluginCallsTo(const std::string& name, std::optional<HostWord> wParam) {
    std::vector<std::size_t> found;
    for (std::size_t i = 0; i < hostPluginServiceCalls().size(); ++i) {
        const HostServiceCall& call = hostPluginServiceCalls()[i];
        if (call.name == name && (!wParam || call.wParam == *wParam))
            found.push_back(i);
    }
    return found;
}

void choosePlayGame(HostWord contact) {
    std::vector<std::size_t> items = hostVisibleMenuItems(contact);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(hostChooseMenuItem(contact, items[0]), 1);
}

std::uint32_t faceColour(const char* code) {
    return colourCardFace(cardRank(card(code)), cardSuit(card(code)));
}

std::uint32_t clientPixel(int x, int y) {
    HDC screen = GetDC(gameWindowHandle());
    COLORREF pixel = GetPixel(screen, x, y);
    ReleaseDC(gameWindowHandle(), screen);
    return pixel;
}

std::vector<Rect> myHandRects(const char* hand) {
    GameState game;
    game.myHand = cards(hand);
    std::vector<Rect> rects;
    layoutHand(game, rects, testMetrics, gameClientSize());
    return rects;
}
