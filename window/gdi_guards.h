// Small owners for GDI handles, so that every early return releases what was created.
// Declare the owner of a bitmap before the owner of the device context it is selected into: the
// context then goes first, which is the order GDI wants.
#pragma once

#include <windows.h>

// A memory device context from CreateCompatibleDC.
struct MemoryDcGuard {
    HDC dc;
    explicit MemoryDcGuard(HDC compatibleWith) : dc(CreateCompatibleDC(compatibleWith)) {}
    ~MemoryDcGuard() {
        if (dc)
            DeleteDC(dc);
    }
    MemoryDcGuard(const MemoryDcGuard&) = delete;
    MemoryDcGuard& operator=(const MemoryDcGuard&) = delete;
};

// A window's device context: its client area (GetDC), or the whole window with its frame (GetWindowDC).
struct WindowDcGuard {
    HWND window;
    HDC dc;
    explicit WindowDcGuard(HWND w, bool wholeWindow = false)
        : window(w), dc(wholeWindow ? GetWindowDC(w) : GetDC(w)) {}
    ~WindowDcGuard() {
        if (dc)
            ReleaseDC(window, dc);
    }
    WindowDcGuard(const WindowDcGuard&) = delete;
    WindowDcGuard& operator=(const WindowDcGuard&) = delete;
};

// Any GDI object from a Create... call.
template <typename Handle> struct GdiObjectGuard {
    Handle handle;
    explicit GdiObjectGuard(Handle h = nullptr) : handle(h) {}
    ~GdiObjectGuard() {
        if (handle)
            DeleteObject(handle);
    }
    GdiObjectGuard(const GdiObjectGuard&) = delete;
    GdiObjectGuard& operator=(const GdiObjectGuard&) = delete;
};
