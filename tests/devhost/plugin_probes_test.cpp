// The probes on the real Kelvaron.dll in the messenger's folder: what its game window holds, repaints
// whose GDI or GDI+ calls fail, a window without its picture, and the PNG picture of the window.
#include "tests/devhost/host_fixture.h"

#include "window/gdiplus_flat.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

extern "C" gdiplus::Status WINAPI GdipBitmapGetPixel(gdiplus::Bitmap* bitmap, INT x, INT y, DWORD* colour);

namespace {
constexpr int actionButtonId = 1020;
constexpr COLORREF background = RGB(127, 127, 127);

// What the open game window holds: four brushes and the card picture.
constexpr HostResourceTally windowOpen = {4, 0, 0, 1};
constexpr HostResourceTally none = {0, 0, 0, 0};

// State messages that give the receiver these games: the stock, the table, the sender's hand, the
// receiver's hand, then "the receiver attacks, spades are trumps, no throw-in". Only the receiver's
// hand differs.
constexpr char firstState[] = "@@Kelvaron@@61718191a1b1c1d1e1--627282-63738393a3b3-020";
constexpr char secondState[] = "@@Kelvaron@@61718191a1b1c1d1e1--627282-60708090a0b0c0-020";

HWND gameWindow() { return static_cast<HWND>(hostGameWindow()); }

// The client area's pixels, read back from the screen with the test's own handles.
std::vector<COLORREF> clientPixels() {
    HWND window = gameWindow();
    RECT client = {};
    GetClientRect(window, &client);
    HDC dc = GetDC(window);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < client.bottom; y += 3)
        for (int x = 0; x < client.right; x += 3)
            pixels.push_back(GetPixel(dc, x, y));
    ReleaseDC(window, dc);
    return pixels;
}

COLORREF pixelOf(HWND window, int x, int y) {
    HDC dc = GetDC(window);
    COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return colour;
}

// A point in the first card of the receiver's hand, and one in the status bubble.
struct TablePoints {
    POINT card, bubble;
};
TablePoints tablePoints() {
    RECT client = {};
    GetClientRect(gameWindow(), &client);
    return {{20, client.bottom - 80}, {client.right / 2, client.bottom - 18}};
}

struct RealPlugin : HostTest {
    HostWord bob = 0;
    void SetUp() override {
        HostTest::SetUp();
        bob = hostAddContact("Bob");
        ASSERT_EQ(hostLoadPlugin(), HostLoadResult::Loaded);
    }
    void receive(const char* text) {
        hostReceiveText(bob, text);
        ASSERT_NE(gameWindow(), nullptr);
    }
};

TEST_F(RealPlugin, TheGameWindowHoldsFourBrushesAndThePictureAndGivesThemBackWhenClosed) {
    EXPECT_EQ(hostResourceCounts().live, none);
    receive(firstState);
    HostResourceCounts open = hostResourceCounts();
    EXPECT_EQ(open.live, windowOpen);
    EXPECT_EQ(open.created.gdiplusImages, 1u);
    EXPECT_GT(open.created.gdiObjects, 4u) << "each repaint makes a sheet and an off-screen bitmap";
    EXPECT_GT(open.created.windowDcs, 0u);
    EXPECT_GT(open.created.memoryDcs, 0u);

    ASSERT_TRUE(hostCloseGameWindow());
    HostResourceCounts closed = hostResourceCounts();
    EXPECT_EQ(closed.live, none);
    EXPECT_EQ(closed.foreignDeletes, 0u);

    // The class brush, made in DllMain before the counting, goes with UnregisterClass; the plug-in's
    // own DeleteObject of it afterwards fails and so is no foreign delete.
    hostShutdown();
    EXPECT_EQ(hostResourceCounts().live, none);
    EXPECT_EQ(hostResourceCounts().foreignDeletes, 0u);
}

struct FailedRepaint {
    const char* function;
    bool clearsTheTable; // true: the table is painted over with the background and nothing else
};
const FailedRepaint failedRepaints[] = {
    {"GdipCreateHBITMAPFromBitmap", true},
    {"CreateCompatibleBitmap", false},
    {"CreateCompatibleDC", false},
    {"GetDC", false},
};

TEST_F(RealPlugin, ARepaintWhoseCallFailsDrawsNoCardAndLeaksNothing) {
    for (const FailedRepaint& failure : failedRepaints) {
        SCOPED_TRACE(failure.function);
        receive(firstState);
        std::vector<COLORREF> before = clientPixels();
        HostResourceCounts counts = hostResourceCounts();
        ASSERT_EQ(counts.live, windowOpen);

        ASSERT_TRUE(hostFailPluginCalls(failure.function, 1));
        receive(secondState);
        EXPECT_EQ(hostResourceCounts().live, windowOpen);
        if (failure.clearsTheTable) {
            for (POINT at : {tablePoints().card, tablePoints().bubble})
                EXPECT_EQ(pixelOf(gameWindow(), at.x, at.y), background);
        } else {
            EXPECT_EQ(clientPixels(), before) << "nothing drawn";
        }

        receive(firstState); // the same hand as before, drawn in full again
        EXPECT_EQ(clientPixels(), before);
        receive(secondState);
        EXPECT_NE(clientPixels(), before) << "the second state does change the picture";
        EXPECT_EQ(hostResourceCounts().live, windowOpen);
    }
    ASSERT_TRUE(hostCloseGameWindow());
    EXPECT_EQ(hostResourceCounts().live, none);
}

TEST_F(RealPlugin, AWindowWhosePictureCannotBeLoadedSaysSoAndHoldsNothing) {
    // The plug-in tries the messenger's folder, then the folder of its DLL.
    ASSERT_TRUE(hostFailPluginCalls("GdipCreateBitmapFromFile", 2));
    hostReceiveText(bob, firstState);
    EXPECT_EQ(gameWindow(), nullptr);
    ASSERT_EQ(hostMessageBoxes().size(), 1u);
    HostResourceCounts counts = hostResourceCounts();
    EXPECT_EQ(counts.live, none);
    EXPECT_EQ(counts.created.gdiObjects, 0u);
}

// A GDI+ session of the test's own, to read the PNG back.
struct GdiplusSession {
    ULONG_PTR token = 0;
    GdiplusSession() {
        gdiplus::StartupInput input = {1, nullptr, FALSE, FALSE};
        GdiplusStartup(&token, &input, nullptr);
    }
    ~GdiplusSession() { GdiplusShutdown(token); }
};

TEST_F(RealPlugin, TheSnapshotIsAPngOfTheWholeWindowAsTheScreenShowsIt) {
    char folder[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, folder);
    std::string path = std::string(folder) + "kelvaron-snapshot-test.png";
    EXPECT_FALSE(hostSaveGameWindowPng(path.c_str())) << "no window yet";
    receive(firstState);
    EXPECT_FALSE(hostSaveGameWindowPng("Z:\\no such folder\\at all\\kelvaron.png"));
    ASSERT_TRUE(hostSaveGameWindowPng(path.c_str()));

    GdiplusSession session;
    std::wstring widePath(path.begin(), path.end());
    gdiplus::Bitmap* picture = nullptr;
    ASSERT_EQ(GdipCreateBitmapFromFile(widePath.c_str(), &picture), gdiplus::ok);
    UINT width = 0, height = 0;
    GdipGetImageWidth(picture, &width);
    GdipGetImageHeight(picture, &height);
    RECT bounds = {};
    GetWindowRect(gameWindow(), &bounds);
    EXPECT_EQ(width, static_cast<UINT>(bounds.right - bounds.left));
    EXPECT_EQ(height, static_cast<UINT>(bounds.bottom - bounds.top));
    // Points of the table (the client area lies below the title and the menu), and one of the button,
    // a child window read through its own DC: each where the screen shows it.
    HWND button = GetDlgItem(gameWindow(), actionButtonId);
    const std::pair<HWND, POINT> spots[] = {{gameWindow(), {2, 2}},
                                            {gameWindow(), tablePoints().card},
                                            {gameWindow(), tablePoints().bubble},
                                            {button, {3, 3}}};
    for (auto [window, at] : spots) {
        POINT onScreen = at;
        ClientToScreen(window, &onScreen);
        DWORD argb = 0;
        ASSERT_EQ(GdipBitmapGetPixel(picture, onScreen.x - bounds.left, onScreen.y - bounds.top, &argb),
                  gdiplus::ok);
        COLORREF shown = pixelOf(window, at.x, at.y);
        EXPECT_EQ(argb & 0xFFFFFF,
                  static_cast<DWORD>(GetRValue(shown) << 16 | GetGValue(shown) << 8 | GetBValue(shown)))
            << "screen point " << onScreen.x << "," << onScreen.y;
    }
    GdipDisposeImage(picture);
    std::remove(path.c_str());
}
} // namespace
