// Measures taken by the host on its own behalf: the process's memory, and a PNG picture of the game
// window as the screen shows it (through the host's own GDI+ session).
#include "devhost/instruments/instruments.h"
#include "devhost/instruments/table_readback.h"
#include "devhost/messenger/host.h"
#include "window/gdi_guards.h"
#include "window/gdiplus_flat.h"

#include <windows.h>
#include <psapi.h>

#include <string>

namespace {
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

std::size_t hostProcessMemory() {
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                              sizeof counters))
        return 0;
    return counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage;
}

bool hostSaveGameWindowPng(const char* path) {
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
