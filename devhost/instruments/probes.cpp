// Counting the plug-in's GDI, DC and GDI+ handles: right after the DLL is loaded, the entries of its
// import address table for these functions are pointed at wrappers here, which call the function the
// entry held before and count the handle it created or freed. Its window's show commands, its window
// flashes and its shell opens are noted the same way; the shell opens nothing for it.
#include "devhost/instruments/instruments.h"

#include <windows.h>

#include <cstring>
#include <set>
#include <string>
#include <type_traits>

namespace {
enum class GdiplusStatus : int { ok = 0 };
struct GdiplusImage; // opaque GpImage / GpBitmap

// The kinds of handle counted, in the order of HostResourceTally's fields.
enum Kind { gdiObject, memoryDc, windowDc, gdiplusImage, kindCount };

// What the counting has seen since the plug-in was loaded.
struct Counting {
    std::multiset<void*> live[kindCount]; // the handles the plug-in holds now
    std::size_t gdiplusStartups = 0;
    std::size_t gdiplusShutdowns = 0;
    HostResourceTally liveAtGdiplusShutdown = {};
    bool gameWindowAtGdiplusShutdown = false;
    std::vector<int> showCommands;
    std::size_t windowFlashes = 0;
    std::vector<HostShellOpen> shellOpens;
} counting;

void noteCreated(Kind kind, void* handle) {
    // A window DC can be handed out more than once; any other handle is a new one each time.
    if (handle && (kind == windowDc || counting.live[kind].count(handle) == 0))
        counting.live[kind].insert(handle);
}

// Frees of handles the counting never saw created (e.g. the class brush made in DllMain) change nothing.
void noteFreed(Kind kind, void* handle) {
    auto found = counting.live[kind].find(handle);
    if (found != counting.live[kind].end())
        counting.live[kind].erase(found); // one instance only: a window DC got twice is released twice
}

HostResourceTally liveNow() {
    const auto& live = counting.live;
    return {live[gdiObject].size(), live[memoryDc].size(), live[windowDc].size(), live[gdiplusImage].size()};
}

// What a successful call of a counted import does: it creates or frees a handle of a kind, which is
// its result, an argument, or what the second argument points at (GDI+ hands out its objects so).
enum Effect { creates, frees };
enum Where { result, argument1, argument2, pointedAtByArgument2 };
struct Counts {
    Kind kind;
    Effect effect;
    Where where;
};

// An import the wrappers stand in for.
struct PatchedImport {
    const char* dll;
    const char* function;
    void* wrapper;
    Counts counts = {};          // for a counted import
    std::uintptr_t original = 0; // the function the plug-in's entry held before, as the entry stores it
};
PatchedImport& patchedImport(std::size_t row);

template <typename Function> Function original(std::size_t row) {
    return reinterpret_cast<Function>(patchedImport(row).original);
}

template <typename Value> void* asPointer(Value value) {
    if constexpr (std::is_pointer_v<Value>)
        return const_cast<void*>(static_cast<const void*>(value));
    else
        return reinterpret_cast<void*>(static_cast<std::uintptr_t>(value));
}

// The wrapper of the counted import in that row of the table. A GDI+ call succeeded when it returns
// Ok, any other when its result is nonzero.
template <std::size_t row, typename Result, typename... Arguments>
Result WINAPI counted(Arguments... arguments) {
    Result result = original<Result(WINAPI*)(Arguments...)>(row)(arguments...);
    bool succeeded = false;
    if constexpr (std::is_same_v<Result, GdiplusStatus>)
        succeeded = result == GdiplusStatus::ok;
    else
        succeeded = result != Result{};
    const Counts& counts = patchedImport(row).counts;
    void* values[] = {asPointer(result), asPointer(arguments)...};
    std::size_t at = counts.where == pointedAtByArgument2 ? 2 : counts.where;
    void* handle = at < std::size(values) ? values[at] : nullptr;
    if (counts.where == pointedAtByArgument2)
        handle = handle ? *static_cast<void**>(handle) : nullptr;
    if (succeeded)
        counts.effect == frees ? noteFreed(counts.kind, handle) : noteCreated(counts.kind, handle);
    return result;
}

// GDI+ stops: what the plug-in still holds then, and whether its game window still exists, are noted
// at the first time; the window and its picture must go before.
template <std::size_t row> void WINAPI notedGdiplusShutdown(ULONG_PTR token) {
    if (counting.gdiplusShutdowns++ == 0) {
        counting.liveAtGdiplusShutdown = liveNow();
        counting.gameWindowAtGdiplusShutdown = hostGameWindow() != nullptr;
    }
    original<void(WINAPI*)(ULONG_PTR)>(row)(token);
}

template <std::size_t row> int WINAPI notedGdiplusStartup(ULONG_PTR* token, const void* input, void* output) {
    ++counting.gdiplusStartups;
    return original<int(WINAPI*)(ULONG_PTR*, const void*, void*)>(row)(token, input, output);
}

// The plug-in's message boxes are recorded and answered as if OK was pressed, never shown.
int WINAPI notedMessageBoxW(HWND, LPCWSTR text, LPCWSTR caption, UINT) {
    hostRecordMessageBox(caption ? caption : L"", text ? text : L"");
    return IDOK;
}

int WINAPI notedMessageBoxIndirectW(const MSGBOXPARAMSW* box) {
    return notedMessageBoxW(nullptr, box->lpszText, box->lpszCaption, box->dwStyle);
}

template <std::size_t row> BOOL WINAPI notedShowWindow(HWND window, int showCommand) {
    counting.showCommands.push_back(showCommand);
    return original<decltype(&ShowWindow)>(row)(window, showCommand);
}

template <std::size_t row> BOOL WINAPI notedFlashWindow(HWND window, BOOL invert) {
    ++counting.windowFlashes;
    return original<decltype(&FlashWindow)>(row)(window, invert);
}

// Any value above 32 tells the caller that the shell did open it.
constexpr std::intptr_t shellOpenSucceeded = 42;

HINSTANCE WINAPI notedShellExecuteA(HWND, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                                    INT showCommand) {
    counting.shellOpens.push_back(HostShellOpen{verb ? verb : "(null)", file ? file : "(null)",
                                                parameters == nullptr, directory ? directory : "(null)",
                                                showCommand});
    return reinterpret_cast<HINSTANCE>(shellOpenSucceeded);
}

template <typename Function> void* wrapper(Function function) { return reinterpret_cast<void*>(function); }

using Image = GdiplusImage;
// Each wrapper is told its own row.
PatchedImport patchedImports[] = {
    {"gdi32.dll", "CreateSolidBrush", wrapper(counted<0, HBRUSH, COLORREF>), {gdiObject, creates, result}},
    {"gdi32.dll",
     "CreateCompatibleBitmap",
     wrapper(counted<1, HBITMAP, HDC, int, int>),
     {gdiObject, creates, result}},
    {"gdi32.dll", "CreateCompatibleDC", wrapper(counted<2, HDC, HDC>), {memoryDc, creates, result}},
    {"gdi32.dll", "DeleteObject", wrapper(counted<3, BOOL, HGDIOBJ>), {gdiObject, frees, argument1}},
    {"gdi32.dll", "DeleteDC", wrapper(counted<4, BOOL, HDC>), {memoryDc, frees, argument1}},
    {"user32.dll", "GetDC", wrapper(counted<5, HDC, HWND>), {windowDc, creates, result}},
    {"user32.dll", "GetWindowDC", wrapper(counted<6, HDC, HWND>), {windowDc, creates, result}},
    {"user32.dll", "ReleaseDC", wrapper(counted<7, int, HWND, HDC>), {windowDc, frees, argument2}},
    {"gdiplus.dll",
     "GdipCreateBitmapFromFile",
     wrapper(counted<8, GdiplusStatus, const WCHAR*, Image**>),
     {gdiplusImage, creates, pointedAtByArgument2}},
    // The HBITMAP that GDI+ hands out is a GDI object the plug-in must delete.
    {"gdiplus.dll",
     "GdipCreateHBITMAPFromBitmap",
     wrapper(counted<9, GdiplusStatus, Image*, HBITMAP*, DWORD>),
     {gdiObject, creates, pointedAtByArgument2}},
    {"gdiplus.dll",
     "GdipDisposeImage",
     wrapper(counted<10, GdiplusStatus, Image*>),
     {gdiplusImage, frees, argument1}},
    {"gdiplus.dll", "GdiplusShutdown", wrapper(notedGdiplusShutdown<11>)},
    {"gdiplus.dll", "GdiplusStartup", wrapper(notedGdiplusStartup<12>)},
    {"user32.dll", "ShowWindow", wrapper(notedShowWindow<13>)},
    {"shell32.dll", "ShellExecuteA", wrapper(notedShellExecuteA)},
    {"user32.dll", "FlashWindow", wrapper(notedFlashWindow<15>)},
    // Wrappers that call nothing need no row of their own.
    {"user32.dll", "MessageBoxW", wrapper(notedMessageBoxW)},
    {"user32.dll", "MessageBoxIndirectW", wrapper(notedMessageBoxIndirectW)},
};

PatchedImport& patchedImport(std::size_t row) { return patchedImports[row]; }

PatchedImport* patchedImport(const char* dll, const char* function) {
    for (PatchedImport& import : patchedImports)
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
        PatchedImport* import = patchedImport(dll, reinterpret_cast<const char*>(byName->Name));
        if (!import)
            continue;
        import->original = static_cast<std::uintptr_t>(entries->u1.Function);
        writeImportEntry(entries, reinterpret_cast<std::uintptr_t>(import->wrapper));
    }
}

// Starts the counts afresh for a freshly loaded plug-in and points its imports at the wrappers.
void countPluginResources(void* module) {
    counting = Counting{};
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

const std::vector<int>& hostShowCommands() { return counting.showCommands; }
const std::vector<HostShellOpen>& hostShellOpens() { return counting.shellOpens; }
std::size_t hostWindowFlashes() { return counting.windowFlashes; }

HostResourceCounts hostResourceCounts() {
    return HostResourceCounts{liveNow(), counting.gdiplusStartups, counting.gdiplusShutdowns,
                              counting.liveAtGdiplusShutdown, counting.gameWindowAtGdiplusShutdown};
}
