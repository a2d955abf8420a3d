// Small owners for GDI and GDI+ handles, so that every early return releases what was created; the
// plug-in's painting and the development host's measures share them.
// Declare the owner of a bitmap before the owner of the device context it is selected into: the
// context then goes first, which is the order GDI wants.
#pragma once

#include "window/gdiplus_flat.h"

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

// Puts the previously selected object back before the device context or the object goes.
struct SelectionGuard {
    HDC dc;
    HGDIOBJ previous;
    SelectionGuard(HDC d, HGDIOBJ object)
        : dc(d), previous(d && object ? SelectObject(d, object) : nullptr) {}
    ~SelectionGuard() {
        if (previous)
            SelectObject(dc, previous);
    }
    SelectionGuard(const SelectionGuard&) = delete;
    SelectionGuard& operator=(const SelectionGuard&) = delete;
};

// A GDI+ image.
struct GdiplusImageGuard {
    gdiplus::Bitmap* image = nullptr;
    ~GdiplusImageGuard() {
        if (image)
            GdipDisposeImage(image);
    }
    gdiplus::Bitmap* release() {
        gdiplus::Bitmap* kept = image;
        image = nullptr;
        return kept;
    }
    GdiplusImageGuard() = default;
    // A copy would dispose of the image twice.
    GdiplusImageGuard(const GdiplusImageGuard&) = delete;
    GdiplusImageGuard& operator=(const GdiplusImageGuard&) = delete;
};

// A GDI+ session: GDI+ counts its sessions, so that another's goes on undisturbed.
struct GdiplusSessionGuard {
    ULONG_PTR token = 0;
    bool started;
    GdiplusSessionGuard() {
        gdiplus::StartupInput input = {1, nullptr, FALSE, FALSE};
        started = GdiplusStartup(&token, &input, nullptr) == gdiplus::ok;
    }
    ~GdiplusSessionGuard() {
        if (started)
            GdiplusShutdown(token);
    }
    GdiplusSessionGuard(const GdiplusSessionGuard&) = delete;
    GdiplusSessionGuard& operator=(const GdiplusSessionGuard&) = delete;
};
