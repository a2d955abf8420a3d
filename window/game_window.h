// The one game window: its class, its resources (card picture, brushes, button) and its life.
#pragma once

#include "window/gdiplus_flat.h"
#include "window/table_layout.h"

#include <windows.h>

inline constexpr char gameWindowClassName[] = "KelvaronWindow";
inline constexpr wchar_t gameWindowClassNameW[] = L"KelvaronWindow";
// The game's own texts are Windows-1251 bytes (engine/texts.h).
inline constexpr UINT gameTextCodePage = 1251;

// Handles of the open window; all null while no game window is open.
extern HWND gameWindow;
extern HWND actionButton;
extern gdiplus::Bitmap* cardPicture;
extern HBRUSH blinkBrushA;
extern HBRUSH blinkBrushB;
extern HBRUSH cardBackBrush;
extern HBRUSH selectionBrush;
// Inverted by every win-blink tick, never reset.
extern std::uint8_t winBlinkPhase;

// At module attach and detach.
void registerGameWindowClass();
void unregisterGameWindowClass();

// The contact-menu item on an open game: front and focus, nothing else.
void bringGameWindowToFront();

// The size of cardPicture and the card metrics that follow from it.
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
