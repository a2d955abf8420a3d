// Counting the plug-in's GDI, DC and GDI+ handles: right after the DLL is loaded, the entries of its
// import address table for these functions are pointed at wrappers here, which count and call the
// function the entry held before. Its window's show commands and its shell opens are noted the same
// way; the shell opens nothing for it.
#include "devhost/instruments/instruments.h"

#include <windows.h>

#include <cstring>
#include <set>
#include <string>

namespace {
using GdiplusStatus = int;
constexpr GdiplusStatus gdiplusOk = 0;
struct GdiplusImage; // opaque GpImage / GpBitmap

// The handles the plug-in holds now, by kind. A window DC can be handed out more than once.
struct LiveHandles {
    std::set<void*> gdiObjects;
    std::set<void*> memoryDcs;
    std::multiset<void*> windowDcs;
    std::set<void*> gdiplusImages;
};
LiveHandles live;
HostResourceTally created = {};
std::size_t foreignDeletes = 0;
std::size_t gdiplusShutdowns = 0;
HostResourceTally liveAtGdiplusShutdown = {};
bool gameWindowAtGdiplusShutdown = false;
std::vector<int> showCommands;
std::vector<HostShellOpen> shellOpens;

// One counted import: which DLL exports it, the wrapper, and where the function the plug-in's entry
// held before is kept (an address as the import table stores it).
struct CountedImport {
    const char* dll;
    const char* function;
    void* wrapper;
    std::uintptr_t* original;
};

std::uintptr_t originalCreateSolidBrush, originalCreateCompatibleBitmap, originalCreateCompatibleDC,
    originalDeleteObject, originalDeleteDC, originalGetDC, originalGetWindowDC, originalReleaseDC,
    originalCreateBitmapFromFile, originalCreateHBITMAPFromBitmap, originalDisposeImage,
    originalGdiplusShutdown, originalShowWindow, originalShellExecuteA;

template <typename Function> Function original(std::uintptr_t address) {
    return reinterpret_cast<Function>(address);
}

template <typename Handles> void noteCreated(Handles& handles, std::size_t& total, void* handle) {
    if (!handle)
        return;
    handles.insert(handle);
    ++total;
}

template <typename Handles> void noteFreed(Handles& handles, void* handle) {
    auto found = handles.find(handle);
    if (found == handles.end())
        ++foreignDeletes;
    else
        handles.erase(found); // one instance only: a window DC got twice is released twice
}

HBRUSH WINAPI countedCreateSolidBrush(COLORREF colour) {
    HBRUSH brush = original<decltype(&CreateSolidBrush)>(originalCreateSolidBrush)(colour);
    noteCreated(live.gdiObjects, created.gdiObjects, brush);
    return brush;
}

HBITMAP WINAPI countedCreateCompatibleBitmap(HDC dc, int width, int height) {
    HBITMAP bitmap =
        original<decltype(&CreateCompatibleBitmap)>(originalCreateCompatibleBitmap)(dc, width, height);
    noteCreated(live.gdiObjects, created.gdiObjects, bitmap);
    return bitmap;
}

HDC WINAPI countedCreateCompatibleDC(HDC dc) {
    HDC memory = original<decltype(&CreateCompatibleDC)>(originalCreateCompatibleDC)(dc);
    noteCreated(live.memoryDcs, created.memoryDcs, memory);
    return memory;
}

BOOL WINAPI countedDeleteObject(HGDIOBJ object) {
    BOOL deleted = original<decltype(&DeleteObject)>(originalDeleteObject)(object);
    if (deleted)
        noteFreed(live.gdiObjects, object);
    return deleted;
}

BOOL WINAPI countedDeleteDC(HDC dc) {
    BOOL deleted = original<decltype(&DeleteDC)>(originalDeleteDC)(dc);
    if (deleted)
        noteFreed(live.memoryDcs, dc);
    return deleted;
}

HDC WINAPI countedGetDC(HWND window) {
    HDC dc = original<decltype(&GetDC)>(originalGetDC)(window);
    noteCreated(live.windowDcs, created.windowDcs, dc);
    return dc;
}

HDC WINAPI countedGetWindowDC(HWND window) {
    HDC dc = original<decltype(&GetWindowDC)>(originalGetWindowDC)(window);
    noteCreated(live.windowDcs, created.windowDcs, dc);
    return dc;
}

int WINAPI countedReleaseDC(HWND window, HDC dc) {
    int released = original<decltype(&ReleaseDC)>(originalReleaseDC)(window, dc);
    if (released)
        noteFreed(live.windowDcs, dc);
    return released;
}

using CreateBitmapFromFile = GdiplusStatus(WINAPI*)(const WCHAR*, GdiplusImage**);
using CreateHBITMAPFromBitmap = GdiplusStatus(WINAPI*)(GdiplusImage*, HBITMAP*, DWORD);
using DisposeImage = GdiplusStatus(WINAPI*)(GdiplusImage*);

GdiplusStatus WINAPI countedCreateBitmapFromFile(const WCHAR* path, GdiplusImage** image) {
    GdiplusStatus status = original<CreateBitmapFromFile>(originalCreateBitmapFromFile)(path, image);
    if (status == gdiplusOk && image)
        noteCreated(live.gdiplusImages, created.gdiplusImages, *image);
    return status;
}

// The HBITMAP that GDI+ hands out is a GDI object the plug-in must delete.
GdiplusStatus WINAPI countedCreateHBITMAPFromBitmap(GdiplusImage* image, HBITMAP* bitmap, DWORD background) {
    GdiplusStatus status =
        original<CreateHBITMAPFromBitmap>(originalCreateHBITMAPFromBitmap)(image, bitmap, background);
    if (status == gdiplusOk && bitmap)
        noteCreated(live.gdiObjects, created.gdiObjects, *bitmap);
    return status;
}

GdiplusStatus WINAPI countedDisposeImage(GdiplusImage* image) {
    GdiplusStatus status = original<DisposeImage>(originalDisposeImage)(image);
    if (status == gdiplusOk)
        noteFreed(live.gdiplusImages, image);
    return status;
}

HostResourceTally liveNow() {
    return {live.gdiObjects.size(), live.memoryDcs.size(), live.windowDcs.size(), live.gdiplusImages.size()};
}

using GdiplusShutdownFunction = void(WINAPI*)(ULONG_PTR);

void WINAPI notedGdiplusShutdown(ULONG_PTR token) {
    if (gdiplusShutdowns++ == 0) {
        liveAtGdiplusShutdown = liveNow();
        gameWindowAtGdiplusShutdown = hostGameWindow() != nullptr;
    }
    original<GdiplusShutdownFunction>(originalGdiplusShutdown)(token);
}

BOOL WINAPI notedShowWindow(HWND window, int showCommand) {
    showCommands.push_back(showCommand);
    return original<decltype(&ShowWindow)>(originalShowWindow)(window, showCommand);
}

// Any value above 32 tells the caller that the shell did open it.
constexpr std::intptr_t shellOpenSucceeded = 42;

HINSTANCE WINAPI notedShellExecuteA(HWND, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                                    INT showCommand) {
    shellOpens.push_back(HostShellOpen{verb ? verb : "(null)", file ? file : "(null)", parameters == nullptr,
                                       directory ? directory : "(null)", showCommand});
    return reinterpret_cast<HINSTANCE>(shellOpenSucceeded);
}

const CountedImport countedImports[] = {
    {"gdi32.dll", "CreateSolidBrush", reinterpret_cast<void*>(countedCreateSolidBrush),
     &originalCreateSolidBrush},
    {"gdi32.dll", "CreateCompatibleBitmap", reinterpret_cast<void*>(countedCreateCompatibleBitmap),
     &originalCreateCompatibleBitmap},
    {"gdi32.dll", "CreateCompatibleDC", reinterpret_cast<void*>(countedCreateCompatibleDC),
     &originalCreateCompatibleDC},
    {"gdi32.dll", "DeleteObject", reinterpret_cast<void*>(countedDeleteObject), &originalDeleteObject},
    {"gdi32.dll", "DeleteDC", reinterpret_cast<void*>(countedDeleteDC), &originalDeleteDC},
    {"user32.dll", "GetDC", reinterpret_cast<void*>(countedGetDC), &originalGetDC},
    {"user32.dll", "GetWindowDC", reinterpret_cast<void*>(countedGetWindowDC), &originalGetWindowDC},
    {"user32.dll", "ReleaseDC", reinterpret_cast<void*>(countedReleaseDC), &originalReleaseDC},
    {"gdiplus.dll", "GdipCreateBitmapFromFile", reinterpret_cast<void*>(countedCreateBitmapFromFile),
     &originalCreateBitmapFromFile},
    {"gdiplus.dll", "GdipCreateHBITMAPFromBitmap", reinterpret_cast<void*>(countedCreateHBITMAPFromBitmap),
     &originalCreateHBITMAPFromBitmap},
    {"gdiplus.dll", "GdipDisposeImage", reinterpret_cast<void*>(countedDisposeImage), &originalDisposeImage},
    {"gdiplus.dll", "GdiplusShutdown", reinterpret_cast<void*>(notedGdiplusShutdown),
     &originalGdiplusShutdown},
};

const CountedImport notedImports[] = {
    {"user32.dll", "ShowWindow", reinterpret_cast<void*>(notedShowWindow), &originalShowWindow},
    {"shell32.dll", "ShellExecuteA", reinterpret_cast<void*>(notedShellExecuteA), &originalShellExecuteA},
};

const CountedImport* countedImport(const char* dll, const char* function) {
    for (const CountedImport& import : countedImports)
        if (lstrcmpiA(import.dll, dll) == 0 && std::strcmp(import.function, function) == 0)
            return &import;
    for (const CountedImport& import : notedImports)
        if (lstrcmpiA(import.dll, dll) == 0 && std::strcmp(import.function, function) == 0)
            return &import;
    return nullptr;
}

// Import tables usually lie in a read-only section once the loader has filled them.
void writeImportEntry(IMAGE_THUNK_DATA* entry, std::uintptr_t address) {
    DWORD oldProtection = 0;
    if (!VirtualProtect(&entry->u1.Function, sizeof entry->u1.Function, PAGE_READWRITE, &oldProtection))
        return;
    entry->u1.Function = static_cast<decltype(entry->u1.Function)>(address);
    VirtualProtect(&entry->u1.Function, sizeof entry->u1.Function, oldProtection, &oldProtection);
    FlushInstructionCache(GetCurrentProcess(), &entry->u1.Function, sizeof entry->u1.Function);
}

void patchDescriptor(BYTE* base, const IMAGE_IMPORT_DESCRIPTOR& descriptor) {
    auto dll = reinterpret_cast<const char*>(base + descriptor.Name);
    // The names lie in the lookup table; without one (a bound image) the import table still has them.
    DWORD namesRva = descriptor.OriginalFirstThunk ? descriptor.OriginalFirstThunk : descriptor.FirstThunk;
    auto names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + namesRva);
    auto entries = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor.FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++entries) {
        if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
            continue;
        auto byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
        const CountedImport* import = countedImport(dll, reinterpret_cast<const char*>(byName->Name));
        if (!import)
            continue;
        *import->original = static_cast<std::uintptr_t>(entries->u1.Function);
        writeImportEntry(entries, reinterpret_cast<std::uintptr_t>(import->wrapper));
    }
}

// Starts the counts afresh for a freshly loaded plug-in and points its imports at the wrappers.
void countPluginResources(void* module) {
    live = LiveHandles{};
    created = HostResourceTally{};
    foreignDeletes = 0;
    gdiplusShutdowns = 0;
    liveAtGdiplusShutdown = {};
    gameWindowAtGdiplusShutdown = false;
    showCommands.clear();
    shellOpens.clear();
    auto base = static_cast<BYTE*>(module);
    auto dosHeader = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    auto ntHeaders = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dosHeader->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        ntHeaders->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0)
        return;
    for (auto descriptor = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         descriptor->Name != 0; ++descriptor)
        patchDescriptor(base, *descriptor);
}
} // namespace

void attachInstruments() { hostSetModuleHook(countPluginResources); }

const std::vector<int>& hostShowCommands() { return showCommands; }
const std::vector<HostShellOpen>& hostShellOpens() { return shellOpens; }

HostResourceCounts hostResourceCounts() {
    return HostResourceCounts{liveNow(),
                              created,
                              foreignDeletes,
                              gdiplusShutdowns,
                              liveAtGdiplusShutdown,
                              gameWindowAtGdiplusShutdown};
}
