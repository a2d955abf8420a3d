// Writes pictures of the real game window, with the real card picture, in six typical states:
// a fresh deal, the defender facing an uncovered card, a throw-in with two cards chosen, a crowded
// hand, a lost game, and a won game in the middle of its blink. Usage: table_screenshots OUTPUT_FOLDER
#include "devhost/instruments/instruments.h"
#include "devhost/instruments/table_readback.h"
#include "devhost/messenger/host.h"
#include "layout/table_layout.h"
#include "window/gdi_guards.h"
#include "window/gdiplus_flat.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {
// States as the receiving side holds them (the sender's hand is written first).
constexpr char defendingState[] = "@@Kelvaron@@c2d0a17170b3-e1-6080e3b1c1d1-a0b09193c3d3-120";
constexpr char throwInState[] = "@@Kelvaron@@c2d0a1-91c1a3e3-60b2-708090a0b0c083d2-021";
constexpr char crowdedState[] = "@@Kelvaron@@c2d0-e1-7080-6090a0b0617181637393b3d362e2-120";
constexpr char lostState[] = "@@Kelvaron@@---7191b1-020";
constexpr char wonState[] = "@@Kelvaron@@--6070c3--100";

std::string folder;
constexpr WORD snapshotBitsPerPixel = 24;
// GDI+'s built-in PNG encoder.
constexpr CLSID pngEncoder = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
} // namespace

// Beyond what the plug-in uses: turning a bitmap into a GDI+ image and saving it.
extern "C" {
gdiplus::Status WINAPI GdipCreateBitmapFromHBITMAP(HBITMAP bitmap, HPALETTE palette,
                                                   gdiplus::Bitmap** result);
gdiplus::Status WINAPI GdipSaveImageToFile(gdiplus::Bitmap* image, const WCHAR* path, const CLSID* encoder,
                                           const void* encoderParameters);
}

namespace {
// Saves the whole game window as it is on the screen (title bar and menu included) as a PNG, after
// pending paints are done; path in the ANSI code page.
bool saveGameWindowPng(const char* path) {
    auto window = static_cast<HWND>(hostGameWindow());
    if (!window || !path)
        return false;
    // Whatever waits to be painted (table, button) is painted now, not after the picture. The frame
    // is painted afresh: under Wine the caption's part of the window's surface can hold pixels the
    // screen no longer shows until then.
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    SendMessageA(window, WM_NCPAINT, 1, 0);
    GdiFlush();
    RECT bounds = {};
    GetWindowRect(window, &bounds);
    LONG width = bounds.right - bounds.left;
    LONG height = bounds.bottom - bounds.top;
    WindowDcGuard source(window, true);
    if (!source.dc || width <= 0 || height <= 0)
        return false;
    void* bits = nullptr;
    GdiObjectGuard<HBITMAP> copy(screenCopy(source.dc, width, height, snapshotBitsPerPixel, &bits));
    if (!copy.handle)
        return false;
    GdiplusSessionGuard session;
    GdiplusImageGuard picture;
    if (!session.started || GdipCreateBitmapFromHBITMAP(copy.handle, nullptr, &picture.image) != gdiplus::ok)
        return false;
    return GdipSaveImageToFile(picture.image, widened(path, CP_ACP).c_str(), &pngEncoder, nullptr) ==
           gdiplus::ok;
}

bool snap(const char* name) {
    hostPumpMessages(100);
    std::string path = folder + "\\" + name + ".png";
    bool saved = saveGameWindowPng(path.c_str());
    std::printf("%s %s\n", saved ? "wrote" : "could not write", path.c_str());
    return saved;
}

// Clicks the card at index of a hand of n cards where its visible strip is.
void clickCard(std::size_t index, std::size_t n) {
    RECT client;
    GetClientRect(static_cast<HWND>(hostGameWindow()), &client);
    std::vector<Rect> rects;
    GameState shape;
    shape.myHand.assign(n, 0x0106); // only the count matters for the layout
    layoutHand(shape, rects, cardMetricsForPicture(cardPictureWidth, cardPictureHeight),
               {client.right, client.bottom});
    hostClickGameWindow(rects[index].left + 4, rects[index].top + 40);
}
} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: table_screenshots OUTPUT_FOLDER\n");
        return 1;
    }
    folder = argv[1];
    hostStart();
    HostWord bob = hostAddContact("Bob");
    if (hostLoadPlugin() != HostLoadResult::Loaded)
        return 2;
    bool ok = true;
    hostChooseMenuItem(bob, hostVisibleMenuItems(bob)[0]);
    ok &= snap("1-fresh-deal");
    // Closing the window forgets our deal: a state that is no move on it would otherwise be taken for a
    // game that crossed it, dropped, and answered with the deal.
    hostCloseGameWindow();
    hostReceiveText(bob, defendingState);
    ok &= snap("2-defending");
    hostReceiveText(bob, throwInState);
    clickCard(2, 8); // the 9 and the queen: their ranks lie on the table
    clickCard(5, 8);
    ok &= snap("3-throw-in");
    hostReceiveText(bob, crowdedState);
    ok &= snap("4-crowded-hand");
    hostReceiveText(bob, lostState);
    ok &= snap("5-lost");
    hostReceiveText(bob, wonState);
    hostPumpMessages(350);
    ok &= snap("6-won-blinking");
    hostShutdown();
    return ok ? 0 : 3;
}
