// The few functions of the GDI+ flat interface that the plug-in uses, declared here so that nothing
// of the C++ wrapper classes is pulled in.
#pragma once

#include <windows.h>

namespace gdiplus {
using Status = int;
inline constexpr Status ok = 0;
struct Bitmap; // opaque GpBitmap

struct StartupInput {
    UINT32 version;
    void* debugEventCallback;
    BOOL suppressBackgroundThread;
    BOOL suppressExternalCodecs;
};
} // namespace gdiplus

extern "C" {
gdiplus::Status WINAPI GdiplusStartup(ULONG_PTR* token, const gdiplus::StartupInput* input, void* output);
void WINAPI GdiplusShutdown(ULONG_PTR token);
gdiplus::Status WINAPI GdipCreateBitmapFromFile(const WCHAR* fileName, gdiplus::Bitmap** bitmap);
gdiplus::Status WINAPI GdipGetImageWidth(gdiplus::Bitmap* image, UINT* width);
gdiplus::Status WINAPI GdipGetImageHeight(gdiplus::Bitmap* image, UINT* height);
gdiplus::Status WINAPI GdipCreateHBITMAPFromBitmap(gdiplus::Bitmap* bitmap, HBITMAP* result,
                                                   DWORD background);
gdiplus::Status WINAPI GdipDisposeImage(gdiplus::Bitmap* image);
}
