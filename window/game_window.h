// The one game window: its class, its resources (card picture, brushes, button) and its life.
#pragma once

#include "window/game_window_constants.h"
#include "window/gdiplus_flat.h"
#include "layout/table_layout.h"

#include <windows.h>

// The game's own texts are Windows-1251 bytes (engine/texts.h).
inline constexpr UINT gameTextCodePage = 1251;

// The home page that the window's menu opens and the About box names.
inline constexpr char homePageUrl[] = "http://kelvaron.example.org/";
inline constexpr char homePageHost[] = "kelvaron.example.org";

// The plug-in's one game: the window shows it and plays it, and the receive path adopts into it.
extern GameState game;

// Everything the open game window holds: all null and zero while no game window is open, except
// winBlinkPhase, which every win-blink tick inverts and nothing resets.
struct GameWindowState {
    HWND gameWindow = nullptr;
    HWND actionButton = nullptr;
    gdiplus::Bitmap* cardPicture = nullptr;
    HBRUSH blinkBrushA = nullptr;
    HBRUSH blinkBrushB = nullptr;
    HBRUSH cardBackBrush = nullptr;
    HBRUSH selectionBrush = nullptr;
    std::uint8_t winBlinkPhase = 0;
    // Whether the win-blink timer runs: set and cleared only where the timer is set and killed.
    std::uint8_t winBlinkRunning = 0;
};
extern GameWindowState ui;

// What the window needs of the plug-in around it, given before the class is registered: the module
// that holds the window's resources, the version for the About box, and the host's side of the
// window's life (the opponent's name, the host's window list).
struct GameWindowHost {
    HINSTANCE module = nullptr;
    std::uint32_t version = 0;
    // The opponent's display name in the host's ANSI code page, or null when the host has none.
    const char* (*contactDisplayName)(ContactHandle contact) = nullptr;
    void (*windowOpened)(HWND window, ContactHandle contact) = nullptr;
    void (*windowClosing)(HWND window) = nullptr;
};
void setGameWindowHost(const GameWindowHost& host);

// At module attach and detach.
void registerGameWindowClass();
void unregisterGameWindowClass();

// The contact-menu item on an open game: front and focus, nothing else.
void bringGameWindowToFront();

// The size of the card picture and the card metrics that follow from it.
void cardPictureSize(UINT& width, UINT& height);
CardMetrics currentCardMetrics();
ClientSize currentClientSize();

void showAboutBox();

// A text as UTF-16 for the window's Unicode calls, so that it reads the same whatever the system's
// ANSI code page. Held in place (the plug-in links no string library): at most 1024 characters, a
// longer text is cut; empty for a null text.
struct WideText {
    static constexpr int capacity = 1025;
    wchar_t text[capacity] = {};
    const wchar_t* c_str() const { return text; }
    // Adds a text in the given code page.
    void append(const char* more, UINT codePage = gameTextCodePage);
};
WideText wideText(const char* text, UINT codePage = gameTextCodePage);
