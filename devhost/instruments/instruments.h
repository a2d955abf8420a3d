// The development host's instruments for this plug-in: what it holds (GDI objects, device contexts,
// GDI+ images, counted through its import table), the show commands, window flashes, shell opens and
// message boxes it asked for (the boxes recorded in the messenger's log, never shown), its game window
// driven as a user would, and the process's memory.
#pragma once

#include "devhost/messenger/host.h"
#include "window/game_window_constants.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A web page or file the plug-in asked the shell to open (ShellExecuteA); the host notes it and opens
// nothing.
struct HostShellOpen {
    std::string verb;
    std::string file;
    bool parametersNull;
    std::string directory;
    int showCommand;
};

// Handles of one kind each: GDI objects (brushes and bitmaps), memory DCs, window DCs got and not yet
// released, GDI+ images.
struct HostResourceTally {
    std::size_t gdiObjects;
    std::size_t memoryDcs;
    std::size_t windowDcs;
    std::size_t gdiplusImages;
};
// The handles the plug-in holds, counted through its import table from the moment it was loaded (DllMain
// has run by then, so what DllMain created is not seen; freeing it changes nothing): its calls of
// CreateSolidBrush, CreateCompatibleBitmap, CreateCompatibleDC, DeleteObject, DeleteDC, GetDC,
// GetWindowDC, ReleaseDC, GdipCreateBitmapFromFile, GdipCreateHBITMAPFromBitmap, GdipDisposeImage,
// GdiplusStartup and GdiplusShutdown. Counting starts afresh at each load.
struct HostResourceCounts {
    HostResourceTally live; // created and not yet freed
    // The plug-in's calls of GdiplusStartup and GdiplusShutdown, and what it still held, and whether
    // its game window still existed, at the first shutdown: the window and its picture must go before
    // GDI+ stops.
    std::size_t gdiplusStartups;
    std::size_t gdiplusShutdowns;
    HostResourceTally liveAtGdiplusShutdown;
    bool gameWindowAtGdiplusShutdown;
};
HostResourceCounts hostResourceCounts();
// Has the host's loader hand every plug-in it loads from now on to the counting. Once, after hostStart.
void attachInstruments();
// The show commands of the plug-in's ShowWindow calls and the shell opens it asked for, since it was loaded.
const std::vector<int>& hostShowCommands();
const std::vector<HostShellOpen>& hostShellOpens();
// How often the plug-in flashed its window (FlashWindow) since it was loaded.
std::size_t hostWindowFlashes();
// The process's private bytes.
std::size_t hostProcessMemory();
// --- the game window, driven as a user would (game_window_driver.cpp)
// The plug-in's top-level window of its class on this thread, or null.
HostHandle hostGameWindow();
// Sends WM_LBUTTONDOWN and WM_LBUTTONUP at a client point; false without a game window.
bool hostClickGameWindow(int x, int y);
// Tells the window that its action button was clicked, as the button does; a disabled button ignores
// the click. False without a game window or button.
bool hostPressActionButton();
// Sends WM_CLOSE, as the window's close box does; false without a game window.
bool hostCloseGameWindow();
