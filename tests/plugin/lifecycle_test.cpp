// The window's life: closed by the user or by the host's shutdown, and the shutdown without a window.
// What the next window starts with is checked by the hostile run, which closes its window often.
#include "plugin_fixture.h"

TEST_F(PluginTest, WindowLeavesTheWindowListBeforeGdiplusStopsAndThePeerIsNotTold) {
    const struct {
        const char* what;
        bool open, closedByUser;
    } rows[] = {{"shutdown with a game window", true, false},
                {"the window closed, then shutdown", true, true},
                {"shutdown without a game window: broadcast to nobody", false, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        SetUp();
        loadPlugin();
        if (row.open)
            choosePlayGame(alice);
        HWND window = gameWindowHandle();
        ASSERT_EQ(window != nullptr, row.open);
        if (row.closedByUser) {
            ASSERT_TRUE(hostCloseGameWindow());
            EXPECT_FALSE(IsWindow(window));
            EXPECT_EQ(gameWindowHandle(), nullptr);
            EXPECT_TRUE(hostWindowList(1).empty());
        }
        EXPECT_EQ(hostSentTexts().size(), row.open ? 1u : 0u) << "a close tells the peer nothing";
        hostShutdown();
        EXPECT_FALSE(window && IsWindow(window));
        EXPECT_TRUE(hostWindowList(1).empty());
        // The window and its picture were gone before GDI+ stopped, which it does all the same.
        HostResourceCounts counts = hostResourceCounts();
        EXPECT_EQ(counts.gdiplusShutdowns, 1u);
        EXPECT_FALSE(counts.gameWindowAtGdiplusShutdown);
        EXPECT_EQ(counts.liveAtGdiplusShutdown, (HostResourceTally{0, 0, 0, 0}));
        EXPECT_EQ(pluginCallsTo("Utils/BroadcastToWindowList").size(), 1u);
        EXPECT_EQ(pluginCallsTo("Utils/RemoveFromWindowList").size(), row.open ? 1u : 0u);
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
