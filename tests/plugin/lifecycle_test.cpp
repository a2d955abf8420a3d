// The window's life: closing it, the host's shutdown with and without a game, and what the next
// window starts with.
#include "plugin_fixture.h"

#include "engine/texts.h"

namespace {
// The receiver holds no card, the sender two, the stock is empty: the receiver has won.
constexpr char wonState[] = "@@Kelvaron@@--6070--000";

std::size_t callsOf(const char* name) {
    std::size_t count = 0;
    for (const HostServiceCall& call : hostPluginServiceCalls())
        count += call.name == name;
    return count;
}
} // namespace

TEST_F(PluginTest, ShutdownClosesTheGameWindowThroughTheWindowList) {
    loadPlugin();
    choosePlayGame(alice);
    HWND window = gameWindowHandle();
    ASSERT_NE(window, nullptr);
    hostShutdown();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_TRUE(hostWindowList(1).empty());
    // The window and its picture were gone before GDI+ stopped.
    HostResourceCounts counts = hostResourceCounts();
    EXPECT_EQ(counts.gdiplusShutdowns, 1u);
    EXPECT_FALSE(counts.gameWindowAtGdiplusShutdown);
    EXPECT_EQ(counts.liveAtGdiplusShutdown, (HostResourceTally{0, 0, 0, 0}));
    EXPECT_EQ(callsOf("Utils/BroadcastToWindowList"), 1u);
    EXPECT_EQ(callsOf("Utils/RemoveFromWindowList"), 1u);
}

TEST_F(PluginTest, ShutdownWithoutAGameWindowBroadcastsToNobody) {
    loadPlugin();
    hostShutdown();
    EXPECT_EQ(hostResourceCounts().gdiplusShutdowns, 1u) << "GDI+ stops all the same";
    EXPECT_EQ(callsOf("Utils/BroadcastToWindowList"), 1u);
    EXPECT_EQ(callsOf("Utils/RemoveFromWindowList"), 0u);
    // The plug-in loads again in the same process (a new host session), with a fresh class and GDI+.
    hostReset();
    alice = hostAddContact("Alice");
    loadPlugin();
    choosePlayGame(alice);
    EXPECT_NE(gameWindowHandle(), nullptr);
}

TEST_F(PluginTest, ClosedWindowLeavesTheWindowListAndTellsThePeerNothing) {
    loadPlugin();
    choosePlayGame(alice);
    HWND first = gameWindowHandle();
    ASSERT_TRUE(hostCloseGameWindow());
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ(gameWindowHandle(), nullptr);
    EXPECT_TRUE(hostWindowList(1).empty());
    EXPECT_EQ(hostSentTexts().size(), 1u) << "the peer is not told";
    // What the next window starts with is checked by the hostile run, which closes its window often.
}

// Regression: the close notice stopped the blink timer but left its flag set, so a won game adopted
// into the next window showed no win message at all.
TEST_F(PluginTest, WinBlinkStartsAgainInTheNextWindowAfterClosingMidBlink) {
    loadPlugin();
    for (int window = 0; window < 2; ++window) {
        hostReceiveText(alice, wonState);
        ASSERT_NE(gameWindowHandle(), nullptr);
        hostPumpMessages(350);
        Point at = bubblePoint(testMetrics);
        std::uint32_t colour = clientPixel(at.x, at.y);
        EXPECT_TRUE(colour == winBlinkColourA || colour == winBlinkColourB)
            << "window " << window << ": bubble colour " << std::hex << colour;
        ASSERT_TRUE(hostCloseGameWindow());
    }
}

// The window holds its card picture (a GDI+ image and GDI bitmaps) and gives every handle back when it
// closes; the counting that the soak and the shutdown checks rely on sees both.
TEST_F(PluginTest, ClosedWindowGivesBackEveryHandleItHeld) {
    loadPlugin();
    choosePlayGame(alice);
    hostPumpMessages(0);
    HostResourceTally open = hostResourceCounts().live;
    EXPECT_GT(open.gdiObjects, 0u);
    EXPECT_EQ(open.gdiplusImages, 1u);
    ASSERT_TRUE(hostCloseGameWindow());
    HostResourceTally closed = hostResourceCounts().live;
    EXPECT_EQ(closed, (HostResourceTally{0, 0, 0, 0}))
        << closed.gdiObjects << " GDI objects, " << closed.memoryDcs << " memory DCs, " << closed.windowDcs
        << " window DCs, " << closed.gdiplusImages << " GDI+ images";
}
